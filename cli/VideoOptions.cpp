#include "cli/VideoOptions.h"

#include "cli/InterruptGuard.h"
#include "effect/EffectFormat.h"
#include "import/CutRegion.h"
#include "import/FrameSchedule.h"
#include "import/VideoClipCutter.h"
#include "import/VideoFile.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QCommandLineParser>

#include <cmath>

VideoOptions::VideoOptions()
    : start(QStringLiteral("start"), QStringLiteral("video start"), QStringLiteral("SECONDS")),
      length(QStringLiteral("length"), QStringLiteral("video length"), QStringLiteral("SECONDS")),
      zoom(QStringLiteral("zoom"), QStringLiteral("zoom steps"), QStringLiteral("STEPS")),
      at(QStringLiteral("at"), QStringLiteral("square top-left"), QStringLiteral("X,Y"))
{
}

void VideoOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({start, length, zoom, at});
}

bool VideoOptions::read(const QCommandLineParser &parser, QString *error)
{
    bool ok = true;
    if (parser.isSet(start)) {
        startSeconds = parser.value(start).toDouble(&ok);
        if (!ok || !std::isfinite(startSeconds) || startSeconds < 0.0) {
            *error = QStringLiteral("--start must be a number of seconds from 0");
            return false;
        }
    }
    if (parser.isSet(length)) {
        lengthSeconds = parser.value(length).toDouble(&ok);
        if (!ok || !std::isfinite(lengthSeconds) || lengthSeconds < 0.0) {
            *error = QStringLiteral("--length must be a number of seconds from 0");
            return false;
        }
    }
    if (parser.isSet(zoom)) {
        zoomSteps = parser.value(zoom).toInt(&ok);
        if (!ok || zoomSteps > CutRegion::MaxZoomIn || zoomSteps < -9) {
            *error = QStringLiteral("--zoom must be a whole number of steps from -9 to %1")
                         .arg(CutRegion::MaxZoomIn);
            return false;
        }
    }
    if (parser.isSet(at)) {
        const QStringList xy = parser.value(at).split(QLatin1Char(','));
        bool okY = false;
        if (xy.size() == 2)
            topLeft = QPoint(xy[0].trimmed().toInt(&ok), xy[1].trimmed().toInt(&okY));
        if (xy.size() != 2 || !ok || !okY) {
            *error = QStringLiteral("--at must be X,Y in whole pixels");
            return false;
        }
        atGiven = true;
    }
    return true;
}

MediaObject *VideoOptions::cutClip(const QString &path, int number, int loops,
                                   QString *error, QString *notice) const
{
    VideoFile video;
    if (!video.open(path)) {
        *error = QStringLiteral("%1: %2").arg(path, video.errorString());
        return nullptr;
    }
    // The container's length is a claim: the options are held against what can be read.
    if (!video.probeLength([] { return InterruptGuard::signalNumber() != 0; })) {
        const QString why = InterruptGuard::signalNumber() != 0 ? QStringLiteral("interrupted")
                                                                : video.errorString();
        *error = QStringLiteral("%1: %2").arg(path, why);
        return nullptr;
    }
    if (video.claimsMore() && notice)
        *notice = QStringLiteral("%1: the file claims %2 s, but only its first %3 s can be read")
                      .arg(path)
                      .arg(double(video.claimedFrameCount()) / video.fps(), 0, 'f', 1)
                      .arg(double(video.frameCount()) / video.fps(), 0, 'f', 1);
    const qint64 last = video.frameCount() - 1;
    VideoCut cut;
    cut.path = path;
    cut.writeFiles = false;
    cut.sampling = sampling;
    cut.startFrame = FrameSchedule::frameOfSeconds(startSeconds, video.fps());
    if (cut.startFrame > last) {
        *error = QStringLiteral("%1: --start is past the end of the video (%2 s)")
                     .arg(path)
                     .arg(double(video.frameCount()) / video.fps());
        return nullptr;
    }
    // A length past the end cuts to the end (both terms stay far from overflow).
    cut.endFrame = lengthSeconds < 0.0
                       ? last
                       : qMin(last, cut.startFrame
                                        + FrameSchedule::frameOfSeconds(lengthSeconds, video.fps()));
    cut.shownSize = CutRegion::zoomedSize(video.frameSize(), zoomSteps);
    if (!cut.shownSize.isValid()) {
        *error = QStringLiteral("%1: --zoom %2 leaves nothing of a %3 x %4 frame")
                     .arg(path)
                     .arg(zoomSteps)
                     .arg(video.frameSize().width())
                     .arg(video.frameSize().height());
        return nullptr;
    }
    cut.topLeft = atGiven ? topLeft : CutRegion::centredTopLeft(cut.shownSize);
    if (!CutRegion::coversPicture(cut.topLeft, cut.shownSize)) {
        *error = QStringLiteral("%1: the square at %2,%3 lies outside the %4 x %5 frame")
                     .arg(path)
                     .arg(cut.topLeft.x())
                     .arg(cut.topLeft.y())
                     .arg(cut.shownSize.width())
                     .arg(cut.shownSize.height());
        return nullptr;
    }
    const qint64 samples = FrameSchedule(cut.startFrame, cut.endFrame, video.fps()).sampleCount();
    if (samples > EffectFormat::kMaxClipFrames) {
        *error = QStringLiteral("%1: the stretch gives %2 frames, more than the %3 a clip can "
                                "hold (use --start and --length)")
                     .arg(path)
                     .arg(samples)
                     .arg(EffectFormat::kMaxClipFrames);
        return nullptr;
    }
    const double fps = video.fps();
    video.close();

    VideoClipCutter cutter(cut);
    if (!cutter.runToEnd([] { return InterruptGuard::signalNumber() != 0; })) {
        *error = QStringLiteral("%1: %2").arg(path, cutter.errorString());
        return nullptr;
    }
    auto *clip = new MediaObject(number, path);
    clip->loopCount = loops;
    clip->origin.source = ClipOrigin::Source::Video;
    clip->origin.path = path;
    clip->origin.startMs = FrameSchedule::msOfFrame(cut.startFrame, fps);
    clip->origin.lengthMs = FrameSchedule::msOfFrame(cut.endFrame, fps) - clip->origin.startMs;
    clip->origin.zoomSteps = zoomSteps;
    clip->origin.shownSize = cut.shownSize;
    clip->origin.regionTopLeft = cut.topLeft;
    clip->frames = cutter.takeFrames();
    return clip;
}
