#pragma once

#include "import/VideoCut.h"

#include <QImage>
#include <QMutex>
#include <QThread>

#include <atomic>

class FrameHandOver;
class ImageObject;
class VideoFile;

// The producer of a cutting run: opens its own capture on the video, seeks once to the
// start frame, then reads in order and keeps one frame per 100 ms of video, cut onto the
// 450 x 450 square and handed to the converters with the name of its frame file. Ends the
// hand-over's cutting when the stretch is over or the video ends early.
class CutImageThread : public QThread
{
    Q_OBJECT
public:
    CutImageThread(const VideoCut &cut, FrameHandOver *handOver, QObject *parent = nullptr);
    // Stops the hand-over and waits for the thread.
    ~CutImageThread() override;
    Q_DISABLE_COPY_MOVE(CutImageThread)

    // The newest preview (the square being cut); older ones were dropped. Null when none
    // is waiting.
    QImage takePreview();

signals:
    // Video time of the frame just handed over, in milliseconds.
    void signalCurrentCutPos(qint64 pos);
    // A preview waits in takePreview(); not emitted again until it was taken.
    void previewReady();

protected:
    void run() override;

private:
    void cutFrames();
    QImage readSquare(VideoFile &video) const;
    bool handOver(const QImage &square, qint64 number, float frameTimeMs);
    void offerPreview(const QImage &square);
    static QString frameFilePath();

    const VideoCut cut;
    FrameHandOver *const buffer;
    // Set last thing in run(): read after wait(), it orders the thread's last steps (its
    // final signal) before the destructor in a way ThreadSanitizer sees.
    std::atomic<bool> ended{false};
    QMutex previewMutex;
    QImage preview;
    bool previewPosted = false;
};
