#include "effect/EffectReader.h"

#include "app/AppGlobals.h"
#include "app/InputFileCheck.h"
#include "effect/EffectFormat.h"
#include "effect/EffectLog.h"
#include "effect/IndexedHeader.h"
#include "effect/LedDataCodec.h"
#include "effect/ReadBudget.h"
#include "effect/SlottedHeader.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/RoundPreview.h"
#include "model/RoundSquare.h"

#include <QDebug>
#include <QFile>
#include <QStringList>
#include <QThread>

#include <deque>
#include <functional>
#include <future>

namespace {

constexpr double kReadFrameTime = 0.2;
constexpr double kSlottedTimeUnit = 0.2;

using Result = EffectReader::Result;

Result failure(const QString &reason)
{
    Result result;
    result.error = reason;
    return result;
}

// A picture or frame item for one record: LED data as the display plays it, with the round
// preview and the thumbnail drawn from the colour triples (green, red, blue).
struct ItemFields
{
    int number;
    double displayTime;
    int kind;
};

ImageObject *makeItem(const ItemFields &shape, const QByteArray &ledData,
                      const QByteArray &grbTriples, int ledCount, int lineNumber)
{
    auto *item = new ImageObject(shape.number, QString(), shape.displayTime, shape.kind);
    const QImage preview = roundPreviewImage(RoundSquare::Side, grbTriples, ledCount, lineNumber);
    item->saveSamplingPreview(preview);
    item->saveThumbnail(RoundSquare::thumbnailOf(preview));
    item->ledData = ledData;
    // Keeps memory bounded by one record however many frames a file holds.
    item->writeLedDataFile();
    return item;
}

// Makes items on a few threads while the records are read in order: drawing and saving the
// previews costs far more than reading. Items reach the sink in the order submitted, and at
// most one job per core is in flight, so memory stays bounded.
class ItemPipeline
{
public:
    explicit ItemPipeline(QList<ImageObject *> &sink)
        : sink(sink), width(qMax(1, QThread::idealThreadCount())),
          owner(QThread::currentThread())
    {
    }
    ~ItemPipeline() { finish(); }
    Q_DISABLE_COPY_MOVE(ItemPipeline)

    void submit(std::function<ImageObject *()> job)
    {
        while (int(inFlight.size()) >= width)
            takeOldest();
        // The items belong to the reading thread, as if it had made them itself; the
        // helper threads end with their job.
        inFlight.push_back(std::async(std::launch::async, [job = std::move(job), to = owner] {
            ImageObject *item = job();
            item->moveToThread(to);
            return item;
        }));
    }

    void finish()
    {
        while (!inFlight.empty())
            takeOldest();
    }

private:
    void takeOldest()
    {
        sink.append(inFlight.front().get());
        inFlight.pop_front();
    }

    QList<ImageObject *> &sink;
    const int width;
    QThread *const owner;
    std::deque<std::future<ImageObject *>> inFlight;
};

// The records after the header, read or skipped one at a time. Counts the records that were
// there, so that a file cut short (or truncated while it is read) can tell how many are
// missing.
class RecordStream
{
public:
    RecordStream(QFile &file, qint64 length) : file(file), length(length) {}

    // The next record of exactly `length` bytes; an empty array when fewer are left.
    QByteArray read()
    {
        QByteArray record;
        if (length > 0 && file.size() - file.pos() >= length)
            record = file.read(length);
        if (length <= 0 || record.size() != length) {
            ended = true;
            return {};
        }
        ++present;
        return record;
    }

    bool skip()
    {
        if (file.size() - file.pos() < length || !file.seek(file.pos() + length)) {
            ended = true;
            return false;
        }
        ++present;
        return true;
    }

