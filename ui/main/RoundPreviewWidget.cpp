#include "ui/main/RoundPreviewWidget.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

#include <cmath>

namespace {
// The size the previews are made at; the widget asks for it and shrinks down to the minimum.
constexpr int kPreferredSide = 450;
constexpr int kSmallestSide = 160;
} // namespace

RoundPreviewWidget::RoundPreviewWidget(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Every pixel is painted: white, then the circle.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize RoundPreviewWidget::sizeHint() const
{
    return {kPreferredSide, kPreferredSide};
}

QSize RoundPreviewWidget::minimumSizeHint() const
{
    return {kSmallestSide, kSmallestSide};
}

void RoundPreviewWidget::showPicture(const QImage &picture)
{
    if (picture.isNull()) {
        showBlank();
        return;
    }
    source = picture;
    round = QImage();
    shown = Content::Picture;
    update();
}

void RoundPreviewWidget::showBlank()
{
    source = QImage();
    round = QImage();
    shown = Content::Blank;
    update();
}

void RoundPreviewWidget::showOutline()
{
    source = QImage();
    round = QImage();
    shown = Content::Outline;
    update();
}

QRect RoundPreviewWidget::circleRect() const
{
    const int side = qMin(width(), height());
    return QRect((width() - side) / 2, (height() - side) / 2, side, side);
}

void RoundPreviewWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize old = event->oldSize();
    const int side = circleRect().width();
    if (!old.isValid() || qMin(old.width(), old.height()) != side)
        emit diameterChanged(side);
}

const QImage &RoundPreviewWidget::roundPicture(int side, qreal ratio)
{
    if (!round.isNull() && round.width() == side && round.devicePixelRatio() == ratio
        && roundKey == source.cacheKey())
        return round;
    // Scaled straight to the device pixels, so a high-DPI screen gets the picture's own detail.
    round = source.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    roundKey = source.cacheKey();
    // Only the disc stays; its edge is antialiased rather than cut along pixel steps.
    QPainter mask(&round);
    mask.setRenderHint(QPainter::Antialiasing);
    mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    QPainterPath disc;
    disc.addRect(0, 0, side, side);
    disc.addEllipse(QRectF(0, 0, side, side));
    mask.fillPath(disc, Qt::transparent);
    mask.end();
    round.setDevicePixelRatio(ratio);
    return round;
}

void RoundPreviewWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRect square = circleRect();
    if (square.isEmpty())
        return;
    switch (shown) {
    case Content::Blank:
        break;
    case Content::Outline: {
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(Qt::red);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(square).adjusted(0.5, 0.5, -0.5, -0.5));
        break;
    }
    case Content::Picture: {
        // Device pixels per pixel: the screen's ratio, or the scale of whatever this is
        // rendered into (a high-DPI picture of the window).
        const QTransform toDevice = painter.deviceTransform();
        const qreal ratio = qMax(painter.device()->devicePixelRatio(),
                                 std::hypot(toDevice.m11(), toDevice.m12()));
        const int side = qMax(1, int(std::lround(square.width() * ratio)));
        painter.drawImage(square.topLeft(), roundPicture(side, ratio));
        break;
    }
    }
}
