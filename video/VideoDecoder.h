#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// One opened video stream of the video module, read by one thread at a time. Values are as
// the container reports them, unchecked.
class VideoDecoder
{
public:
    virtual ~VideoDecoder() = default;

    virtual double fps() const = 0;
    virtual double frameCount() const = 0;
    virtual QSize frameSize() const = 0;
    // Places the next read at frame index.
    virtual bool seek(qint64 index) = 0;
    // The next frame as a picture owning its pixels; null at the end or on a failed read.
    virtual QImage read() = 0;
    // The part of the next frame inside region, converted alone; origin receives its
    // top-left. Null at the end, on a failed read or when region misses the frame.
    virtual QImage readRegion(const QRect &region, QPoint *origin) = 0;
    // Decodes the next frame without converting it; false at the end.
    virtual bool skip() = 0;
};
