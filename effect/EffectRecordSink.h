#pragma once

#include "effect/EffectRecord.h"

// Where the effect reader hands what it parses, in file order: pictures, and clips as a
// start, their frames and an end. A clip's frames always come between its start and end.
class EffectRecordSink
{
public:
    virtual ~EffectRecordSink() = default;

    virtual void picture(const EffectRecord &record) = 0;
    // number: the clip's position in the file (0-based); loopCount as the header stores it.
    virtual void clipStarted(int number, int loopCount) = 0;
    virtual void clipFrame(const EffectRecord &record) = 0;
    // keep is false when the clip is to be dropped: no frame came, or the read was stopped.
    virtual void clipEnded(bool keep) = 0;
};
