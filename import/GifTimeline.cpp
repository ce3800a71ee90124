#include "import/GifTimeline.h"

namespace {

// Sample times k x 100 ms before t, counted exactly.
long long samplesBefore(long long t)
{
    return (t + GifTimeline::SampleMs - 1) / GifTimeline::SampleMs;
}

} // namespace

int GifTimeline::copiesOf(int delayMs)
{
    const long long start = clock;
    clock += delayMs > 0 ? delayMs : SampleMs;
    if (!keepSpeed)
        return 1;
    return int(samplesBefore(clock) - samplesBefore(start));
}
