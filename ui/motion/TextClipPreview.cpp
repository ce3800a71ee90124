#include "ui/motion/TextClipPreview.h"

#include "motion/TextClipRenderer.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// The frame as the round display shows it: the circle inside the square, side pixels across.
QImage roundOf(const QImage &frame, int side)
{
    QImage round(side, side, QImage::Format_ARGB32_Premultiplied);
    round.fill(Qt::transparent);
    QPainter painter(&round);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath circle;
    circle.addEllipse(QRectF(0, 0, side, side));
    painter.setClipPath(circle);
    painter.drawImage(QRect(0, 0, side, side), frame);
    return round;
}

} // namespace

TextClipPreview::TextClipPreview(QWidget *parent) : QWidget(parent)
{
    worker.setMaxThreadCount(1);
    setMinimumSize(200, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    clock.setInterval(TextClipDescription::kFrameMs);
    clock.setTimerType(Qt::PreciseTimer);
    connect(&clock, &QTimer::timeout, this, &TextClipPreview::tick);
    clock.start();
}

TextClipPreview::~TextClipPreview()
{
    ++generation;
    worker.clear();
    worker.waitForDone();
}

void TextClipPreview::setDescription(const TextClipDescription &wanted)
{
    if (wanted == wantedSettings && (renderer || drawing))
        return;
    wantedSettings = wanted;
    const quint64 now = ++generation;
    // What is out belongs to the old settings and is dropped when it arrives.
    renderer.reset();
    drawing = false;
    if (!wanted.check()) {
        takeRenderer(now, nullptr);
        return;
    }
    drawing = true;
    worker.start([this, now, wanted] {
        if (generation.load() != now)
            return;
        std::shared_ptr<TextClipRenderer> made;
        if (!TextClipRenderer::prepare(wanted, &made))
            made.reset();
        QMetaObject::invokeMethod(
            this, [this, now, made] { takeRenderer(now, made); }, Qt::QueuedConnection);
    });
}

void TextClipPreview::setPlaying(bool playing)
{
    if (playing)
        clock.start();
    else
        clock.stop();
}

void TextClipPreview::takeRenderer(quint64 of, std::shared_ptr<TextClipRenderer> made)
{
    if (of != generation.load())
        return;
    drawing = false;
    renderer = std::move(made);
    if (!renderer) {
        frameImage = QImage();
        roundImage = QImage();
        shown = -1;
        update();
        return;
    }
    // Starts again from the clip's first frame.
    requestFrame(0);
}

void TextClipPreview::tick()
{
    // A frame still being drawn keeps its place: the one after it follows on a later tick.
    if (!renderer || drawing)
        return;
    requestFrame(renderer->frameCount() > 0 ? (shown + 1) % renderer->frameCount() : 0);
}

void TextClipPreview::requestFrame(int index)
{
    drawing = true;
    const quint64 now = generation.load();
    const std::shared_ptr<const TextClipRenderer> source = renderer;
    const int side = qMax(1, qMin(width(), height()) - 8) * devicePixelRatio();
    worker.start([this, now, source, index, side] {
        if (generation.load() != now)
            return;
        const QImage frame = source->frame(index);
        const QImage round = roundOf(frame, side);
        QMetaObject::invokeMethod(
            this, [this, now, index, frame, round] { takeFrame(now, index, frame, round); },
            Qt::QueuedConnection);
    });
}

void TextClipPreview::takeFrame(quint64 of, int index, const QImage &frame, const QImage &round)
{
    if (of != generation.load())
        return;
    drawing = false;
    shown = index;
    frameImage = frame;
    roundImage = round;
    roundImage.setDevicePixelRatio(devicePixelRatio());
    shownSettings = wantedSettings;
    update();
    emit frameShown(index);
}

void TextClipPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMax(1, qMin(width(), height()) - 8);
    const QRect disc((width() - side) / 2, (height() - side) / 2, side, side);
    // The spinning blade lights a disc; outside it the display is dark.
    painter.setPen(QPen(palette().mid().color(), 2));
    painter.setBrush(Qt::black);
    painter.drawEllipse(disc.adjusted(-2, -2, 2, 2));
    if (!roundImage.isNull())
        painter.drawImage(disc, roundImage);
}
