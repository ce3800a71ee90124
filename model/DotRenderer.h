#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

// Draws the 4-pixel dots of the sampling and round previews: a filled circle in the
// rectangle (x - 2, y - 2, 4, 4) with pen and solid brush of one opaque colour, without
// antialiasing, at unrounded positions.
//
// The result is pixel-identical to QPainter::drawEllipse, many times faster once warm: the
// raster engine's dot depends only on the fractional parts of x and y, and only changes
// at fixed fractions of its 1/64-pixel grid (four cells per grid step and axis: on the step, and
// three between). Each
// cell's stamp is drawn by QPainter itself the first time it is needed and kept for the
// process. Dots near the canvas border (clipped) are drawn by QPainter directly.
class DotRenderer
{
public:
    // canvas: a 32-bit RGB or ARGB image; it must outlive the renderer.
    explicit DotRenderer(QImage &canvas);
    Q_DISABLE_COPY_MOVE(DotRenderer)

    void drawDot(double x, double y, QRgb colour);

    // The reference drawing the renderer reproduces.
    static void paintDot(QPainter &painter, double x, double y, const QColor &colour);
    // False when the measured stamps failed their self-check and every dot goes through
    // QPainter (still exact, only slower).
    static bool stampsAvailable();

private:
    void drawWithPainter(double x, double y, QRgb colour);

    QImage &canvas;
};
