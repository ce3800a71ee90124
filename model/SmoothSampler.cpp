#include "model/SmoothSampler.h"

#include "model/LinearLight.h"
#include "model/RoundSquare.h"


SmoothSampler::SmoothSampler(const QImage &square, std::shared_ptr<const SectorWeights> weights)
    : weights(std::move(weights)), light(LinearLight::instance()),
      linear(std::size_t(RoundSquare::Side) * RoundSquare::Side * 4, 0.0f)
{
    if (square.isNull())
        return;
    const QImage argb = square.format() == QImage::Format_ARGB32 || square.format() == QImage::Format_RGB32
                            ? square
                            : square.convertToFormat(QImage::Format_ARGB32);
    const int width = qMin(argb.width(), RoundSquare::Side);
    const int height = qMin(argb.height(), RoundSquare::Side);
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        float *out = linear.data() + std::size_t(y) * RoundSquare::Side * 4;
        for (int x = 0; x < width; ++x, out += 4) {
            out[0] = light.decode(qRed(line[x]));
            out[1] = light.decode(qGreen(line[x]));
            out[2] = light.decode(qBlue(line[x]));
        }
    }
}

QRgb SmoothSampler::colour(int line, int led) const
{
    float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const SectorWeights::Weight *end = weights->end(line, led);
    for (const SectorWeights::Weight *w = weights->begin(line, led); w != end; ++w) {
        const float *pixel = linear.data() + std::size_t(w->pixel) * 4;
        for (int c = 0; c < 4; ++c)
            sum[c] += w->weight * pixel[c];
    }
    return qRgb(light.encode(sum[0]), light.encode(sum[1]), light.encode(sum[2]));
}
