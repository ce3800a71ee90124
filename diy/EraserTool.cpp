#include "diy/EraserTool.h"

int EraserTool::lineWidth(const DiyToolStyle &style) const
{
    return qMax(1, style.eraserWidth);
}

QPen EraserTool::pen(const DiyToolStyle &style) const
{
    return QPen(QBrush(style.backgroundColor), lineWidth(style), Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin);
}

QBrush EraserTool::brush(const DiyToolStyle &style) const
{
    return QBrush(style.backgroundColor);
}
