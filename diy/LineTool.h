#pragma once

#include "diy/DiyTool.h"

// Straight line from the press point to the mouse.
class LineTool : public DiyTool
{
protected:
    void drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const override;
};
