#include "model/SmoothSampler.h"

#include "model/LinearLight.h"
#include "model/RoundSquare.h"

#include <array>

SmoothSampler::SmoothSampler(const QImage &square, std::shared_ptr<const SectorWeights> weights)
    : weights(std::move(weights)),
      linear(std::size_t(RoundSquare::Side) * RoundSquare::Side * 3, 0.0f)
{
    if (square.isNull())
        return;
    std::array<float, 256> decoded;
    for (int v = 0; v < 256; ++v)
        decoded[v] = LinearLight::decode(uchar(v));
    const QImage argb = square.format() == QImage::Format_ARGB32 || square.format() == QImage::Format_RGB32
                            ? square
                            : square.convertToFormat(QImage::Format_ARGB32);
    const int width = qMin(argb.width(), RoundSquare::Side);
    const int height = qMin(argb.height(), RoundSquare::Side);
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        float *out = linear.data() + std::size_t(y) * RoundSquare::Side * 3;
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = decoded[qRed(line[x])];
            out[1] = decoded[qGreen(line[x])];
            out[2] = decoded[qBlue(line[x])];
        }
    }
}

QRgb SmoothSampler::colour(int line, int led) const
{
    float red = 0.0f, green = 0.0f, blue = 0.0f;
    const SectorWeights::Weight *end = weights->end(line, led);
    for (const SectorWeights::Weight *w = weights->begin(line, led); w != end; ++w) {
        const float *pixel = linear.data() + std::size_t(w->pixel) * 3;
        red += w->weight * pixel[0];
        green += w->weight * pixel[1];
        blue += w->weight * pixel[2];
    }
    return qRgb(LinearLight::encode(red), LinearLight::encode(green), LinearLight::encode(blue));
}
