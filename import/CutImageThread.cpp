#include "import/CutImageThread.h"

#include "app/AppGlobals.h"
#include "import/FrameHandOver.h"
#include "import/FrameSchedule.h"
#include "import/ImportLog.h"
#include "import/VideoFile.h"
#include "model/ImageObject.h"
#include "model/RoundSquare.h"

namespace {

constexpr double kFrameDisplayTime = 10.0;

} // namespace

CutImageThread::CutImageThread(const VideoCut &cut, FrameHandOver *handOver, QObject *parent)
    : FrameProducer(handOver, cut.previewSize, parent), cut(cut)
{
}

CutImageThread::~CutImageThread()
{
    qCDebug(lcImport) << "~CutImageThread";
    stopAndWait();
    qCDebug(lcImport) << "~CutImageThread over!";
}

QString CutImageThread::frameFilePath()
{
    // A counter of the whole run: names never meet those of earlier clips or dialogs.
    return workFilePath(QStringLiteral("loadMedia_%1.frame").arg(loadMediaCounter.fetch_add(1)));
}

QImage CutImageThread::readSquare(VideoFile &video) const
{
    const QRect region(cut.topLeft, QSize(RoundSquare::Side, RoundSquare::Side));
    if (!cut.shownSize.isValid() || cut.shownSize == video.frameSize()) {
        // Unzoomed: only the part under the square is converted, not the whole frame.
        QPoint origin;
        const QImage part = video.readRegion(region, &origin);
        return part.isNull() ? QImage() : RoundSquare::cutFrame(part, cut.topLeft - origin);
    }
    const QImage frame = video.read();
    if (frame.isNull())
        return {};
    return RoundSquare::cutShownFrame(frame, cut.shownSize, cut.topLeft);
}

bool CutImageThread::handOverSquare(const QImage &square, qint64 number, float frameTimeMs)
{
    if (!buffer->waitForRoom())
        return false;
    auto *item = new ImageObject(int(number), QString(), kFrameDisplayTime,
                                 ImageObject::KindVideoFrame);
    item->frameTime = frameTimeMs;
    item->sampling = cut.sampling;
    // The converter writes the file: PNG compression would make this thread the slowest.
    if (cut.writeFiles)
        item->sourcePath = frameFilePath();
    return handOver(item, square, qint64(frameTimeMs));
}

void CutImageThread::produce()
{
    VideoFile video;
    if (!video.open(cut.path)) {
        qCDebug(lcImport) << "#CutImageThread# open media file fail!" << cut.path;
        buffer->finishCutting(video.errorString());
        return;
    }
    FrameSchedule schedule(cut.startFrame, cut.endFrame, video.fps());
    // One seek to the start; from there frames are read in order, since every seek decodes
    // again from the key frame before it.
    qint64 next = 0;
    if (cut.startFrame > 0 && video.seek(cut.startFrame))
        next = cut.startFrame;
    QImage square;
    qint64 count = 0;
    for (; !schedule.atEnd() && !buffer->isStopped(); schedule.advance()) {
        const qint64 wanted = schedule.frameIndex();
        bool readable = true;
        while (readable && next < wanted && !buffer->isStopped()) {
            readable = video.skip();
            ++next;
        }
        if (!readable || buffer->isStopped())
            break;
        // Below 10 frames per second a sample may fall on the frame already cut.
        if (next == wanted || square.isNull()) {
            square = readSquare(video);
            ++next;
            if (square.isNull())
                break;
            offerPreview(square);
        }
        if (!handOverSquare(square, ++count, schedule.frameTimeMs()))
            return;
    }
    // A video that ends early ends the clip; a decoder that failed fails the run.
    buffer->finishCutting(video.failed() ? video.errorString() : QString());
}
