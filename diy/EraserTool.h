#pragma once

#include "diy/PenTool.h"

// Eraser: a freehand pen in the background colour.
class EraserTool : public PenTool
{
protected:
    QPen pen(const DiyToolStyle &style) const override;
    QBrush brush(const DiyToolStyle &style) const override;
};
