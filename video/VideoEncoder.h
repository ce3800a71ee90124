#pragma once

#include <QImage>

// One video file being written by the video module. Reports no write errors (the coder
// does not): the caller checks the finished file.
class VideoEncoder
{
public:
    virtual ~VideoEncoder() = default;

    // Appends one frame: side x side, Format_ARGB32. The same picture (same cache key) as the
    // frame before is not converted again.
    virtual void write(const QImage &frame) = 0;
    // Completes the file; nothing is written after it.
    virtual void finish() = 0;
};
