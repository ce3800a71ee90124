#pragma once

#include <QImage>
#include <QMutex>
#include <QSize>
#include <QThread>

#include <atomic>

class FrameHandOver;
class ImageObject;

// The producer of a cutting run (a video's or a GIF's frames): makes 450 x 450 squares on its
// own thread and hands them with their items to the converters, offering the newest square
// as a preview. A subclass implements produce() and calls stopAndWait() in its destructor,
// before its own members go.
class FrameProducer : public QThread
{
    Q_OBJECT
public:
    FrameProducer(FrameHandOver *handOver, const QSize &previewSize, QObject *parent = nullptr);
    ~FrameProducer() override;
    Q_DISABLE_COPY_MOVE(FrameProducer)

    // The newest preview (the square being cut); older ones were dropped. Null when none
    // is waiting.
    QImage takePreview();

signals:
    // Position of the frame just handed over, in milliseconds of the clip's source.
    void signalCurrentCutPos(qint64 pos);
    // A preview waits in takePreview(); not emitted again until it was taken.
    void previewReady();

protected:
    // Cuts frames until the source ends or the hand-over stops; ends the hand-over's cutting.
    virtual void produce() = 0;
    void run() final;

    // Stops the hand-over and waits for the thread.
    void stopAndWait();
    void offerPreview(const QImage &square);
    // Hands the item over with its square (call buffer->waitForRoom() before naming its
    // file); false when stopped, and the item was deleted.
    bool handOver(ImageObject *item, const QImage &square, qint64 posMs);

    FrameHandOver *const buffer;

private:
    const QSize previewSize;
    // Set last thing in run(): read after wait(), it orders the thread's last steps (its
    // final signal) before the destructor in a way ThreadSanitizer sees.
    std::atomic<bool> ended{false};
    QMutex previewMutex;
    QImage preview;
    bool previewPosted = false;
};
