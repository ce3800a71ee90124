#pragma once

#include <QColor>
#include <Qt>

// The drawing settings a tool paints with, as the form last set them.
struct DiyToolStyle
{
    QColor penColor = Qt::black;
    QColor fillColor = Qt::black;
    QColor backgroundColor = QColor(255, 255, 255, 255);
    Qt::PenStyle penStyle = Qt::SolidLine;
    int penWidth = 1;
    // The eraser's own width: it is always a solid line, whatever the pen's style.
    int eraserWidth = 20;
};
