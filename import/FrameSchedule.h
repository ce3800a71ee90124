#pragma once

#include <QtGlobal>

// Which frames of a stretch become clip frames: one per 100 ms of video time, from the
// start frame to the end frame inclusive. The position is accumulated as a double step by
// step (start + k x step gives other frames on long runs); the frame kept is floor(pos), so
// below 10 frames per second neighbouring samples may share a frame.
class FrameSchedule
{
public:
    static constexpr double SampleMs = 100.0;

    FrameSchedule(qint64 startFrame, qint64 endFrame, double fps);

    bool atEnd() const { return pos > double(end); }
    qint64 frameIndex() const { return qint64(pos); }
    double position() const { return pos; }
    // Video time of the current sample in milliseconds, as the item keeps it.
    float frameTimeMs() const { return float(pos * msPerFrame); }
    void advance() { pos += step; }

    // How many samples the whole stretch gives when the video can be read that far.
    qint64 sampleCount() const;

    // Frame index of a time, as the sliders show it (truncated); -1 for a negative or
    // non-finite time; kBeyondAnyVideo for a time further than any video reaches.
    static qint64 frameOfSeconds(double seconds, double fps);
    // Far past the end of every video, small enough to add to a frame index and to hold in
    // a double exactly.
    static constexpr qint64 kBeyondAnyVideo = qint64(1) << 52;
    // Milliseconds of a frame index, truncated, as the time labels show it.
    static qint64 msOfFrame(qint64 frame, double fps);

private:
    double msPerFrame;
    double step;
    double pos;
    qint64 end;
};
