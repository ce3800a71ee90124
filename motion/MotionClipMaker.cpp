#include "motion/MotionClipMaker.h"

#include "import/VideoClipCutter.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/MotionFrameProducer.h"
#include "motion/MotionFrameSource.h"

MotionClipMaker::MotionClipMaker(std::shared_ptr<const MotionFrameSource> source,
                                 const Options &options, QObject *parent)
    : QObject(parent), source(std::move(source)), options(options)
{
    const auto frames = this->source;
    const Options settings = options;
    cutter = std::make_unique<VideoClipCutter>(
        [frames, settings](FrameHandOver *handOver) {
            return std::make_unique<MotionFrameProducer>(frames, settings.sampling,
                                                         settings.writeFramePictures, handOver,
                                                         settings.previewSize);
        },
        options.writeFiles);
    connect(cutter.get(), &VideoClipCutter::progress, this, [this](qint64 ms) {
        emit progress(int(ms / 100) + 1, frameCount());
    });
    connect(cutter.get(), &VideoClipCutter::previewReady, this, &MotionClipMaker::previewReady);
    connect(cutter.get(), &VideoClipCutter::finished, this, [this](bool ok) {
        ended = true;
        good = ok;
        emit finished(ok);
    });
}

MotionClipMaker::~MotionClipMaker()
{
    cutter->cancel();
}

int MotionClipMaker::frameCount() const
{
    return source ? source->frameCount() : 0;
}

void MotionClipMaker::start()
{
    cutter->start();
}

void MotionClipMaker::cancel()
{
    cutter->cancel();
}

bool MotionClipMaker::runToEnd(const std::function<bool()> &interrupted)
{
    good = cutter->runToEnd(interrupted);
    ended = true;
    return good;
}

MediaObject *MotionClipMaker::takeClip(int number)
{
    if (!ended || !good)
        return nullptr;
    QList<ImageObject *> frames = cutter->takeFrames();
    // A run that lost a frame is no clip of the source: its timing would be wrong.
    if (frames.isEmpty() || frames.size() != frameCount()) {
        qDeleteAll(frames);
        return nullptr;
    }
    auto *clip = new MediaObject(number, QString());
    clip->frames = frames;
    return clip;
}

QString MotionClipMaker::errorString() const
{
    return cutter->errorString();
}
