#include "motion/MotionFrameProducer.h"

#include "app/AppGlobals.h"
#include "import/FrameHandOver.h"
#include "model/ImageObject.h"
#include "motion/MotionFrameSource.h"

#include <atomic>

namespace {

// Frames are items like a video's: 10 s until the clip's timing says otherwise.
constexpr double kFrameDisplayTime = 10.0;
constexpr qint64 kFrameMs = 100;

// One counter for the whole run of the program: a second clip never overwrites a first's
// frame files.
std::atomic<int> frameFileCounter{1};

} // namespace

MotionFrameProducer::MotionFrameProducer(std::shared_ptr<const MotionFrameSource> source,
                                         SamplingMode sampling, bool framePictures,
                                         FrameHandOver *handOver, const QSize &previewSize,
                                         QObject *parent)
    : FrameProducer(handOver, previewSize, parent), source(std::move(source)),
      sampling(sampling), framePictures(framePictures)
{
}

MotionFrameProducer::~MotionFrameProducer()
{
    stopAndWait();
}

void MotionFrameProducer::produce()
{
    const int count = source ? source->frameCount() : 0;
    for (int i = 0; i < count; ++i) {
        if (buffer->isStopped())
            return;
        const QImage square = source->frame(i);
        if (square.isNull()) {
            buffer->finishCutting(QStringLiteral("frame %1 could not be drawn").arg(i + 1));
            return;
        }
        offerPreview(square);
        if (!buffer->waitForRoom())
            return;
        auto *item = new ImageObject(i + 1, QString(), kFrameDisplayTime,
                                     ImageObject::KindVideoFrame);
        item->frameTime = float(i * kFrameMs);
        item->sampling = sampling;
        if (framePictures)
            item->sourcePath = workFilePath(
                QStringLiteral("motion_%1.png").arg(frameFileCounter.fetch_add(1)));
        if (!handOver(item, square, i * kFrameMs))
            return;
    }
    buffer->finishCutting(count > 0 ? QString() : QStringLiteral("the clip has no frames"));
}
