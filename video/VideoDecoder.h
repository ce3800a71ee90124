#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// One opened video stream of the video module, read by one thread at a time. Values are as
// the container reports them, unchecked, except that frames come upright: turned as the
// stream's rotation tag asks (as players show them), with sizes and regions those of the
// upright frame. A decoder never throws: a failure inside it (a frame it could not allocate)
// ends the call as a failed read and leaves its reason in failure().
class VideoDecoder
{
public:
    virtual ~VideoDecoder() = default;

    virtual double fps() const = 0;
    virtual double frameCount() const = 0;
    // The upright frame's size.
    virtual QSize frameSize() const = 0;
    // Clockwise quarter turn (0, 90, 180 or 270 degrees) applied to every decoded frame.
    virtual int rotation() const = 0;
    // Places the next read at frame index.
    virtual bool seek(qint64 index) = 0;
    // The next frame as a picture owning its pixels; null at the end or on a failed read.
    virtual QImage read() = 0;
    // The part of the next frame inside region (upright coordinates), converted alone;
    // origin receives its top-left. Null at the end, on a failed read or when region misses
    // the frame.
    virtual QImage readRegion(const QRect &region, QPoint *origin) = 0;
    // Decodes the next frame without converting it; false at the end.
    virtual bool skip() = 0;
    // Why the last call failed inside the decoder rather than at the end of the video;
    // empty while nothing failed.
    virtual QString failure() const = 0;
};
