#include "model/PolarLine.h"

#include <algorithm>
#include <cmath>

PolarLine::PolarLine(const QPointF &hub, const QPointF &end, int ledCount)
    : line(hub, end), ledCount(ledCount)
{
}

void PolarLine::setAngle(double angleDegrees)
{
    line.setAngle(angleDegrees);
    length = line.length();
    spacing = ledCount > 1 ? length / (ledCount - 1) : 0.0;
}

QPointF PolarLine::ledPosition(int i) const
{
    // One LED (or a line of no length) has no spacing: it samples the hub.
    double t = 0.0;
    if (ledCount > 1 && length > 0.0)
        t = std::clamp(spacing * i / length, 0.0, 1.0);
    return line.pointAt(t);
}

int PolarLine::roundCoordinate(double v)
{
    if (v >= 0.0)
        return int(std::trunc(v + 0.5));
    const double q = std::trunc(v - 1.0);
    return int(q + std::trunc(v - q + 0.5));
}
