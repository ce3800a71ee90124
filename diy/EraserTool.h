#pragma once

#include "diy/PenTool.h"

// Eraser: a solid freehand line in the background colour, with a width of its own; the
// pen's style and width do not reach it.
class EraserTool : public PenTool
{
protected:
    int lineWidth(const DiyToolStyle &style) const override;
    QPen pen(const DiyToolStyle &style) const override;
    QBrush brush(const DiyToolStyle &style) const override;
};
