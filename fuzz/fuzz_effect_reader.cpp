// The effect reader driven from memory: header parsing of both layouts, telling them apart,
// the section loop and the record codec, with a sink that checks what the reader promises
// (records of exactly the geometry's length, at most 50 pictures, clips no longer than the
// writer accepts, frames only inside a clip).
//
// Input: byte 0 picks the LED count (1..8), byte 1 the line number (1..16), the rest is the
// file. Small geometries keep whole files within reach of the fuzzer.
#include "app/AppGlobals.h"
#include "effect/EffectFormat.h"
#include "effect/EffectReader.h"
#include "effect/EffectRecordSink.h"
#include "effect/IndexedHeader.h"
#include "effect/LedDataCodec.h"
#include "effect/SlottedHeader.h"
#include "model/DataBitCalculation.h"

#include <QBuffer>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

class CheckingSink final : public EffectRecordSink
{
public:
    CheckingSink(int leds, int lines) : leds(leds), lines(lines) {}

    void picture(const EffectRecord &record) override
    {
        require(!inClip);
        ++pictures;
        require(pictures <= EffectFormat::kMaxReadPictures);
        require(record.number >= 1 && record.displayTime >= 0.0);
        check(record);
    }
    void clipStarted(int number, int loopCount) override
    {
        require(!inClip && number >= 0 && loopCount >= 0);
        inClip = true;
        frames = 0;
    }
    void clipFrame(const EffectRecord &record) override
    {
        require(inClip);
        ++frames;
        ++allFrames;
        require(record.number == frames);
        require(frames <= EffectFormat::kMaxClipFrames);
        require(allFrames <= EffectFormat::kMaxReadClipFrames);
        check(record);
    }
    void clipEnded(bool keep) override
    {
        require(inClip);
        require(!keep || frames > 0);
        inClip = false;
    }
    bool clipOpen() const { return inClip; }

private:
    // Both conversions the item maker makes, on every record.
    void check(const EffectRecord &record) const
    {
        if (record.form == EffectRecord::Form::ColourTriples) {
            require(record.bytes.size() == EffectFormat::tripleRecordLength(leds, lines));
            const QByteArray coded = LedDataCodec::codeSlottedRecord(record.bytes, leds, lines);
            require(coded.size() == DataBitCalculation::ledDataLength(leds, lines));
        } else {
            require(record.bytes.size() == DataBitCalculation::ledDataLength(leds, lines));
            const QByteArray triples =
                LedDataCodec::decodeToSlottedTriples(record.bytes, leds, lines);
            require(triples.size() == EffectFormat::tripleRecordLength(leds, lines));
        }
    }

    const int leds;
    const int lines;
    int pictures = 0;
    int frames = 0;
    int allFrames = 0;
    bool inClip = false;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The reader's trace lines would cost more than the reading.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    initAppGlobals(QStringLiteral("/nonexistent-fuzz-dir"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int leds = 1 + data[0] % 8;
    const int lines = 1 + data[1] % 16;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 2),
                                                     qsizetype(size - 2));

    QString error;
    if (const auto header = IndexedHeader::parse(bytes, &error)) {
        // A table that parses goes back to the same bytes.
        const auto again = IndexedHeader::parse(header->toBytes(), &error);
        require(again && again->languageByte == header->languageByte
                && again->recordCount == header->recordCount
                && again->segments == header->segments);
    }
    if (const auto header = SlottedHeader::parse(bytes))
        require(header->totalFrames() >= 0);

    QByteArray file = bytes;
    QBuffer buffer(&file);
    require(buffer.open(QIODevice::ReadOnly));
    const std::atomic<bool> keepGoing{true};
    CheckingSink sink(leds, lines);
    EffectReader::Hooks hooks;
    hooks.ledCount = leds;
    hooks.lineNumber = lines;
    hooks.bytesAvailable = [](const QString &) { return qint64(-1); };
    const EffectReader::Report report = EffectReader::read(buffer, keepGoing, sink, hooks);
    require(!sink.clipOpen());
    require(report.missingRecords >= 0);
    require(report.outcome.ok() || !report.outcome.error().isEmpty());
    return 0;
}
