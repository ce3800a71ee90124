#include "cli/RenderCommand.h"

#include "app/InputFileCheck.h"
#include "app/OutputFile.h"
#include "cli/GeometryOptions.h"
#include "cli/InterruptGuard.h"
#include "effect/EffectRecordFile.h"
#include "effect/ShowRenderer.h"
#include "effect/ShowTimeline.h"
#include "import/VideoFileSink.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr qint64 kProgressEveryMs = 1000;

// The least a frame costs in the video, whatever it shows: an all-black frame measured
// here (MPEG-4: about 300 bytes at 450 x 450 and 14 at 16 x 16; Motion JPEG 1500 and 240),
// rounded down, so that a refusal for want of space is never wrong.
double leastBytesPerFrame(const QString &path, int side)
{
    const bool motionJpeg =
        QFileInfo(path).suffix().compare(QLatin1String("avi"), Qt::CaseInsensitive) == 0;
    return motionJpeg ? 200.0 + 0.005 * side * side : 10.0 + 0.001 * side * side;
}

// A line on stderr about once a second, so a short render stays quiet.
class ProgressLine
{
public:
    explicit ProgressLine(const QString &prefix) : prefix(prefix) { clock.start(); }

    void report(qint64 done, qint64 total)
    {
        if (clock.elapsed() - last < kProgressEveryMs || done == total)
            return;
        last = clock.elapsed();
        QTextStream(stderr) << prefix << done << " of " << total << " frames ("
                            << done * 100 / total << " %)" << Qt::endl;
    }

private:
    const QString prefix;
    QElapsedTimer clock;
    qint64 last = 0;
};

} // namespace

QString RenderCommand::name() const
{
    return QStringLiteral("render");
}

QString RenderCommand::help() const
{
    return QStringLiteral(
        "render FILE.bin -o OUT.mp4|OUT.avi [--size PX] [--fps N] [--leds N] [--lines L]\n"
        "       [--loop-once] [--max-frames N]\n"
        "    Writes a video of the show an effect file (either layout) holds, in real time:\n"
        "    every picture for its stored time, every clip frame for 100 ms (200 ms in the\n"
        "    slotted layout) as often as its loop count, each frame the round LED picture\n"
        "    on black, --size pixels square (default 450) at --fps frames a second (default\n"
        "    10). The video is one pass of the show (--loop-once says so explicitly).\n"
        "    MPEG-4 for .mp4, Motion JPEG for .avi. A show of more than --max-frames\n"
        "    frames (default %1) is refused, and so is one whose video would not fit the\n"
        "    free space; the video is written beside OUT and replaces it only when complete.")
        .arg(kDefaultMaxFrames);
}

int RenderCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("video file"), QStringLiteral("OUT"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("frame side"),
                                  QStringLiteral("PX"), QStringLiteral("450"));
    const QCommandLineOption fps(QStringLiteral("fps"), QStringLiteral("frames per second"),
                                 QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption loopOnce(QStringLiteral("loop-once"),
                                      QStringLiteral("one pass of the show"));
    const QCommandLineOption maxFrames(QStringLiteral("max-frames"),
                                       QStringLiteral("longest video in frames"),
                                       QStringLiteral("N"), QString::number(kDefaultMaxFrames));
    const GeometryOptions geometry;
    parser.addOptions({output, size, fps, loopOnce, maxFrames});
    geometry.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("effect file"));
    if (!parser.parse(withProgramName(arguments)))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("exactly one FILE is needed"));
    if (!parser.isSet(output))
        return fail(QStringLiteral("-o OUT.mp4 or -o OUT.avi is needed"));
    ShowRenderer::Options options;
    if (!readWholeNumber(parser.value(size), kMinSide, kMaxSide, &options.side))
        return fail(QStringLiteral("--size must be a whole number from %1 to %2")
                        .arg(kMinSide).arg(kMaxSide));
    if (!readWholeNumber(parser.value(fps), 1, kMaxFps, &options.fps))
        return fail(QStringLiteral("--fps must be a whole number from 1 to %1").arg(kMaxFps));
    int frameLimit = 0;
    if (!readWholeNumber(parser.value(maxFrames), 1, INT_MAX, &frameLimit))
        return fail(QStringLiteral("--max-frames must be a whole number from 1 to %1")
                        .arg(INT_MAX));
    int leds = 0, lines = 0;
    QString error;
    if (!geometry.read(parser, &leds, &lines, &error))
        return fail(error);
    const QString input = parser.positionalArguments().first();
    const QString target = parser.value(output);
    if (VideoFileSink::fourccFor(target) == 0)
        return fail(QStringLiteral("%1: the video must be named .mp4 or .avi").arg(target));
    if (const QString refusal = InputFileCheck::refusal(input); !refusal.isEmpty())
        return fail(refusal);
    // The target is checked and its staging file made before the effect file is read.
    OutputFile video(target, QStringLiteral("a video"));
    if (const Outcome prepared = video.prepare({input}); !prepared)
        return fail(prepared.error());

    const auto records = EffectRecordFile::open(input, leds, lines, &error);
    if (!records)
        return fail(error);
    const ShowTimeline timeline = ShowTimeline::fromInfo(records->info());
    // Refused before anything is written: a few header bytes can describe hundreds of hours.
    const qint64 frames = timeline.frameCount(options.fps);
    if (frames > frameLimit)
        return fail(QStringLiteral("the show lasts %1, %2 frames at %3 fps: more than the %4 "
                                   "allowed (raise --max-frames to render it)")
                        .arg(ShowTimeline::lengthText(timeline.totalMs()))
                        .arg(frames)
                        .arg(options.fps)
                        .arg(frameLimit));
    const double estimate = double(frames) * leastBytesPerFrame(target, options.side);
    const qint64 space = VideoFileSink::freeBytes(video.stagingPath());
    if (space >= 0 && estimate + VideoFileSink::kReserveBytes > double(space))
        return fail(QStringLiteral("%1: the video needs about %2 MB, %3 MB are free")
                        .arg(target)
                        .arg(qint64(estimate / 1e6) + 1)
                        .arg(space / 1000000));
    ProgressLine progress(QStringLiteral("hologram-cli render: "));
    options.progress = [&progress](qint64 done, qint64 total) { progress.report(done, total); };
    ShowRenderer renderer(*records, timeline, options);
    VideoFileSink sink;
    const ShowRenderer::Result result =
        renderer.render(sink, video.stagingPath(), InterruptGuard::keepGoing());
    if (!result.ok)
        return fail(QString(result.error).replace(video.stagingPath(), target));
    if (const Outcome committed = video.commit(); !committed)
        return fail(committed.error());
    QTextStream(stdout) << target << ": " << result.framesWritten << " frames at "
                        << options.fps << " fps, " << ShowTimeline::lengthText(timeline.totalMs())
                        << Qt::endl;
    return 0;
}
