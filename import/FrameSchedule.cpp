#include "import/FrameSchedule.h"

#include <cmath>

FrameSchedule::FrameSchedule(qint64 startFrame, qint64 endFrame, double fps)
    : msPerFrame(1000.0 / fps), step(SampleMs / msPerFrame), pos(double(startFrame)),
      end(endFrame)
{
}

qint64 FrameSchedule::sampleCount() const
{
    if (atEnd())
        return 0;
    // Counted by the same accumulation the cutting uses; a stretch far beyond what an effect
    // can hold is only estimated.
    const double estimate = std::floor((double(end) - pos) / step) + 1.0;
    if (estimate > 100000.0)
        return qint64(estimate);
    FrameSchedule walk(*this);
    qint64 samples = 0;
    for (; !walk.atEnd(); walk.advance())
        ++samples;
    return samples;
}

qint64 FrameSchedule::frameOfSeconds(double seconds, double fps)
{
    if (!std::isfinite(seconds) || seconds < 0.0)
        return -1;
    // A small allowance so that 0.3 s at 10 fps is frame 3, not 2.999... truncated.
    const double frame = std::floor(seconds * fps + 1e-9);
    // Compared before converting: a double beyond qint64 has no integer value.
    if (!(frame < double(kBeyondAnyVideo)))
        return kBeyondAnyVideo;
    return qint64(frame);
}

qint64 FrameSchedule::msOfFrame(qint64 frame, double fps)
{
    return qint64(double(frame) * (1000.0 / fps));
}
