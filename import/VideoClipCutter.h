#pragma once

#include "import/VideoCut.h"

#include <QImage>
#include <QList>
#include <QObject>

#include <array>
#include <functional>
#include <memory>

class FrameHandOver;
class FrameProducer;
class GetImageDataThread;
class ImageObject;

// One cutting run: a producer (a video's CutImageThread, or another source's) and three
// GetImageDataThreads over one hand-over. Counts the converters' reports and announces the
// end once.
class VideoClipCutter : public QObject
{
    Q_OBJECT
public:
    static constexpr int ConverterCount = 3;

    using ProducerFactory = std::function<std::unique_ptr<FrameProducer>(FrameHandOver *)>;

    explicit VideoClipCutter(const VideoCut &cut, QObject *parent = nullptr);
    // A run whose frames come from the producer that makeProducer creates on start();
    // writeFiles as in VideoCut.
    VideoClipCutter(ProducerFactory makeProducer, bool writeFiles, QObject *parent = nullptr);
    // Cancels a run still under way.
    ~VideoClipCutter() override;
    Q_DISABLE_COPY_MOVE(VideoClipCutter)

    void start();
    // Stops every thread and waits for them; the frames made so far are deleted with their
    // files. No finished() follows.
    void cancel();
    // Runs to the end on the calling thread; interrupted() is asked while waiting.
    bool runToEnd(const std::function<bool()> &interrupted = {});

    bool isRunning() const { return started && !over; }
    // Why the run failed: a frame file not saved, an unreadable video, no frame in the
    // stretch. Empty after a good run.
    QString errorString() const { return error; }
    // The run failed only because the stretch gave no readable frame.
    bool madeNoFrame() const { return noFrame; }
    // The converted frames in video order; the caller owns them.
    QList<ImageObject *> takeFrames();
    QImage takePreview();
    // Most frames that waited for a converter at once.
    int mostWaiting() const;

signals:
    void progress(qint64 ms);
    void previewReady();
    void finished(bool ok);

private:
    void converterDone();
    void conclude();
    void joinThreads();

    const ProducerFactory makeProducer;
    const bool writeFiles;
    std::unique_ptr<FrameHandOver> buffer;
    std::unique_ptr<FrameProducer> cutter;
    std::array<std::unique_ptr<GetImageDataThread>, ConverterCount> converters;
    int convertersDone = 0;
    bool started = false;
    bool over = false;
    bool noFrame = false;
    QString error;
};
