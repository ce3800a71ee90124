#include "show/ShowInfo.h"

#include "effect/EffectPlaylist.h"
#include "effect/ShowTimeline.h"

qint64 ShowInfo::showLengthMs() const
{
    // The timeline reads only times, frame counts and loop counts, never the items.
    EffectPlaylist playlist;
    for (const Picture &picture : pictures)
        playlist.pictures.append({nullptr, picture.displayTime});
    for (const Clip &clip : clips) {
        EffectPlaylist::Clip entry;
        entry.frames = QList<ImageObject *>(clip.frames, nullptr);
        entry.loopCount = clip.loopCount;
        playlist.clips.append(entry);
    }
    playlist.languageCode = languageCode;
    playlist.ledCount = ledCount;
    playlist.lineNumber = lineNumber;
    return ShowTimeline::fromPlaylist(playlist).totalMs();
}
