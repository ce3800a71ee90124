#pragma once

#include "model/SamplingMode.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// The 450 x 450 square every picture is brought to before it is sampled, whatever its
// source, and what is derived from it: the centred square of a picture, the sampled square,
// the 60 x 60 thumbnail, and a 450 x 450 region cut out of a video or GIF frame onto black.
class RoundSquare
{
public:
    static constexpr int Side = 450;
    static constexpr int ThumbnailSide = 60;

    // Side min(w, h), offsets (w - side) / 2 and (h - side) / 2.
    static QRect centredSquare(const QSize &size);
    // The square part of picture without copying its pixels (8, 16, 24 or 32 bits per pixel;
    // other depths are copied). Valid only while picture lives and is not changed.
    static QImage squareView(const QImage &picture, const QRect &square);
    // The centred square scaled to 450 x 450 (aspect kept), owning its pixels: nearest
    // neighbour for sharp sampling, averaged for smooth sampling (whose detail would
    // otherwise be lost before the LEDs average it). Null for a null picture.
    static QImage sampledSquare(const QImage &picture, SamplingMode mode = SamplingMode::Sharp);
    // A square picture scaled to 450 x 450 the way the mode needs (see sampledSquare).
    static QImage scaledToSide(const QImage &square, SamplingMode mode);
    // The thumbnail of a sampled square: fitted into 60 x 60, nearest neighbour.
    static QImage thumbnailOf(const QImage &square);

    // Top-left of the 450 x 450 region centred on a frame of this size (negative for a
    // frame smaller than the square).
    static QPoint centredRegion(const QSize &frame);
    // The 450 x 450 region of frame whose top-left is topLeft (frame coordinates), on an
    // opaque black ARGB32 square: what lies outside the frame stays black.
    static QImage cutFrame(const QImage &frame, const QPoint &topLeft);
    // The same region of the frame as the region dialog showed it: scaled to shownSize first
    // (nearest neighbour; unscaled when shownSize is invalid or the frame's own size). Every
    // clip frame, from a video or a GIF, in the window or the command-line tool, is cut here.
    static QImage cutShownFrame(const QImage &frame, const QSize &shownSize,
                                const QPoint &topLeft);
};
