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
    GifTimeline timeline(cut.keepSpeed);
    QImage frame;
    int delayMs = 0;
    bool tooLong = false;
    bool handedOver = true;
    while (handedOver && !tooLong && !buffer->isStopped() && reader.next(&frame, &delayMs)) {
        const qint64 startMs = timeline.position();
        const int copies = timeline.copiesOf(delayMs);
        qCDebug(lcImport) << "#GifCutThread# frame" << reader.framesRead() - 1 << "delay"
                          << delayMs << "copies" << copies;
        if (copies == 0)
            continue;
        const QImage square = RoundSquare::cutShownFrame(frame, cut.shownSize, cut.topLeft);
        offerPreview(square);
        for (int i = 0; i < copies && handedOver; ++i) {
            // Only a frame that would not fit makes the clip too long.
            tooLong = made >= cut.maxFrames;
            if (tooLong)
                break;
            handedOver = handOverSquare(square, startMs);
        }
    }
    // Written on every way out: a run stopped by a failed save reports what it had read.
    end->framesRead = reader.framesRead();
    end->framesMade = made;
    end->damaged = reader.isDamaged();
    end->tooLong = tooLong;
    if (!handedOver)
        return;
    buffer->finishCutting(reader.framesRead() == 0
                              ? QStringLiteral("no readable GIF frames (%1)")
                                    .arg(reader.errorString())
                              : QString());
}
