#include "diy/RectTool.h"

#include <QPainter>

void RectTool::drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const
{
    painter.drawRect(QRect(from, to - QPoint(1, 1)).normalized());
}
