#pragma once

#include "model/LinearLight.h"
#include "model/SectorWeights.h"

#include <QImage>

#include <memory>

// The smooth sampling of one 450 x 450 picture: every LED's colour is the weighted average,
// in linear light, of the pixels of its sector (SectorWeights).
class SmoothSampler
{
public:
    // square: the sampled 450 x 450 picture (alpha is ignored); a null one, or the part of a
    // smaller one that is missing, reads as black.
    SmoothSampler(const QImage &square, std::shared_ptr<const SectorWeights> weights);

    // The averaged colour (opaque) of LED led (0 = hub) on line line.
    QRgb colour(int line, int led) const;

private:
    std::shared_ptr<const SectorWeights> weights;
    const LinearLight &light;
    // The picture's pixels, 450 x 450, read through the decoding table as they are used:
    // cheaper than a decoded copy of the whole square for every picture.
    QImage pixels;
};
