#include "diy/RoundRectTool.h"

#include <QPainter>

void RoundRectTool::drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const
{
    const QSizeF size(to.x() - from.x(), to.y() - from.y());
    painter.drawRoundedRect(QRectF(QPointF(from), size).normalized(), 25, 25, Qt::RelativeSize);
}
