#include "diy/PenTool.h"

#include <QPainter>

QPen PenTool::pen(const DiyToolStyle &style) const
{
    QPen p = DiyTool::pen(style);
    // Round ends join the short segments of a stroke without gaps or notches.
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

void PenTool::drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const
{
    painter.drawLine(from, to);
}
