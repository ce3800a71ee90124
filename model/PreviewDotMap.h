#pragma once

#include <QImage>
#include <QRgb>

#include <memory>
#include <vector>

// Where the dots of a sampling preview land, worked out once per geometry: for every pixel of
// the 450 x 450 preview, the LED whose dot covers it last. A preview is then a look-up per
// pixel instead of tens of thousands of dots drawn one over the other (most of them over
// the hub), with the very pixels DotRenderer draws: the map is made by drawing each LED's
// dot with its own number as the colour, in the conversion's order.
class PreviewDotMap
{
public:
    // The map for ledCount LEDs on lineNumber lines, shared by every conversion of that
    // geometry (made on first use, kept for the process). Null for a geometry without dots.
    static std::shared_ptr<const PreviewDotMap> forGeometry(int ledCount, int lineNumber);

    // The dots in the conversion's order: line 0, 1, ... from 12 o'clock, each from its
    // outermost LED in; LED index i of line k is dot k * ledCount + (ledCount - 1 - i).
    int dotCount() const { return dots; }

    // The preview of colours (dotCount() of them, drawn opaque) on black, as RGB32.
    QImage paint(const std::vector<QRgb> &colours) const;

    // The same drawn dot by dot with DotRenderer (what the map replaces; for checks).
    static QImage paintDots(int ledCount, int lineNumber, const std::vector<QRgb> &colours);

private:
    PreviewDotMap(int ledCount, int lineNumber);

    int dots = 0;
    // Per pixel, row by row: 1 + the dot covering it last, 0 for none.
    std::vector<quint32> owner;
};
