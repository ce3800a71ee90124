#include "diy/EllipseTool.h"

#include <QPainter>

void EllipseTool::drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const
{
    painter.drawEllipse(QRect(from, to - QPoint(1, 1)).normalized());
}
