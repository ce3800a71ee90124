#include "motion/TransitionRenderer.h"

#include "model/LinearLight.h"
#include "model/RoundSquare.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int kSide = RoundSquare::Side;
constexpr double kCentre = kSide / 2.0;
// Far enough out that a circle of this radius covers the whole square's corners.
const double kCornerRadius = std::sqrt(2.0) * kCentre + 1.0;
// The display is round: an iris is measured to its rim, so it opens or closes over the
// whole transition rather than partly over corners no LED shows.
constexpr double kRimRadius = kCentre;

QImage squareOf(const QImage &picture)
{
    QImage square = picture;
    if (square.size() != QSize(kSide, kSide))
        square = RoundSquare::sampledSquare(picture, SamplingMode::Sharp);
    return square.convertToFormat(QImage::Format_RGB32);
}

std::vector<float> linearOf(const QImage &square)
{
    const LinearLight &light = LinearLight::instance();
    std::vector<float> values(size_t(kSide) * kSide * 3);
    float *out = values.data();
    for (int y = 0; y < kSide; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(square.constScanLine(y));
        for (int x = 0; x < kSide; ++x) {
            *out++ = light.decode(uchar(qRed(row[x])));
            *out++ = light.decode(uchar(qGreen(row[x])));
            *out++ = light.decode(uchar(qBlue(row[x])));
        }
    }
    return values;
}

} // namespace

TransitionRenderer::TransitionRenderer(const TransitionDescription &wanted, const QImage &before,
                                       const QImage &after)
    : settings(wanted), count(wanted.frameCount()), from(squareOf(before)), to(squareOf(after))
{
    if (wanted.kind == TransitionDescription::Kind::CrossFade) {
        fromLinear = linearOf(from);
        toLinear = linearOf(to);
    }
}

Outcome TransitionRenderer::prepare(const TransitionDescription &wanted, const QImage &before,
                                    const QImage &after,
                                    std::shared_ptr<TransitionRenderer> *made)
{
    if (const Outcome checked = wanted.check(); !checked)
        return checked;
    if (before.isNull() || after.isNull())
        return Outcome::failure(
            QStringLiteral("a transition needs a picture on both sides"));
    made->reset(new TransitionRenderer(wanted, before, after));
    return Outcome::success();
}

double TransitionRenderer::progressAt(int index) const
{
    return double(index + 1) / double(count + 1);
}

QImage TransitionRenderer::crossFade(double t) const
{
    const LinearLight &light = LinearLight::instance();
    const float weight = float(t);
    QImage out(kSide, kSide, QImage::Format_RGB32);
    const float *a = fromLinear.data();
    const float *b = toLinear.data();
    for (int y = 0; y < kSide; ++y) {
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < kSide; ++x) {
            const uchar r = light.encode(a[0] + (b[0] - a[0]) * weight);
            const uchar g = light.encode(a[1] + (b[1] - a[1]) * weight);
            const uchar bl = light.encode(a[2] + (b[2] - a[2]) * weight);
            row[x] = qRgb(r, g, bl);
            a += 3;
            b += 3;
        }
    }
    return out;
}

QImage TransitionRenderer::revealed(const QPainterPath &path) const
{
    QImage out = from.copy();
    QPainter painter(&out);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(path);
    painter.drawImage(0, 0, to);
    return out;
}

QImage TransitionRenderer::frame(int index) const
{
    if (index < 0 || index >= count)
        return QImage();
    const double t = progressAt(index);
    const QPointF centre(kCentre, kCentre);
    switch (settings.kind) {
    case TransitionDescription::Kind::CrossFade:
        return crossFade(t);
    case TransitionDescription::Kind::ClockWipe: {
        // Qt's angles run counter-clockwise from 3 o'clock: start at 12 and sweep back.
        QPainterPath pie(centre);
        const QRectF box(centre - QPointF(kCornerRadius, kCornerRadius),
                         QSizeF(2 * kCornerRadius, 2 * kCornerRadius));
        pie.arcTo(box, 90.0, -360.0 * t);
        pie.closeSubpath();
        return revealed(pie);
    }
    case TransitionDescription::Kind::IrisOut: {
        QPainterPath circle;
        circle.addEllipse(centre, kRimRadius * t, kRimRadius * t);
        return revealed(circle);
    }
    case TransitionDescription::Kind::IrisIn: {
        // The picture before stays inside a shrinking circle; the next shows around it.
        QPainterPath outside;
        outside.addRect(QRectF(0, 0, kSide, kSide));
        QPainterPath circle;
        circle.addEllipse(centre, kRimRadius * (1.0 - t), kRimRadius * (1.0 - t));
        return revealed(outside.subtracted(circle));
    }
    case TransitionDescription::Kind::SpinIn: {
        QImage out = from.copy();
        QPainter painter(&out);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(centre);
        painter.rotate(-360.0 * (1.0 - t));
        painter.scale(t, t);
        painter.translate(-centre);
        painter.drawImage(0, 0, to);
        return out;
    }
    }
    return QImage();
}
