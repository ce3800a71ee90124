#pragma once

#include <QImage>

// The frames of a generated clip, one per 100 ms, as 450 x 450 opaque squares. A source is
// prepared on the thread that makes it and afterwards only read: frame() may be called from
// any thread, several at once (the cutting run's producer, a live preview's timer).
class MotionFrameSource
{
public:
    virtual ~MotionFrameSource() = default;
    virtual int frameCount() const = 0;
    // Frame index (0-based) as a 450 x 450 RGB32 square; null outside 0 .. frameCount() - 1.
    virtual QImage frame(int index) const = 0;
};
