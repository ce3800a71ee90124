#include "effect/EffectPlaylist.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

EffectPlaylist EffectPlaylist::capture(const QList<ImageObject *> &pictureItems,
                                       const QList<MediaObject *> &clipItems)
{
    EffectPlaylist playlist;
    playlist.pictures.reserve(pictureItems.size());
    for (ImageObject *item : pictureItems)
        playlist.pictures.append({item, item->displayTime});
    playlist.clips.reserve(clipItems.size());
    for (const MediaObject *clip : clipItems)
        playlist.clips.append({clip->frames, clip->loopCount, clip->frameTenths});
    playlist.languageCode = ::languageCode.load();
    playlist.ledCount = ::ledCount.load();
    playlist.lineNumber = ::lineNumber.load();
    return playlist;
}

qint64 EffectPlaylist::recordCount() const
{
    qint64 count = pictures.size();
    for (const Clip &clip : clips)
        count += clip.recordCount();
    return count;
}

QList<EffectPlaylist::Entry> EffectPlaylist::playOrder() const
{
    QList<bool> pictureSeen(pictures.size(), false);
    QList<bool> clipSeen(clips.size(), false);
    bool valid = order.size() == pictures.size() + clips.size();
    for (const Entry &entry : order) {
        if (!valid)
            break;
        QList<bool> &seen = entry.isClip ? clipSeen : pictureSeen;
        valid = entry.index >= 0 && entry.index < seen.size() && !seen[entry.index];
        if (valid)
            seen[entry.index] = true;
    }
    if (valid)
        return order;
    QList<Entry> lists;
    lists.reserve(pictures.size() + clips.size());
    for (int i = 0; i < pictures.size(); ++i)
        lists.append({false, i});
    for (int i = 0; i < clips.size(); ++i)
        lists.append({true, i});
    return lists;
}

QList<ImageObject *> EffectPlaylist::Clip::records() const
{
    if (frameTenths <= 1)
        return frames;
    QList<ImageObject *> list;
    list.reserve(recordCount());
    for (ImageObject *frame : frames)
        list.insert(list.size(), frameTenths, frame);
    return list;
}