    // Whole records left after the current position.
    qint64 recordsLeft() const { return length > 0 ? (file.size() - file.pos()) / length : 0; }
    int recordsPresent() const { return present; }
    bool endedEarly() const { return ended; }

private:
    QFile &file;
    const qint64 length;
    int present = 0;
    bool ended = false;
};

// Warning for records the header promised that were not there; 0 when the read was stopped
// by the caller or every record came.
int missingRecords(const RecordStream &records, int promised, bool stopped)
{
    if (stopped || !records.endedEarly())
        return 0;
    return qMax(0, promised - records.recordsPresent());
}

QString missingNote(int missing, int promised)
{
    return QStringLiteral("the file ended early: %1 of %2 records are missing")
        .arg(missing).arg(promised);
}

class SlottedReader
{
public:
    SlottedReader(QFile &file, const std::atomic<bool> &keepGoing, int ledCount, int lineNumber)
        : records(file, EffectFormat::tripleRecordLength(ledCount, lineNumber)), file(file),
          keepGoing(keepGoing), ledCount(ledCount), lineNumber(lineNumber),
          recordLength(EffectFormat::tripleRecordLength(ledCount, lineNumber))
    {
    }

    Result read(QList<ImageObject *> &images, QList<MediaObject *> &medias, qint64 available)
    {
        const auto header = SlottedHeader::parse(file.read(EffectFormat::kSlottedHeaderSize));
        if (!header)
            return failure(QStringLiteral("the file is shorter than an effect header (%1 bytes)")
                               .arg(EffectFormat::kSlottedHeaderSize));
        const QString refused = budget(*header).refusal(ledCount, lineNumber, available);
        if (!refused.isEmpty())
            return failure(refused);
        Result result;
        result.ok = true;
        QStringList notes;
        const int promised = EffectFormat::kSlotCount + header->totalFrames();
        const qint64 expected = EffectFormat::kSlottedHeaderSize + recordLength * promised;
        if (file.size() != expected)
            notes << QStringLiteral("file length %1 does not fit %2 LEDs x %3 lines "
                                    "(%4 expected); read what fits")
                         .arg(file.size()).arg(ledCount).arg(lineNumber).arg(expected);
        const bool slotsComplete = readPictures(*header, images);
        qCDebug(lcEffect).noquote() << "read media image. " << EffectFormat::kClipPositions;
        if (slotsComplete)
            readClips(*header, medias);
        result.missingRecords = missingRecords(records, promised, !keepGoing);
        if (result.missingRecords > 0)
            notes << missingNote(result.missingRecords, promised);
        result.error = notes.join(QStringLiteral("; "));
        return result;
    }

private:
    // The items this file can give: as many as its header claims and its length holds.
    ReadBudget budget(const SlottedHeader &header) const
    {
        ReadBudget budget;
        qint64 left = records.recordsLeft();
        const qint64 slotRecords = qMin<qint64>(left, EffectFormat::kSlotCount);
        budget.pictures = int(qMin<qint64>(
            slotRecords, qMin(header.pictureCount, EffectFormat::kMaxReadPictures)));
        left = slotRecords < EffectFormat::kSlotCount ? 0 : left - slotRecords;
        for (int count : header.frameCounts) {
            budget.clipFrames << int(qMin<qint64>(count, left));
            left -= budget.clipFrames.last();
        }
        return budget;
    }

    // True when all 100 slots were there; a short slot area has no clips behind it.
    bool readPictures(const SlottedHeader &header, QList<ImageObject *> &images)
    {
        ItemPipeline pipeline(images);
        for (int slot = 1; slot <= EffectFormat::kSlotCount; ++slot) {
            if (!keepGoing)
                return false;
            const bool wanted = slot <= header.pictureCount
                                && slot <= EffectFormat::kMaxReadPictures;
            if (!wanted) {
                if (!records.skip())
                    return false;
                continue;
            }
            const QByteArray record = records.read();
            if (record.isEmpty())
                return false;
            const ItemFields shape{slot, header.timeBytes[slot - 1] * kSlottedTimeUnit,
                                ImageObject::KindReadPicture};
            pipeline.submit(slottedJob(shape, record));
        }
        return true;
    }

