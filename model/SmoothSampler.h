#pragma once

#include "model/LinearLight.h"
#include "model/SectorWeights.h"

#include <QImage>

#include <memory>
#include <vector>

// The smooth sampling of one 450 x 450 picture: every LED's colour is the weighted average,
// in linear light, of the pixels of its sector (SectorWeights).
class SmoothSampler
{
public:
    // square: the sampled 450 x 450 picture, 32 bits per pixel (alpha is ignored); a null
    // one reads as black.
    SmoothSampler(const QImage &square, std::shared_ptr<const SectorWeights> weights);

    // The averaged colour (opaque) of LED led (0 = hub) on line line.
    QRgb colour(int line, int led) const;

private:
    std::shared_ptr<const SectorWeights> weights;
    const LinearLight &light;
    // Red, green, blue and a spare lane per pixel: four floats the compiler adds at once.
    std::vector<float> linear;
};
