#include "effect/EffectItemMaker.h"

#include "effect/EffectFormat.h"
#include "effect/LedDataCodec.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/RoundPreview.h"
#include "model/RoundSquare.h"

#include <QThread>

namespace {

// A picture or frame item for one record: LED data as the display plays it, with the round
// preview and the thumbnail drawn from the colour triples (green, red, blue).
ImageObject *makeItem(const EffectRecord &record, int kind, int ledCount, int lineNumber)
{
    const bool triples = record.form == EffectRecord::Form::ColourTriples;
    const QByteArray ledData =
        triples ? LedDataCodec::codeSlottedRecord(record.bytes, ledCount, lineNumber)
                : record.bytes;
    const QByteArray grb =
        triples ? record.bytes
                : LedDataCodec::decodeToSlottedTriples(record.bytes, ledCount, lineNumber);
    auto *item = new ImageObject(record.number, QString(), record.displayTime, kind);
    const QImage preview = roundPreviewImage(RoundSquare::Side, grb, ledCount, lineNumber);
    item->saveSamplingPreview(preview);
    item->saveThumbnail(RoundSquare::thumbnailOf(preview));
    item->ledData = ledData;
    item->writeLedDataFile();
    return item;
}

} // namespace

EffectItemMaker::EffectItemMaker(QList<ImageObject *> &images, QList<MediaObject *> &medias,
                                 int ledCount, int lineNumber)
    : images(images), medias(medias), ledCount(ledCount), lineNumber(lineNumber),
      owner(QThread::currentThread()), target(&images),
      pipeline([this](ImageObject *item) { target->append(item); })
{
}

EffectItemMaker::~EffectItemMaker()
{
    pipeline.finish();
    // A clip the reader never ended is not part of the result.
    delete clip;
}

void EffectItemMaker::deliverTo(QList<ImageObject *> *list)
{
    if (target == list)
        return;
    pipeline.finish();
    target = list;
}

void EffectItemMaker::make(const EffectRecord &record, int kind)
{
    pipeline.submit([record, kind, leds = ledCount, lines = lineNumber, to = owner] {
        ImageObject *item = makeItem(record, kind, leds, lines);
        // The items belong to the reading thread, as if it had made them itself; the
        // helper threads end with their job.
        item->moveToThread(to);
        return item;
    });
}

void EffectItemMaker::picture(const EffectRecord &record)
{
    deliverTo(&images);
    make(record, ImageObject::KindReadPicture);
}

void EffectItemMaker::clipStarted(int number, int loopCount)
{
    deliverTo(&images);
    delete clip;
    clip = new MediaObject(number, QString());
    clip->loopCount = loopCount;
    deliverTo(&clip->frames);
}

void EffectItemMaker::clipFrame(const EffectRecord &record)
{
    if (!clip)
        return;
    // The clip keeps the pace its file gave it, so writing it again keeps its timing.
    clip->frameTenths = int(qBound(qint64(1), EffectFormat::tenthsOf(record.displayTime), qint64(255)));
    make(record, ImageObject::KindReadClipFrame);
}

void EffectItemMaker::clipEnded(bool keep)
{
    deliverTo(&images);
    if (!clip)
        return;
    if (keep && !clip->frames.isEmpty())
        medias.append(clip);
    else
        delete clip;
    clip = nullptr;
}
