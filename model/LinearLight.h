#pragma once

#include <QtGlobal>

#include <algorithm>
#include <array>

// sRGB channel bytes to linear light and back. Averaging in linear light keeps an edge's
// brightness: black and white average to the grey that looks half as bright, not darker.
class LinearLight
{
public:
    // The tables, made once. Safe on any thread.
    static const LinearLight &instance();

    // The linear value, 0 to 1, of an sRGB channel byte.
    float decode(uchar value) const { return linear[value]; }
    // The byte whose linear value is nearest to value (clamped to 0..1; NaN gives 0).
    // encode(decode(v)) is v for every byte.
    uchar encode(float value) const
    {
        const float clamped = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
        int v = binStart[std::min(int(clamped * kBins), kBins - 1)];
        while (clamped >= midpoints[v])
            ++v;
        return uchar(v);
    }

private:
    LinearLight();

    static constexpr int kBins = 4096;
    std::array<float, 256> linear{};
    // Between bytes v and v + 1 (the last one above every value).
    std::array<float, 256> midpoints{};
    // The byte at the start of each bin of linear values. The bins are narrower than the
    // gap between two bytes: the encoder steps up at most a byte or two from it, where a
    // binary search over the midpoints cost more than the averaging itself.
    std::array<uchar, kBins> binStart{};
};
