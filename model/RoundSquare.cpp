#include "model/RoundSquare.h"

#include <QPainter>

QRect RoundSquare::centredSquare(const QSize &size)
{
    const int side = qMin(size.width(), size.height());
    const int x = side < size.width() ? (size.width() - side) / 2 : 0;
    const int y = side < size.height() ? (size.height() - side) / 2 : 0;
    return QRect(x, y, side, side);
}

QImage RoundSquare::squareView(const QImage &picture, const QRect &square)
{
    // A copy of a 3000 x 3000 square would cost 36 MB and a pass over it for every picture.
    if (picture.depth() < 8 || picture.depth() % 8 != 0)
        return picture.copy(square);
    const uchar *first = picture.constBits() + qsizetype(square.y()) * picture.bytesPerLine()
                         + qsizetype(square.x()) * (picture.depth() / 8);
    QImage view(first, square.width(), square.height(), picture.bytesPerLine(), picture.format());
    view.setColorTable(picture.colorTable());
    return view;
}

QImage RoundSquare::sampledSquare(const QImage &picture, SamplingMode mode)
{
    if (picture.isNull())
        return {};
    const QRect square = centredSquare(picture.size());
    const bool whole = square == picture.rect();
    const QImage cropped = whole ? picture : squareView(picture, square);
    const QImage sampled = scaledToSide(cropped, mode);
    // A square that already has the sampled size comes back unscaled; a view would then
    // still borrow the picture's pixels, which the caller may change or free.
    if (!whole && sampled.constBits() == cropped.constBits())
        return cropped.copy();
    return sampled;
}

QImage RoundSquare::scaledToSide(const QImage &square, SamplingMode mode)
{
    return square.scaled(Side, Side, Qt::KeepAspectRatio,
                         mode == SamplingMode::Smooth ? Qt::SmoothTransformation
                                                      : Qt::FastTransformation);
}

QImage RoundSquare::thumbnailOf(const QImage &square)
{
    return square.scaled(ThumbnailSide, ThumbnailSide, Qt::KeepAspectRatio,
                         Qt::FastTransformation);
}

QPoint RoundSquare::centredRegion(const QSize &frame)
{
    return QPoint((frame.width() - Side) / 2, (frame.height() - Side) / 2);
}

QImage RoundSquare::cutFrame(const QImage &frame, const QPoint &topLeft)
{
    QImage square(Side, Side, QImage::Format_ARGB32);
    square.fill(QColor(0, 0, 0, 255));
    const QRect region(topLeft, QSize(Side, Side));
    // Never an unchecked rectangle: copy() of an empty one would copy the whole frame.
    const QRect clipped = region.intersected(frame.rect());
    if (clipped.isEmpty())
        return square;
    QPainter painter(&square);
    painter.drawImage(clipped.topLeft() - region.topLeft(), frame, clipped);
    return square;
}

QImage RoundSquare::cutShownFrame(const QImage &frame, const QSize &shownSize,
                                  const QPoint &topLeft)
{
    if (!shownSize.isValid() || shownSize == frame.size())
        return cutFrame(frame, topLeft);
    return cutFrame(frame.scaled(shownSize, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                    topLeft);
}
