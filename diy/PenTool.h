#pragma once

#include "diy/DiyTool.h"

// Freehand pen: each mouse-move segment is a line painted straight into the picture.
class PenTool : public DiyTool
{
public:
    bool isFreehand() const override { return true; }

protected:
    QPen pen(const DiyToolStyle &style) const override;
    void drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const override;
};
