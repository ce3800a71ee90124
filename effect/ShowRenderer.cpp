#include "effect/ShowRenderer.h"

#include "effect/EffectRecordFile.h"
#include "effect/VideoFrameSink.h"
#include "model/RoundPreview.h"

namespace {

// How far ahead of the frame being written records are looked for.
constexpr qint64 kLookAheadFrames = 64;

QImage drawRecord(const QByteArray &record, const EffectFileInfo &info, int side)
{
    return roundPreviewImage(side, EffectRecordFile::triplesOf(record, info), info.ledCount,
                             info.lineNumber);
}

} // namespace

ShowRenderer::ShowRenderer(EffectRecordFile &records, const ShowTimeline &timeline,
                           const Options &options)
    : records(records), timeline(timeline), options(options),
      pipeline([this](Drawing done) {
          drawing.remove(done.first);
          keep(done.first, done.second);
      })
{
}

ShowRenderer::~ShowRenderer() = default;

bool ShowRenderer::isDrawingOrDrawn(int record) const
{
    return drawn.contains(record) || drawing.contains(record);
}

void ShowRenderer::keep(int record, const QImage &image)
{
    if (drawnBytes + image.sizeInBytes() > kCacheBytes) {
        drawn.clear();
        drawnBytes = 0;
    }
    drawn.insert(record, image);
    drawnBytes += image.sizeInBytes();
}

void ShowRenderer::drawAhead(qint64 until)
{
    const EffectFileInfo &info = records.info();
    const qint64 end = qMin(until, timeline.frameCount(options.fps));
    while (!pipeline.isFull() && nextAhead < end) {
        const int record = timeline.recordOfFrame(nextAhead++, options.fps);
        if (isDrawingOrDrawn(record))
            continue;
        drawing.insert(record);
        // Decoding the record is work for the helper too; the record is read here, as the
        // file belongs to this thread.
        pipeline.submit([record, bytes = records.record(record), info, side = options.side] {
            return Drawing(record, drawRecord(bytes, info, side));
        });
    }
}

QImage ShowRenderer::frameOf(int record)
{
    // Drawings are delivered in the order they were given; the frames ask for their records
    // in the same order, so this waits for little more than the record itself.
    while (drawing.contains(record))
        pipeline.deliverOldest();
    const auto found = drawn.constFind(record);
    if (found != drawn.cend())
        return *found;
    const QImage image = drawRecord(records.record(record), records.info(), options.side);
    keep(record, image);
    return image;
}

ShowRenderer::Result ShowRenderer::render(VideoFrameSink &sink, const QString &path,
                                          const std::atomic<bool> &keepGoing)
{
    Result result;
    const qint64 total = timeline.frameCount(options.fps);
    if (total < 1) {
        result.error = QStringLiteral("the show is empty: nothing to render");
        return result;
    }
    if (!sink.open(path, options.side, options.fps)) {
        result.error = sink.error();
        return result;
    }
    for (qint64 i = 0; i < total; ++i) {
        if (!keepGoing) {
            sink.discard();
            result.error = QStringLiteral("stopped after %1 of %2 frames, nothing kept")
                               .arg(i).arg(total);
            return result;
        }
        nextAhead = qMax(nextAhead, i);
        drawAhead(i + kLookAheadFrames);
        if (!sink.write(frameOf(timeline.recordOfFrame(i, options.fps)))) {
            const QString why = sink.error();
            sink.discard();
            result.error = QStringLiteral("%1 (after %2 of %3 frames); the video was removed")
                               .arg(why).arg(i).arg(total);
            return result;
        }
        result.framesWritten = i + 1;
        if (options.progress)
            options.progress(i + 1, total);
    }
    if (!sink.finish()) {
        const QString why = sink.error();
        sink.discard();
        result.error = QStringLiteral("%1; the video was removed").arg(why);
        return result;
    }
    result.ok = true;
    return result;
}
