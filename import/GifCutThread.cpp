#include "import/GifCutThread.h"

#include "app/AppGlobals.h"
#include "import/FrameHandOver.h"
#include "import/GifFrameReader.h"
#include "import/GifTimeline.h"
#include "import/ImportLog.h"
#include "model/ImageObject.h"
#include "model/RoundSquare.h"

namespace {

constexpr double kFrameDisplayTime = 10.0;

} // namespace

GifCutThread::GifCutThread(const GifCut &cut, GifCutEnd *end, FrameHandOver *handOver,
                           QObject *parent)
    : FrameProducer(handOver, cut.previewSize, parent), cut(cut), end(end)
{
}

GifCutThread::~GifCutThread()
{
    stopAndWait();
}

VideoClipCutter::ProducerFactory GifCutThread::factory(const GifCut &cut, GifCutEnd *end)
{
    return [cut, end](FrameHandOver *handOver) {
        return std::make_unique<GifCutThread>(cut, end, handOver);
    };
}

QString GifCutThread::frameFilePath()
{
    // One counter for every GIF import of the run: a second import never overwrites a first.
    return workFilePath(QStringLiteral("loadGif_%1.frame").arg(loadGifCounter.fetch_add(1)));
}

bool GifCutThread::handOverSquare(const QImage &square, qint64 posMs)
{
    if (!buffer->waitForRoom())
        return false;
    auto *item = new ImageObject(++made, QString(), kFrameDisplayTime, ImageObject::KindGifFrame);
    item->frameTime = float(posMs);
    item->sampling = cut.sampling;
    if (cut.writeFiles)
        item->sourcePath = frameFilePath();
    return handOver(item, square, posMs);
}

void GifCutThread::produce()
{
    GifFrameReader reader(cut.path);
    // What each GIF frame gives the clip follows from the delays alone, so the frames that
    // give nothing, and those after a full clip, are known before anything is decoded.
    GifTimeline timeline(cut.keepSpeed);
    QList<int> copies;
    QList<qint64> startsMs;
    QList<bool> wanted;
    int planned = 0;
    bool tooLong = false;
    const QList<int> delays = reader.delays();
    for (int i = 0; i < delays.size() && !tooLong; ++i) {
        startsMs.append(timeline.position());
        const int given = timeline.copiesOf(delays[i]);
        // Only a frame that would not fit makes the clip too long.
        const int kept = qMin(given, cut.maxFrames - planned);
        tooLong = kept < given;
        copies.append(kept);
        wanted.append(kept > 0);
        planned += kept;
    }
    if (const Outcome plan = reader.keepOnly(wanted); !plan) {
        end->framesRead = 0;
        end->framesMade = 0;
        buffer->finishCutting(plan.error());
        return;
    }
    QImage frame;
    int delayMs = 0;
    bool handedOver = true;
    while (handedOver && !buffer->isStopped() && reader.next(&frame, &delayMs)) {
        const int index = reader.index();
        qCDebug(lcImport) << "#GifCutThread# frame" << index << "delay" << delayMs << "copies"
                          << copies[index];
        const QImage square = RoundSquare::cutShownFrame(frame, cut.shownSize, cut.topLeft);
        offerPreview(square);
        for (int i = 0; i < copies[index] && handedOver; ++i)
            handedOver = handOverSquare(square, startsMs[index]);
    }
    // Written on every way out: a run stopped by a failed save reports what it had read.
    end->framesRead = reader.framesRead();
    end->framesMade = made;
    end->damaged = reader.isDamaged();
    end->tooLong = tooLong && !reader.isDamaged();
    if (!handedOver)
        return;
    buffer->finishCutting(reader.framesRead() == 0
                              ? QStringLiteral("no readable GIF frames (%1)")
                                    .arg(reader.errorString())
                              : QString());
}
