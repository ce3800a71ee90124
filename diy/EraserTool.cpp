#include "diy/EraserTool.h"

QPen EraserTool::pen(const DiyToolStyle &style) const
{
    DiyToolStyle background = style;
    background.penColor = style.backgroundColor;
    return PenTool::pen(background);
}

QBrush EraserTool::brush(const DiyToolStyle &style) const
{
    return QBrush(style.backgroundColor);
}
