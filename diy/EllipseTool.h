#pragma once

#include "diy/DiyTool.h"

// Ellipse inside the rectangle of the rectangle tool.
class EllipseTool : public DiyTool
{
protected:
    void drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const override;
};
