#include "model/SmoothSampler.h"

#include "model/RoundSquare.h"

#include <QPainter>

SmoothSampler::SmoothSampler(const QImage &square, std::shared_ptr<const SectorWeights> weights)
    : weights(std::move(weights)), light(LinearLight::instance())
{
    constexpr int side = RoundSquare::Side;
    if (square.size() == QSize(side, side)
        && (square.format() == QImage::Format_ARGB32 || square.format() == QImage::Format_RGB32)) {
        pixels = square;
        return;
    }
    pixels = QImage(side, side, QImage::Format_RGB32);
    pixels.fill(Qt::black);
    if (!square.isNull()) {
        QPainter painter(&pixels);
        painter.drawImage(QPoint(0, 0), square.convertToFormat(QImage::Format_RGB32));
    }
}

QRgb SmoothSampler::colour(int line, int led) const
{
    const auto *argb = reinterpret_cast<const QRgb *>(pixels.constBits());
    float red = 0.0f, green = 0.0f, blue = 0.0f;
    const SectorWeights::Weight *end = weights->end(line, led);
    for (const SectorWeights::Weight *w = weights->begin(line, led); w != end; ++w) {
        const QRgb pixel = argb[w->pixel];
        red += w->weight * light.decode(qRed(pixel));
        green += w->weight * light.decode(qGreen(pixel));
        blue += w->weight * light.decode(qBlue(pixel));
    }
    return qRgb(light.encode(red), light.encode(green), light.encode(blue));
}
