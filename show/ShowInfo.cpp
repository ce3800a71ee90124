#include "show/ShowInfo.h"

#include "effect/EffectPlaylist.h"
#include "effect/ShowTimeline.h"

#include <QStringList>

qint64 ShowInfo::showLengthMs(const std::function<int(const QString &)> &transitionFrames) const
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
    if (transitionFrames) {
        // A transition plays between its item and the next: every picture, then every clip.
        QStringList after;
        for (const Picture &picture : pictures)
            after.append(picture.transition);
        for (const Clip &clip : clips)
            after.append(clip.transition);
        for (int i = 0; i + 1 < after.size(); ++i) {
            const int frames = after[i].isEmpty() ? 0 : transitionFrames(after[i]);
            // Only the total matters here: where the clip stands does not change it.
            if (frames <= 0)
                continue;
            EffectPlaylist::Clip entry;
            entry.frames = QList<ImageObject *>(frames, nullptr);
            playlist.clips.append(entry);
        }
    }
    playlist.languageCode = languageCode;
    playlist.ledCount = ledCount;
    playlist.lineNumber = lineNumber;
    return ShowTimeline::fromPlaylist(playlist).totalMs();
}
