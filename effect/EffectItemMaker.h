#pragma once

#include "effect/EffectRecordSink.h"
#include "effect/OrderedPipeline.h"

#include <QList>

class ImageObject;
class MediaObject;
class QThread;

// Makes playlist items of the records an effect reader hands over: picture items (kind 4)
// and clip items with frames (kind 5). Every item holds LED data as the display plays it
// (colour triples are coded on the way), already moved to its ".buf" file so memory stays
// bounded by a few records however many frames a file holds, with its round preview and
// 60 x 60 thumbnail drawn from the record's colours and saved in the work directory.
//
// Drawing and saving cost far more than reading, so items are made on helper threads and
// appended in file order; they belong to the thread that made this maker. Items reach the
// lists given; a clip reaches medias once it has ended and is to be kept.
class EffectItemMaker final : public EffectRecordSink
{
public:
    EffectItemMaker(QList<ImageObject *> &images, QList<MediaObject *> &medias, int ledCount,
                    int lineNumber);
    // Waits for the items still being made.
    ~EffectItemMaker() override;
    Q_DISABLE_COPY_MOVE(EffectItemMaker)

    void picture(const EffectRecord &record) override;
    void clipStarted(int number, int loopCount) override;
    void clipFrame(const EffectRecord &record) override;
    void clipEnded(bool keep) override;

private:
    void make(const EffectRecord &record, int kind);
    // Items made from now on go to list, after the ones for the previous list are in.
    void deliverTo(QList<ImageObject *> *list);

    QList<ImageObject *> &images;
    QList<MediaObject *> &medias;
    const int ledCount;
    const int lineNumber;
    QThread *const owner;
    MediaObject *clip = nullptr; // the clip between its start and end
    QList<ImageObject *> *target;
    // Last: destroyed first, while the lists it delivers to are still there.
    OrderedPipeline<ImageObject *> pipeline;
};
