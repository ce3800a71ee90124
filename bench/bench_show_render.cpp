// Rendering a 60 s show of 112 x 430 records at 450 px and 10 fps into an MP4 video, in two
// shapes: a clip of 600 different frames (every frame drawn anew) and pictures with a looped
// clip (most frames repeat). The budget is a tenth of the show's playing time: 6 s.
//
// HD_BENCH_DIR chooses the directory written to (default: the system temporary directory).

#include "effect/EffectRecordFile.h"
#include "effect/IndexedHeader.h"
#include "effect/LedDataCodec.h"
#include "effect/ShowRenderer.h"
#include "effect/ShowTimeline.h"
#include "import/VideoFileSink.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>

namespace {

constexpr int kLeds = 112;
constexpr int kLines = 430;

QString benchDirectory()
{
    const QString dir = qEnvironmentVariable("HD_BENCH_DIR");
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

// Colours that change smoothly around and along the blade, like a photo's, and from
// record to record.
QByteArray smoothTriples(int seed)
{
    QByteArray triples(3 * kLeds * kLines, Qt::Uninitialized);
    for (int line = 0; line < kLines; ++line) {
        for (int led = 0; led < kLeds; ++led) {
            const int i = 3 * (line * kLeds + led);
            triples[i] = char(128 + 127 * std::sin((line + seed * 7) * 0.03));
            triples[i + 1] = char(128 + 127 * std::cos(led * 0.05 + seed * 0.1));
            triples[i + 2] = char((line + led + seed * 3) & 0xFF);
        }
    }
    return triples;
}

QString writeShow(const QTemporaryDir &dir, const QString &name, int records,
                  const QList<IndexedHeader::Segment> &segments)
{
    IndexedHeader header;
    header.recordCount = records;
    header.segments = segments;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(header.toBytes());
    for (int r = 0; r < records; ++r)
        file.write(LedDataCodec::codeSlottedRecord(smoothTriples(r), kLeds, kLines));
    return path;
}

void renderShow(benchmark::State &state, const QString &show)
{
    QString error;
    const auto records = EffectRecordFile::open(show, kLeds, kLines, &error);
    if (!records) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    const ShowTimeline timeline = ShowTimeline::fromInfo(records->info());
    const QString out = QFileInfo(show).absolutePath() + QStringLiteral("/show.mp4");
    const std::atomic<bool> keepGoing{true};
    // CPU of every thread (the drawing helpers too), to tell the work from a busy machine.
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state) {
        ShowRenderer renderer(*records, timeline, {450, 10, {}});
        VideoFileSink sink;
        const ShowRenderer::Result result = renderer.render(sink, out, keepGoing);
        if (!result.ok) {
            state.SkipWithError(result.error.toUtf8().constData());
            return;
        }
    }
    state.counters["all_threads_cpu_s"] =
        double(std::clock() - cpuStart) / CLOCKS_PER_SEC / double(state.iterations());
    state.counters["show_s"] = double(timeline.totalMs()) / 1000.0;
    state.counters["frames"] = double(timeline.frameCount(10));
    QFile::remove(out);
}

void BM_RenderSixHundredClipFrames(benchmark::State &state)
{
    QTemporaryDir dir(benchDirectory() + QStringLiteral("/show-bench-XXXXXX"));
    renderShow(state, writeShow(dir, QStringLiteral("clip.bin"), 600, {{1, 600, 1, 1}}));
}

void BM_RenderPicturesAndLoopedClip(benchmark::State &state)
{
    // Six pictures of 5 s, then a clip of 100 frames played three times: 60 s.
    QTemporaryDir dir(benchDirectory() + QStringLiteral("/show-bench-XXXXXX"));
    QList<IndexedHeader::Segment> segments;
    for (int p = 1; p <= 6; ++p)
        segments.append({p, p, 50, 1});
    segments.append({7, 106, 1, 3});
    renderShow(state, writeShow(dir, QStringLiteral("mixed.bin"), 106, segments));
}

} // namespace

BENCHMARK(BM_RenderSixHundredClipFrames)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RenderPicturesAndLoopedClip)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
