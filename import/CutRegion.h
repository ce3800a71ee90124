#pragma once

#include <QPoint>
#include <QSize>

// Where the 450 x 450 square of a clip lies: a frame is shown zoomed in steps of 10 % of
// its size, and the square's top-left is given on the shown picture.
class CutRegion
{
public:
    static constexpr int MaxZoomIn = 20;

    // The size a picture of size source is shown at after zoomLevel steps (integer
    // arithmetic truncating toward zero); an invalid size when the step is refused: over
    // MaxZoomIn steps in, or a shown picture under 1 pixel wide or high.
    static QSize zoomedSize(const QSize &source, int zoomLevel);
    // The square centred on a shown picture (negative for a picture under 450 pixels).
    static QPoint centredTopLeft(const QSize &shown);
    // Whether the square at topLeft covers at least one pixel of the shown picture.
    static bool coversPicture(const QPoint &topLeft, const QSize &shown);
};
