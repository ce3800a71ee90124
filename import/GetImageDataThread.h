#pragma once

#include "import/FrameHandOver.h"
#include "model/ReadImageThread.h"

#include <QThread>

#include <atomic>

// A converter of a cutting run: takes frames from the hand-over, writes each one's PNG (the
// item's source file, when it has one) and converts it into LED data through the same
// conversion as pictures, until no more frames come. A PNG that cannot be saved fails the run.
class GetImageDataThread : public QThread
{
    Q_OBJECT
public:
    GetImageDataThread(FrameHandOver *handOver, ReadImageThread::SamplingPreview preview,
                       QObject *parent = nullptr);
    // Stops the hand-over (a conversion under way ends early) and waits for the thread.
    ~GetImageDataThread() override;
    Q_DISABLE_COPY_MOVE(GetImageDataThread)

signals:
    // Every frame was taken and converted (ok), or the run failed; not emitted on cancel.
    void signalCutMediaOver(bool ok);

protected:
    void run() override;

private:
    void runConversions();
    bool saveFrameFile(const FrameHandOver::Frame &frame);

    FrameHandOver *const buffer;
    // Set last thing in run(): read after wait(), it orders the thread's last steps (its
    // final signal) before the destructor in a way ThreadSanitizer sees.
    std::atomic<bool> ended{false};
    const ReadImageThread::SamplingPreview previewMode;
};
