#pragma once

#include "diy/DiyTool.h"

// Rectangle from the press point to the mouse with corners rounded by a quarter of each side.
class RoundRectTool : public DiyTool
{
protected:
    void drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const override;
};
