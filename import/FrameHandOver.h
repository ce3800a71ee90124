#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>

class ImageObject;

// The hand-over between the frame cutter and its converters, and the list of converted
// frames. The cutter waits while MaxWaiting frames wait; converters wait while none does.
// Waits end on a condition, never on a timer. Owns every item in it: what is left when it
// goes (a cancelled run) is deleted with the item's frame file.
class FrameHandOver
{
public:
    static constexpr int MaxWaiting = 2;

    struct Frame
    {
        ImageObject *item = nullptr;
        QImage picture;
    };

    FrameHandOver() = default;
    ~FrameHandOver();
    Q_DISABLE_COPY_MOVE(FrameHandOver)

    // Cutter: waits until fewer than MaxWaiting frames wait (so a frame's file is written
    // only when it can be handed over); false when stopped.
    bool waitForRoom();
    // Cutter: waits for room, then takes the frame. False when stopped: the frame was not
    // taken and stays the caller's.
    bool put(ImageObject *item, const QImage &picture);
    // Cutter: no more frames come. A non-empty error ends the run as failed.
    void finishCutting(const QString &error = QString());

    // Converter: waits for a frame; false when none will come (cutting finished and
    // nothing waits, or stopped).
    bool take(Frame *frame);
    // Converter: a converted frame; owned here until takeFinished().
    void addFinished(ImageObject *item);

    // Ends every wait now; later puts are refused, takes return false.
    void stop();
    // Stops the run as failed (a frame file could not be saved); the first error is kept.
    void fail(const QString &error);
    bool isStopped() const { return stopped.load(); }
    // Set by stop(): a conversion under way watches it.
    const std::atomic<bool> *stopFlag() const { return &stopped; }

    int waitingCount() const;
    int finishedCount() const;
    // The largest number of frames that waited at once (the cutter's back-pressure).
    int mostWaiting() const;
    QString error() const;

    // The converted frames in video order (by number), ownership to the caller.
    QList<ImageObject *> takeFinished();

    // Deletes an item and its frame file.
    static void dispose(ImageObject *item);

private:
    mutable std::mutex mutex;
    std::condition_variable roomOrStop;
    std::condition_variable frameOrEnd;
    QList<Frame> waiting;
    QList<ImageObject *> finished;
    QString failure;
    int peak = 0;
    bool cuttingOver = false;
    std::atomic<bool> stopped{false};
};
