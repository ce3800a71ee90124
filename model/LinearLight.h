#pragma once

#include <QtGlobal>

// sRGB channel bytes to linear light and back. Averaging in linear light keeps an edge's
// brightness: black and white average to the grey that looks half as bright, not darker.
class LinearLight
{
public:
    // The linear value, 0 to 1, of an sRGB channel byte.
    static float decode(uchar value);
    // The byte whose linear value is nearest to linear (clamped to 0..1). encode(decode(v))
    // is v for every byte.
    static uchar encode(float linear);
};
