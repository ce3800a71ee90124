#include "motion/TextClipRenderer.h"

#include "diy/DiyTextLayout.h"
#include "model/PictureLoader.h"
#include "model/RoundSquare.h"
#include "motion/MotionFont.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>

#include <cmath>
#include <numbers>

namespace {

constexpr int kSide = RoundSquare::Side;
constexpr double kCentre = kSide / 2.0;
// The outermost LED stands 224 pixels from the hub; glyphs keep a little inside it.
constexpr double kRimRadius = 224.0;
constexpr double kRimMargin = 4.0;
// A gap of this share of the text's length between its end and its start around the ring,
// so a ring that fills the circle still shows where the text begins.
constexpr double kRingGapShare = 0.08;

QStringList charactersOf(const QString &text)
{
    QStringList chars;
    for (const char32_t c : text.toUcs4())
        chars.append(QString::fromUcs4(&c, 1));
    return chars;
}

double secondsAt(int index)
{
    return index * (TextClipDescription::kFrameMs / 1000.0);
}

} // namespace

TextClipRenderer::TextClipRenderer(const TextClipDescription &wanted)
    : settings(wanted), count(wanted.frameCount())
{
}

Outcome TextClipRenderer::prepare(const TextClipDescription &wanted,
                                  std::shared_ptr<TextClipRenderer> *made)
{
    if (const Outcome checked = wanted.check(); !checked)
        return checked;
    std::shared_ptr<TextClipRenderer> renderer(new TextClipRenderer(wanted));
    QImage back(kSide, kSide, QImage::Format_RGB32);
    back.fill(wanted.backgroundColor);
    if (!wanted.backgroundPath.isEmpty()) {
        QString why;
        const QImage picture = PictureLoader::load(wanted.backgroundPath, &why);
        if (picture.isNull())
            return Outcome::failure(QStringLiteral("the background picture %1 cannot be read: %2")
                                        .arg(wanted.backgroundPath, why));
        // Averaged: the picture is shrunk once here and sampled as it is afterwards.
        const QImage square = RoundSquare::sampledSquare(picture, SamplingMode::Smooth);
        QPainter painter(&back);
        painter.drawImage(QPointF((kSide - square.width()) / 2.0,
                                  (kSide - square.height()) / 2.0),
                          square);
    }
    renderer->background = back;
    if (wanted.isRing())
        renderer->layOutRing();
    else
        renderer->layOutLine();
    if (renderer->layer.isNull())
        return Outcome::failure(QStringLiteral("the text \"%1\" cannot be laid out").arg(wanted.text));
    *made = std::move(renderer);
    return Outcome::success();
}

void TextClipRenderer::layOutRing()
{
    const QStringList chars = charactersOf(settings.text.simplified());
    // Measured at the asked size; shrunk when the text is longer than the circle.
    QFont font = MotionFont::font(settings.fontFamily, settings.pixelSize);
    double baseline = 0.0;
    double length = 0.0;
    QList<double> advances;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QFontMetricsF metrics(font);
        baseline = kRimRadius - kRimMargin - metrics.ascent();
        advances.clear();
        length = 0.0;
        for (const QString &ch : chars) {
            advances.append(metrics.horizontalAdvance(ch));
            length += advances.last();
        }
        const double room = 2.0 * std::numbers::pi * baseline / (1.0 + kRingGapShare);
        if (baseline > 0.0 && length <= room)
            break;
        const double scale = baseline > 0.0 ? room / length : 0.5;
        const int smaller = qMax(TextClipDescription::kMinPixelSize,
                                 int(std::floor(font.pixelSize() * qMin(scale, 0.95))));
        if (smaller == font.pixelSize())
            break;
        font.setPixelSize(smaller);
    }
    drawnSize = font.pixelSize();
    QImage ring(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    ring.fill(Qt::transparent);
    QPainter painter(&ring);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(settings.color);
    // Centred at 12 o'clock, running clockwise as it is read; each character stands on the
    // circle of the baseline with its top towards the rim.
    double along = -length / 2.0;
    for (int i = 0; i < chars.size(); ++i) {
        const double middle = along + advances[i] / 2.0;
        const double degrees = middle / baseline * 180.0 / std::numbers::pi;
        painter.save();
        painter.translate(kCentre, kCentre);
        painter.rotate(degrees);
        painter.drawText(QPointF(-advances[i] / 2.0, -baseline), chars[i]);
        painter.restore();
        along += advances[i];
    }
    painter.end();
    layer = ring;
}

void TextClipRenderer::layOutLine()
{
    const QFont font = MotionFont::font(settings.fontFamily, settings.pixelSize);
    drawnSize = font.pixelSize();
    layer = DiyTextLayout::render(settings.text.simplified(), font, settings.color,
                                  DiyTextLayout::Horizontal, 0);
}

QPointF TextClipRenderer::slideOffset(qint64 ms) const
{
    const double travelled = settings.speed * 45.0 * ms / 1000.0;
    const bool across = settings.motion == TextClipDescription::Motion::SlideLeft
                        || settings.motion == TextClipDescription::Motion::SlideRight;
    const bool backwards = settings.motion == TextClipDescription::Motion::SlideLeft
                           || settings.motion == TextClipDescription::Motion::SlideUp;
    const double size = across ? layer.width() : layer.height();
    const double other = across ? layer.height() : layer.width();
    // Starts centred; leaves on one side and comes back on the other, so the text's top-left
    // stays within [-size, side) along the way it moves.
    const double period = kSide + size;
    const double along = (kSide - size) / 2.0 + (backwards ? -travelled : travelled);
    const double wrapped = std::fmod(std::fmod(along + size, period) + period, period) - size;
    const double centred = (kSide - other) / 2.0;
    return across ? QPointF(wrapped, centred) : QPointF(centred, wrapped);
}

QImage TextClipRenderer::frame(int index) const
{
    if (index < 0 || index >= count)
        return QImage();
    QImage out = background.copy();
    const qint64 ms = qint64(index) * TextClipDescription::kFrameMs;
    QPainter painter(&out);
    switch (settings.motion) {
    case TextClipDescription::Motion::RingCounterClockwise:
    case TextClipDescription::Motion::RingClockwise: {
        const double turn = settings.speed * 18.0 * secondsAt(index);
        const double degrees =
            settings.motion == TextClipDescription::Motion::RingClockwise ? turn : -turn;
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(kCentre, kCentre);
        painter.rotate(std::fmod(degrees, 360.0));
        painter.translate(-kCentre, -kCentre);
        painter.drawImage(0, 0, layer);
        break;
    }
    case TextClipDescription::Motion::SlideLeft:
    case TextClipDescription::Motion::SlideRight:
    case TextClipDescription::Motion::SlideUp:
    case TextClipDescription::Motion::SlideDown:
        painter.drawImage(slideOffset(ms).toPoint(), layer);
        break;
    case TextClipDescription::Motion::Blink: {
        const qint64 periodMs = 4000 / settings.speed;
        if (ms % periodMs >= periodMs / 2)
            break;
        [[fallthrough]];
    }
    case TextClipDescription::Motion::Stand:
        painter.drawImage(QPoint((kSide - layer.width()) / 2, (kSide - layer.height()) / 2),
                          layer);
        break;
    }
    return out;
}
