#include "import/GetImageDataThread.h"

#include "import/FrameHandOver.h"
#include "import/ImportLog.h"
#include "model/ImageObject.h"

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
    qCDebug(lcImport) << "~GetImageDataThread over!";
}

void GetImageDataThread::run()
{
    FrameHandOver::Frame frame;
    while (buffer->take(&frame)) {
        convertPicture(frame.picture, frame.item, buffer->stopFlag(), previewMode);
        frame.picture = QImage();
        if (buffer->isStopped()) {
            // Cut short: its LED data is incomplete.
            FrameHandOver::dispose(frame.item);
            return;
        }
        buffer->addFinished(frame.item);
    }
    if (!buffer->isStopped())
        emit signalCutMediaOver(true);
}
