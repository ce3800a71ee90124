#include "diy/LineTool.h"

#include <QPainter>

void LineTool::drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const
{
    painter.drawLine(from, to);
}
