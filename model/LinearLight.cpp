#include "model/LinearLight.h"

#include <cmath>

const LinearLight &LinearLight::instance()
{
    static const LinearLight tables;
    return tables;
}

LinearLight::LinearLight()
{
    for (int v = 0; v < 256; ++v) {
        const double c = v / 255.0;
        linear[v] = float(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    // Encoding picks the nearer neighbour: the boundaries are the midpoints.
    for (int v = 0; v < 255; ++v)
        midpoints[v] = (linear[v] + linear[v + 1]) / 2.0f;
    midpoints[255] = 2.0f;
    int v = 0;
    for (int b = 0; b < kBins; ++b) {
        while (float(b) / kBins >= midpoints[v])
            ++v;
        binStart[b] = uchar(v);
    }
}
