#include "ui/playlist/ClipLength.h"

#include "effect/EffectPlaylist.h"
#include "effect/ShowTimeline.h"
#include "model/MediaObject.h"

int ClipLength::frameMs(MediaObject *clip)
{
    if (!clip)
        return ShowTimeline::kTenthMs;
    // The timeline of the clip alone: the frame time the show player and the file use.
    const ShowTimeline timeline = ShowTimeline::fromPlaylist(EffectPlaylist::capture({}, {clip}));
    if (timeline.runs().isEmpty() || timeline.runs().constFirst().frameMs <= 0)
        return ShowTimeline::kTenthMs;
    return int(timeline.runs().constFirst().frameMs);
}

QString ClipLength::secondsText(MediaObject *clip)
{
    const qint64 frames = clip ? clip->frames.size() : 0;
    // Whole milliseconds to the nearest tenth of a second, in integers: no 4.6 shown as 4.5.
    const qint64 tenths = (frames * frameMs(clip) + 50) / 100;
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}
