#include "import/CutImageThread.h"

#include "app/AppGlobals.h"
#include "import/FrameHandOver.h"
#include "import/FrameSchedule.h"
#include "import/ImportLog.h"
#include "import/VideoFile.h"
#include "model/ImageObject.h"
#include "model/RoundSquare.h"

#include <QFile>

namespace {

constexpr double kFrameDisplayTime = 10.0;
constexpr int kFramePngQuality = 80;  // zlib level 1: the file is read back once

} // namespace

CutImageThread::CutImageThread(const VideoCut &cut, FrameHandOver *handOver, QObject *parent)
    : QThread(parent), cut(cut), buffer(handOver)
{
}

CutImageThread::~CutImageThread()
{
    qCDebug(lcImport) << "~CutImageThread";
    buffer->stop();
    wait();
    qCDebug(lcImport) << "~CutImageThread over!";
}

QImage CutImageThread::takePreview()
{
    QMutexLocker lock(&previewMutex);
    previewPosted = false;
    return std::exchange(preview, QImage());
}

void CutImageThread::offerPreview(const QImage &shown)
{
    if (cut.previewSize.isEmpty())
        return;
    const QImage small = shown.scaled(cut.previewSize, Qt::IgnoreAspectRatio,
                                      Qt::FastTransformation);
    QMutexLocker lock(&previewMutex);
    preview = small;
    if (previewPosted)
        return;
    previewPosted = true;
    lock.unlock();
    emit previewReady();
}

QString CutImageThread::frameFilePath()
{
    // A counter of the whole run: names never meet those of earlier clips or dialogs.
    return workFilePath(QStringLiteral("loadMedia_%1.png").arg(loadMediaCounter.fetch_add(1)));
}

bool CutImageThread::handOver(const QImage &shown, qint64 number, float frameTimeMs)
{
    if (!buffer->waitForRoom())
        return false;
    const QImage square = RoundSquare::cutFrame(shown, cut.topLeft);
    auto *item = new ImageObject(int(number), QString(), kFrameDisplayTime,
                                 ImageObject::KindVideoFrame);
    item->frameTime = frameTimeMs;
    if (cut.writeFiles) {
        const QString path = frameFilePath();
        if (!ensureWorkDirectory() || !square.save(path, "PNG", kFramePngQuality)) {
            QFile::remove(path);
            delete item;
            buffer->finishCutting(QStringLiteral("cannot save the frame picture %1").arg(path));
            return false;
        }
        item->sourcePath = path;
    }
    if (!buffer->put(item, square)) {
        FrameHandOver::dispose(item);
        return false;
    }
    emit signalCurrentCutPos(qint64(frameTimeMs));
    return true;
}

void CutImageThread::run()
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
    QImage shown;
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
        // Below 10 frames per second a sample may fall on the frame already shown.
        if (next == wanted || shown.isNull()) {
            const QImage frame = video.read();
            ++next;
            if (frame.isNull())
                break;
            shown = cut.shownSize.isValid() && cut.shownSize != frame.size()
                        ? frame.scaled(cut.shownSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                        : frame;
            offerPreview(shown);
        }
        if (!handOver(shown, ++count, schedule.frameTimeMs()))
            return;
    }
    buffer->finishCutting();
}
