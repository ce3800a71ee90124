#include "effect/ShowRenderer.h"

#include "effect/EffectRecordFile.h"
#include "effect/VideoFrameSink.h"
#include "model/RoundPreview.h"

#include <QThread>

#include <algorithm>

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
      helpers(qMax(1, QThread::idealThreadCount()))
{
}

ShowRenderer::~ShowRenderer()
{
    // The helpers draw from copies; only their results are waited for.
    for (Drawing &drawing : inFlight)
        drawing.image.wait();
}

bool ShowRenderer::isDrawingOrDrawn(int record) const
{
    if (drawn.contains(record))
        return true;
    return std::any_of(inFlight.cbegin(), inFlight.cend(),
                       [record](const Drawing &drawing) { return drawing.record == record; });
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
    while (int(inFlight.size()) < helpers && nextAhead < end) {
        const int record = timeline.recordOfFrame(nextAhead++, options.fps);
        if (isDrawingOrDrawn(record))
            continue;
        // Decoding the record is work for the helper too.
        inFlight.push_back({record, std::async(std::launch::async, &drawRecord,
                                               records.record(record), info, options.side)});
    }
}

QImage ShowRenderer::frameOf(int record)
{
    const auto found = drawn.constFind(record);
    if (found != drawn.cend())
        return *found;
    const auto drawing = std::find_if(inFlight.begin(), inFlight.end(),
                                      [record](const Drawing &d) { return d.record == record; });
    QImage image;
    if (drawing != inFlight.end()) {
        image = drawing->image.get();
        inFlight.erase(drawing);
    } else {
        image = drawRecord(records.record(record), records.info(), options.side);
    }
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
