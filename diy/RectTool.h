#pragma once

#include "diy/DiyTool.h"

// Rectangle with corners at the press point and one pixel inside the mouse.
class RectTool : public DiyTool
{
protected:
    void drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const override;
};
