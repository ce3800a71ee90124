#include "import/VideoClipCutter.h"

#include "import/CutImageThread.h"
#include "import/FrameHandOver.h"
#include "import/GetImageDataThread.h"
#include "model/ImageObject.h"

VideoClipCutter::VideoClipCutter(const VideoCut &cut, QObject *parent)
    : VideoClipCutter(
          [cut](FrameHandOver *handOver) {
              return std::make_unique<CutImageThread>(cut, handOver);
          },
          cut.writeFiles, parent)
{
}

VideoClipCutter::VideoClipCutter(ProducerFactory makeProducer, bool writeFiles, QObject *parent)
    : QObject(parent), makeProducer(std::move(makeProducer)), writeFiles(writeFiles),
      buffer(std::make_unique<FrameHandOver>())
{
}

VideoClipCutter::~VideoClipCutter()
{
    cancel();
}

void VideoClipCutter::start()
{
    if (started)
        return;
    started = true;
    cutter = makeProducer(buffer.get());
    connect(cutter.get(), &FrameProducer::signalCurrentCutPos, this, &VideoClipCutter::progress);
    connect(cutter.get(), &FrameProducer::previewReady, this, &VideoClipCutter::previewReady);
    const auto preview = writeFiles ? ReadImageThread::SamplingPreview::Write
                                    : ReadImageThread::SamplingPreview::Skip;
    for (auto &converter : converters) {
        converter = std::make_unique<GetImageDataThread>(buffer.get(), preview);
        connect(converter.get(), &GetImageDataThread::signalCutMediaOver, this,
                &VideoClipCutter::converterDone);
    }
    cutter->start();
    for (auto &converter : converters)
        converter->start();
}

void VideoClipCutter::cancel()
{
    if (!started || over)
        return;
    over = true;
    buffer->stop();
    joinThreads();
    // Deletes what was made, waiting or converted, with its files.
    buffer = std::make_unique<FrameHandOver>();
}

bool VideoClipCutter::runToEnd(const std::function<bool()> &interrupted)
{
    start();
    while (!cutter->wait(100)) {
        if (interrupted && interrupted()) {
            cancel();
            error = QStringLiteral("interrupted");
            return false;
        }
    }
    for (auto &converter : converters)
        converter->wait();
    conclude();
    return error.isEmpty();
}

void VideoClipCutter::converterDone()
{
    if (over || ++convertersDone < ConverterCount)
        return;
    conclude();
    emit finished(error.isEmpty());
}

void VideoClipCutter::conclude()
{
    if (over)
        return;
    over = true;
    joinThreads();
    error = buffer->error();
    if (error.isEmpty() && buffer->finishedCount() == 0) {
        noFrame = true;
        error = QStringLiteral("no frame could be read from the chosen stretch");
    }
    if (!error.isEmpty())
        buffer = std::make_unique<FrameHandOver>();
}

void VideoClipCutter::joinThreads()
{
    for (auto &converter : converters)
        converter.reset();
    cutter.reset();
}

QList<ImageObject *> VideoClipCutter::takeFrames()
{
    return buffer->takeFinished();
}

QImage VideoClipCutter::takePreview()
{
    return cutter ? cutter->takePreview() : QImage();
}

int VideoClipCutter::mostWaiting() const
{
    return buffer->mostWaiting();
}
