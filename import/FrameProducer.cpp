#include "import/FrameProducer.h"

#include "import/FrameHandOver.h"

#include <exception>
#include <new>

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
    // An exception leaving the thread would end the program: a decoder that could not
    // allocate fails the run instead.
    try {
        produce();
    } catch (const std::bad_alloc &) {
        buffer->finishCutting(QStringLiteral("the frames could not be made (out of memory)"));
    } catch (const std::exception &e) {
        const QString why = QString::fromLocal8Bit(e.what());
        buffer->finishCutting(QStringLiteral("the frames could not be made (%1)").arg(why));
    }
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
