#pragma once

#include "model/ReadImageThread.h"

#include <QThread>

class FrameHandOver;

// A converter of a cutting run: takes frames from the hand-over and converts each into LED
// data through the same conversion as pictures, until no more frames come.
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
    // Every frame was taken and converted; not emitted when stopped.
    void signalCutMediaOver(bool ok);

protected:
    void run() override;

private:
    FrameHandOver *const buffer;
    const ReadImageThread::SamplingPreview previewMode;
};
