#pragma once

#include "import/FrameProducer.h"
#include "model/SamplingMode.h"

#include <memory>

class FrameHandOver;
class MotionFrameSource;

// The producer of a cutting run whose frames are drawn rather than decoded (text clips,
// transitions): hands frame 0, 1, ... of its source to the converters as items numbered
// 1, 2, ..., each shown 100 ms after the one before, with a "motion_<n>.png" frame file when
// asked for (framePictures). The converters treat them exactly as video and GIF frames.
class MotionFrameProducer : public FrameProducer
{
    Q_OBJECT
public:
    MotionFrameProducer(std::shared_ptr<const MotionFrameSource> source, SamplingMode sampling,
                        bool framePictures, FrameHandOver *handOver, const QSize &previewSize,
                        QObject *parent = nullptr);
    // Stops the hand-over and waits for the thread.
    ~MotionFrameProducer() override;
    Q_DISABLE_COPY_MOVE(MotionFrameProducer)

protected:
    void produce() override;

private:
    const std::shared_ptr<const MotionFrameSource> source;
    const SamplingMode sampling;
    const bool framePictures;
};
