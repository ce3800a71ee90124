#include "model/LinearLight.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct Tables
{
    Tables()
    {
        for (int v = 0; v < 256; ++v) {
            const double c = v / 255.0;
            linear[v] = float(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        // Encoding picks the nearer neighbour: the boundaries are the midpoints.
        for (int v = 0; v < 255; ++v)
            midpoints[v] = (linear[v] + linear[v + 1]) / 2.0f;
    }

    std::array<float, 256> linear{};
    std::array<float, 255> midpoints{};
};

const Tables &tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

float LinearLight::decode(uchar value)
{
    return tables().linear[value];
}

uchar LinearLight::encode(float linear)
{
    const auto &mid = tables().midpoints;
    return uchar(std::upper_bound(mid.begin(), mid.end(), linear) - mid.begin());
}
