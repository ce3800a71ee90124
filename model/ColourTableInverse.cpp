#include "model/ColourTableInverse.h"

#include "model/TestColorUtil.h"

#include <cmath>

ColourTableInverse ColourTableInverse::current()
{
    const TestColorUtil *table = TestColorUtil::getInstance();
    Channel red{}, green{}, blue{};
    for (int v = 0; v < 256; ++v) {
        red[v] = quint8(qBound(0, table->getTestRValue(v), 255));
        green[v] = quint8(qBound(0, table->getTestGValue(v), 255));
        blue[v] = quint8(qBound(0, table->getTestBValue(v), 255));
    }
    return ColourTableInverse(red, green, blue);
}

ColourTableInverse::ColourTableInverse(const Channel &red, const Channel &green,
                                       const Channel &blue)
    : inverse{invert(red), invert(green), invert(blue)}
{
}

ColourTableInverse::Channel ColourTableInverse::invert(const Channel &forward)
{
    // The LED data keeps the six high bits of a drive value: values that differ only in the
    // two low bits look alike on the display and are undone alike.
    constexpr int kLevels = 64;
    const auto level = [](int drive) { return drive >> 2; };
    std::array<int, kLevels> sum{};
    std::array<int, kLevels> count{};
    for (int v = 0; v < 256; ++v) {
        sum[level(forward[v])] += v;
        ++count[level(forward[v])];
    }
    std::array<int, kLevels> known;
    known.fill(-1);
    for (int l = 0; l < kLevels; ++l)
        if (count[l] > 0)
            known[l] = int(std::lround(double(sum[l]) / count[l]));
    // An LED driven as for black is off; one driven as for white is at its brightest.
    if (level(forward[0]) != level(forward[255])) {
        known[level(forward[0])] = 0;
        known[level(forward[255])] = 255;
    }
    std::array<int, kLevels> shown{};
    int below = -1;
    for (int l = 0; l < kLevels; ++l) {
        if (known[l] >= 0) {
            shown[l] = known[l];
            below = l;
            continue;
        }
        int above = l + 1;
        while (above < kLevels && known[above] < 0)
            ++above;
        // A level no row gives lies between the levels around it.
        if (below < 0)
            shown[l] = known[above];
        else if (above >= kLevels)
            shown[l] = known[below];
        else
            shown[l] = known[below] + (known[above] - known[below]) * (l - below) / (above - below);
    }
    Channel inverse{};
    for (int d = 0; d < 256; ++d)
        inverse[d] = quint8(shown[level(d)]);
    return inverse;
}
