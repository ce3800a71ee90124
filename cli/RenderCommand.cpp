#include "cli/RenderCommand.h"

#include "app/InputFileCheck.h"
#include "cli/GeometryOptions.h"
#include "cli/InterruptGuard.h"
#include "effect/EffectRecordFile.h"
#include "effect/ShowRenderer.h"
#include "effect/ShowTimeline.h"
#include "import/VideoFileSink.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

constexpr qint64 kProgressEveryMs = 1000;

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
        "       [--loop-once]\n"
        "    Writes a video of the show an effect file (either layout) holds, in real time:\n"
        "    every picture for its stored time, every clip frame for 100 ms (200 ms in the\n"
        "    slotted layout) as often as its loop count, each frame the round LED picture\n"
        "    on black, --size pixels square (default 450) at --fps frames a second (default\n"
        "    10). The video is one pass of the show (--loop-once says so explicitly).\n"
        "    MPEG-4 for .mp4, Motion JPEG for .avi.");
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
    const GeometryOptions geometry;
    parser.addOptions({output, size, fps, loopOnce});
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

    const auto records = EffectRecordFile::open(input, leds, lines, &error);
    if (!records)
        return fail(error);
    const ShowTimeline timeline = ShowTimeline::fromInfo(records->info());
    ProgressLine progress(QStringLiteral("hologram-cli render: "));
    options.progress = [&progress](qint64 done, qint64 total) { progress.report(done, total); };
    ShowRenderer renderer(*records, timeline, options);
    VideoFileSink sink;
    const ShowRenderer::Result result = renderer.render(sink, target, InterruptGuard::keepGoing());
    if (!result.ok)
        return fail(result.error);
    QTextStream(stdout) << target << ": " << result.framesWritten << " frames at "
                        << options.fps << " fps, " << ShowTimeline::lengthText(timeline.totalMs())
                        << Qt::endl;
    return 0;
}
