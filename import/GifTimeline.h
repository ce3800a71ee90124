#pragma once

// How many clip frames each GIF frame gives. One each by default; keeping the GIF's speed,
// the GIF's own timeline is sampled every 100 ms as a video is: a frame covering k sample
// times is repeated k times, one covering none is skipped.
class GifTimeline
{
public:
    static constexpr int SampleMs = 100;

    explicit GifTimeline(bool keepSpeed) : keepSpeed(keepSpeed) {}

    // The clip frames the next GIF frame gives, lasting delayMs (as shown, above 0).
    int copiesOf(int delayMs);
    // Milliseconds of the GIF's timeline where the next frame starts.
    long long position() const { return clock; }

private:
    const bool keepSpeed;
    long long clock = 0;
};
