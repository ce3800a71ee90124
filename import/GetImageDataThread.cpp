#include "import/GetImageDataThread.h"

#include "import/FrameHandOver.h"
#include "import/ImportLog.h"
#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/FrameFile.h"
#include "model/RoundSquare.h"


GetImageDataThread::GetImageDataThread(FrameHandOver *handOver,
                                       ReadImageThread::SamplingPreview preview, QObject *parent)
    : QThread(parent), buffer(handOver), previewMode(preview)
{
}

GetImageDataThread::~GetImageDataThread()
{
    qCDebug(lcImport) << "~GetImageDataThread";
    buffer->stop();
    wait();
    ended.load(std::memory_order_acquire);
    qCDebug(lcImport) << "~GetImageDataThread over!";
}

bool GetImageDataThread::saveFrameFile(const FrameHandOver::Frame &frame)
{
    const QString path = frame.item->sourcePath;
    if (path.isEmpty())
        return true;
    if (ensureWorkDirectory() && FrameFile::save(frame.picture, path)) {
        // The clip's row shows its first frame.
        if (frame.item->number == 1)
            frame.item->saveThumbnail(RoundSquare::thumbnailOf(frame.picture));
        return true;
    }
    buffer->fail(QStringLiteral("cannot save the frame picture %1").arg(path));
    return false;
}

void GetImageDataThread::run()
{
    runConversions();
    ended.store(true, std::memory_order_release);
}

void GetImageDataThread::runConversions()
{
    FrameHandOver::Frame frame;
    while (buffer->take(&frame)) {
        if (!saveFrameFile(frame)) {
            FrameHandOver::dispose(frame.item);
            break;
        }
        convertPicture(frame.picture, frame.item, buffer->stopFlag(), previewMode);
        frame.picture = QImage();
        if (buffer->isStopped()) {
            // Cut short: its LED data is incomplete. Stopped by another converter's failure,
            // this one must still report, or the run's end is never seen.
            FrameHandOver::dispose(frame.item);
            break;
        }
        buffer->addFinished(frame.item);
    }
    // A failed run still reports, so that its end is seen; a cancelled one does not.
    if (!buffer->isStopped() || !buffer->error().isEmpty())
        emit signalCutMediaOver(buffer->error().isEmpty());
}
