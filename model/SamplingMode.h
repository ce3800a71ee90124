#pragma once

// How a picture is sampled into LED colours. Sharp: each LED takes the pixel nearest to its
// position (the historic conversion, kept byte for byte). Smooth: each LED takes the average,
// in linear light, of the area of the disc it stands for.
enum class SamplingMode { Sharp, Smooth };
