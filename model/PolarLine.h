#pragma once

#include <QLineF>
#include <QPointF>

// One radial line of the display, turned about the hub: where its LEDs sit. Shared by the
// sampler and the round preview so both place LED i of a line at the same point.
class PolarLine
{
public:
    // The line starts as hub -> end; ledCount LEDs are spread evenly from the hub (LED 0)
    // to the end (LED ledCount - 1). A single LED sits on the hub.
    PolarLine(const QPointF &hub, const QPointF &end, int ledCount);

    // Turns the line to angleDegrees (counter-clockwise on screen, 90 = straight up),
    // keeping the hub and the current length.
    void setAngle(double angleDegrees);
    // Position of LED i (0 = hub), unrounded.
    QPointF ledPosition(int i) const;

    // Rounds half up on both sides of zero (trunc(v + 0.5) for v >= 0), unlike qRound.
    static int roundCoordinate(double v);

private:
    QLineF line;
    int ledCount;
    double length = 0.0;
    double spacing = 0.0;
};
