#include "motion/TransitionEnds.h"

#include "model/ImageContrast.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/PictureLoader.h"
#include "model/RoundSquare.h"

namespace {

Outcome ofFrame(const ImageObject *frame, QImage *square)
{
    if (!frame)
        return Outcome::failure(QStringLiteral("the clip has no frames"));
    return TransitionEnds::ofItem(*frame, square);
}

} // namespace

QImage TransitionEnds::ofPicture(const QImage &picture, SamplingMode sampling)
{
    return RoundSquare::sampledSquare(picture, sampling);
}

Outcome TransitionEnds::ofItem(const ImageObject &item, QImage *square)
{
    return ofSource(item.sourcePath, item.contrastFactor, item.sampling, square);
}

Outcome TransitionEnds::ofSource(const QString &sourcePath, float contrastFactor,
                                 SamplingMode sampling, QImage *square)
{
    if (sourcePath.isEmpty())
        return Outcome::failure(
            QStringLiteral("the item keeps no picture to make a transition from"));
    QString why;
    const QImage picture = PictureLoader::load(sourcePath, &why);
    if (picture.isNull())
        return Outcome::failure(QStringLiteral("%1: %2").arg(sourcePath, why));
    // As the item was converted: its contrast applied to the picture before the square.
    *square = ofPicture(contrastFactor == 1.0f ? picture
                                               : ImageContrast::scaled(picture, contrastFactor),
                        sampling);
    return Outcome::success();
}

Outcome TransitionEnds::firstOf(const MediaObject &clip, QImage *square)
{
    return ofFrame(clip.frames.value(0), square);
}

Outcome TransitionEnds::lastOf(const MediaObject &clip, QImage *square)
{
    return ofFrame(clip.frames.isEmpty() ? nullptr : clip.frames.last(), square);
}