    void readClips(const SlottedHeader &header, QList<MediaObject *> &medias)
    {
        for (int j = 0; j < EffectFormat::kClipPositions; ++j) {
            auto *clip = new MediaObject(j, QString());
            clip->loopCount = header.loopCounts[j];
            const int frameCount = header.frameCounts[j];
            ItemPipeline pipeline(clip->frames);
            int k = 0;
            while (frameCount != 0 && keepGoing && k < frameCount) {
                const QByteArray record = records.read();
                if (record.isEmpty())
                    break;
                ++k;
                pipeline.submit(slottedJob({k, kReadFrameTime, ImageObject::KindReadClipFrame},
                                           record));
            }
            pipeline.finish();
            qCDebug(lcEffect).noquote() << "read media image. image count " << k;
            if (clip->frames.isEmpty() || !keepGoing)
                delete clip;
            else
                medias.append(clip);
        }
    }

    std::function<ImageObject *()> slottedJob(const ItemFields &shape, const QByteArray &record) const
    {
        return [shape, record, leds = ledCount, lines = lineNumber] {
            return makeItem(shape, LedDataCodec::codeSlottedRecord(record, leds, lines), record,
                            leds, lines);
        };
    }

    RecordStream records;
    QFile &file;
    const std::atomic<bool> &keepGoing;
    const int ledCount;
    const int lineNumber;
    const qint64 recordLength;
};

class IndexedReader
{
public:
    IndexedReader(QFile &file, const std::atomic<bool> &keepGoing, int ledCount, int lineNumber)
        : records(file, DataBitCalculation::ledDataLength(ledCount, lineNumber)), file(file),
          keepGoing(keepGoing), ledCount(ledCount), lineNumber(lineNumber),
          recordLength(DataBitCalculation::ledDataLength(ledCount, lineNumber))
    {
    }

    Result read(QList<ImageObject *> &images, QList<MediaObject *> &medias, qint64 available)
    {
        QString error;
        const auto header = IndexedHeader::parse(file.read(EffectFormat::kHeaderSize), &error);
        if (!header)
            return failure(error);
        const qint64 expected = EffectFormat::kHeaderSize + recordLength * header->recordCount;
        if (file.size() != expected)
            return failure(QStringLiteral("file length %1 does not fit %2 records of %3 LEDs x "
                                          "%4 lines (%5 bytes expected)")
                               .arg(file.size()).arg(header->recordCount).arg(ledCount)
                               .arg(lineNumber).arg(expected));
        const QString refused = budget(*header).refusal(ledCount, lineNumber, available);
        if (!refused.isEmpty())
            return failure(refused);
        Result result;
        result.ok = true;
        int pictures = 0;
        int clips = 0;
        for (const IndexedHeader::Segment &segment : header->segments) {
            if (!keepGoing || records.endedEarly())
                break;
            if (segment.isClip())
                readClip(segment, clips++, medias);
            else
                readPictures(segment, pictures, images);
        }
        qCDebug(lcEffect).noquote() << "read media image. " << clips;
        const int covered = header->segments.isEmpty() ? 0 : header->segments.last().last;
        QStringList notes;
        if (pictures > EffectFormat::kMaxReadPictures)
            notes << QStringLiteral("only the first %1 of %2 pictures were read")
                         .arg(EffectFormat::kMaxReadPictures).arg(pictures);
        if (keepGoing && covered < header->recordCount)
            notes << QStringLiteral("%1 records have no segment and were skipped")
                         .arg(header->recordCount - covered);
        result.missingRecords = missingRecords(records, covered, !keepGoing);
        if (result.missingRecords > 0)
            notes << missingNote(result.missingRecords, covered);
        result.error = notes.join(QStringLiteral("; "));
        return result;
    }

private:
    // Pictures up to the picture list's limit and every clip in full.
    static ReadBudget budget(const IndexedHeader &header)
    {
        ReadBudget budget;
        for (const IndexedHeader::Segment &segment : header.segments) {
            if (segment.isClip())
                budget.clipFrames << segment.length();
            else
                budget.pictures += segment.length();
        }
        budget.pictures = qMin(budget.pictures, EffectFormat::kMaxReadPictures);
        return budget;
    }

