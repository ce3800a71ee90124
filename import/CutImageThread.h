#pragma once

#include "import/FrameProducer.h"
#include "import/VideoCut.h"

#include <QImage>

class FrameHandOver;
class VideoFile;

// The producer of a video's cutting run: opens its own capture on the video, seeks once to
// the start frame, then reads in order and keeps one frame per 100 ms of video, cut onto the
// 450 x 450 square and handed to the converters with the name of its frame file. Ends the
// hand-over's cutting when the stretch is over or the video ends early.
class CutImageThread : public FrameProducer
{
    Q_OBJECT
public:
    CutImageThread(const VideoCut &cut, FrameHandOver *handOver, QObject *parent = nullptr);
    // Stops the hand-over and waits for the thread.
    ~CutImageThread() override;
    Q_DISABLE_COPY_MOVE(CutImageThread)

protected:
    void produce() override;

private:
    QImage readSquare(VideoFile &video) const;
    bool handOverSquare(const QImage &square, qint64 number, float frameTimeMs);
    static QString frameFilePath();

    const VideoCut cut;
};
