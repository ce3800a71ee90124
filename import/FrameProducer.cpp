#include "import/FrameProducer.h"

#include "import/FrameHandOver.h"

FrameProducer::FrameProducer(FrameHandOver *handOver, const QSize &previewSize, QObject *parent)
    : QThread(parent), buffer(handOver), previewSize(previewSize)
{
}

FrameProducer::~FrameProducer()
{
    stopAndWait();
}

void FrameProducer::stopAndWait()
{
    buffer->stop();
    wait();
    ended.load(std::memory_order_acquire);
}

void FrameProducer::run()
{
    produce();
    ended.store(true, std::memory_order_release);
}

QImage FrameProducer::takePreview()
{
    QMutexLocker lock(&previewMutex);
    previewPosted = false;
    return std::exchange(preview, QImage());
}

void FrameProducer::offerPreview(const QImage &square)
{
    if (previewSize.isEmpty())
        return;
    const QImage small = square.scaled(previewSize, Qt::KeepAspectRatio, Qt::FastTransformation);
    QMutexLocker lock(&previewMutex);
    preview = small;
    if (previewPosted)
        return;
    previewPosted = true;
    lock.unlock();
    emit previewReady();
}

bool FrameProducer::handOver(ImageObject *item, const QImage &square, qint64 posMs)
{
    if (!buffer->put(item, square)) {
        FrameHandOver::dispose(item);
        return false;
    }
    emit signalCurrentCutPos(posMs);
    return true;
}