    std::function<ImageObject *()> indexedJob(const ItemFields &shape, const QByteArray &record) const
    {
        return [shape, record, leds = ledCount, lines = lineNumber] {
            return makeItem(shape, record, LedDataCodec::decodeToSlottedTriples(record, leds, lines),
                            leds, lines);
        };
    }

    // Records are read for preview only up to the picture list's limit; the rest is skipped.
    void readPictures(const IndexedHeader::Segment &segment, int &pictures,
                      QList<ImageObject *> &images)
    {
        const double displayTime = qint64(segment.time) * segment.repeat / 10.0;
        ItemPipeline pipeline(images);
        for (int r = 0; r < segment.length() && keepGoing; ++r) {
            ++pictures;
            if (pictures > EffectFormat::kMaxReadPictures) {
                if (!records.skip())
                    return;
                continue;
            }
            const QByteArray record = records.read();
            if (record.isEmpty())
                return;
            pipeline.submit(indexedJob({pictures, displayTime, ImageObject::KindReadPicture},
                                       record));
        }
    }

    void readClip(const IndexedHeader::Segment &segment, int index, QList<MediaObject *> &medias)
    {
        auto *clip = new MediaObject(index, QString());
        clip->loopCount = segment.repeat;
        ItemPipeline pipeline(clip->frames);
        for (int k = 1; k <= segment.length() && keepGoing; ++k) {
            const QByteArray record = records.read();
            if (record.isEmpty())
                break;
            pipeline.submit(indexedJob({k, kReadFrameTime, ImageObject::KindReadClipFrame},
                                       record));
        }
        pipeline.finish();
        qCDebug(lcEffect).noquote() << "read media image. image count " << clip->frames.size();
        if (clip->frames.isEmpty() || !keepGoing)
            delete clip;
        else
            medias.append(clip);
    }

    RecordStream records;
    QFile &file;
    const std::atomic<bool> &keepGoing;
    const int ledCount;
    const int lineNumber;
    const qint64 recordLength;
};

} // namespace

EffectReader::Result EffectReader::readInto(const QString &path,
                                            const std::atomic<bool> &keepGoing,
                                            QList<ImageObject *> &images,
                                            QList<MediaObject *> &medias)
{
    return readInto(path, keepGoing, images, medias, Hooks());
}

EffectReader::Result EffectReader::readInto(const QString &path,
                                            const std::atomic<bool> &keepGoing,
                                            QList<ImageObject *> &images,
                                            QList<MediaObject *> &medias, const Hooks &hooks)
{
    const QString refusal = InputFileCheck::refusal(path);
    if (!refusal.isEmpty())
        return failure(refusal);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    const int leds = hooks.ledCount > 0 ? hooks.ledCount : ledCount.load();
    const int lines = hooks.lineNumber > 0 ? hooks.lineNumber : lineNumber.load();
    if (leds < 1 || lines < 1)
        return failure(QStringLiteral("invalid display geometry %1 x %2").arg(leds).arg(lines));

    const QString work = workDirectory();
    const qint64 available = hooks.bytesAvailable ? hooks.bytesAvailable(work)
                                                  : ReadBudget::bytesAvailable(work);
    const QByteArray head = file.peek(EffectFormat::kHeaderSize);
    if (IndexedHeader::hasMagic(head))
        return IndexedReader(file, keepGoing, leds, lines).read(images, medias, available);
    const QString damage = IndexedHeader::damage(head);
    if (!damage.isEmpty())
        return failure(damage);
    return SlottedReader(file, keepGoing, leds, lines).read(images, medias, available);
}
