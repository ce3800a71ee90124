#include "show/ShowSnapshot.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

ShowSnapshot::Item ShowSnapshot::captureItem(ImageObject *item)
{
    Item taken;
    taken.item = item;
    taken.revision = item->revision();
    taken.kind = item->kind;
    taken.number = item->number;
    taken.displayTime = item->displayTime;
    taken.frameTime = item->frameTime;
    taken.contrastFactor = item->contrastFactor;
    taken.sampling = item->sampling;
    taken.squareRect = item->squareRect;
    taken.sourcePath = item->sourcePath;
    return taken;
}

ShowSnapshot ShowSnapshot::capture(const QList<ImageObject *> &pictureItems,
                                   const QList<MediaObject *> &clipItems, SamplingMode sampling,
                                   const QHash<const QObject *, QString> &transitions)
{
    ShowSnapshot snapshot;
    snapshot.pictures.reserve(pictureItems.size());
    for (ImageObject *item : pictureItems) {
        snapshot.pictures.append(captureItem(item));
        snapshot.pictures.last().transition = transitions.value(item);
    }
    snapshot.clips.reserve(clipItems.size());
    for (const MediaObject *clip : clipItems) {
        Clip taken;
        taken.number = clip->number;
        taken.loopCount = clip->loopCount;
        taken.frameTenths = clip->frameTenths;
        taken.isGif = clip->isGif;
        taken.origin = clip->origin;
        taken.transition = transitions.value(clip);
        taken.frames.reserve(clip->frames.size());
        for (ImageObject *frame : clip->frames)
            taken.frames.append(captureItem(frame));
        snapshot.clips.append(taken);
    }
    snapshot.ledCount = ::ledCount.load();
    snapshot.lineNumber = ::lineNumber.load();
    snapshot.languageCode = ::languageCode.load();
    snapshot.sampling = sampling;
    return snapshot;
}

qint64 ShowSnapshot::itemCount() const
{
    qint64 count = pictures.size();
    for (const Clip &clip : clips)
        count += clip.frames.size();
    return count;
}
