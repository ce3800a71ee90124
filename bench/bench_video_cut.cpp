// Cutting a 60 s 1280 x 720 H.264 clip into 600 frame items (one per 100 ms) as the video
// dialog does, against only decoding the same stretch (the 600 sampled frames as pictures)
// and only converting 600 frames on the same three converter threads. CPU columns count
// every thread of the process. The clip is made once with ffmpeg; without it nothing runs.
#include "app/AppGlobals.h"
#include "import/CutRegion.h"
#include "import/FrameSchedule.h"
#include "import/VideoClipCutter.h"
#include "import/VideoFile.h"
#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr int kSeconds = 60;
constexpr int kFps = 25;
constexpr int kSamples = kSeconds * 10;
const QSize kFrame(1280, 720);

QTemporaryDir &benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Moving test pattern with a little noise, so that neither the decoder nor the PNG coder
// gets flat pictures; x264 with B-frames, as phones and cameras write.
const QString &clipPath()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    const QString file = benchDir().filePath(QStringLiteral("clip.mp4"));
    const int code = QProcess::execute(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
         QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
         QStringLiteral("testsrc2=size=%1x%2:rate=%3").arg(kFrame.width()).arg(kFrame.height()).arg(kFps),
         QStringLiteral("-t"), QString::number(kSeconds), QStringLiteral("-vf"),
         QStringLiteral("noise=alls=8:allf=t"), QStringLiteral("-c:v"), QStringLiteral("libx264"),
         QStringLiteral("-bf"), QStringLiteral("2"), QStringLiteral("-pix_fmt"),
         QStringLiteral("yuv420p"), file});
    if (code == 0)
        path = file;
    return path;
}

VideoCut wholeCut()
{
    VideoCut cut;
    cut.path = clipPath();
    cut.startFrame = 0;
    cut.endFrame = qint64(kSeconds) * kFps - 1;
    cut.topLeft = CutRegion::centredTopLeft(kFrame);
    // The dialog's preview area.
    cut.previewSize = QSize(640, 360);
    return cut;
}

void freshWorkDirectory()
{
    const QString dir = benchDir().filePath(QStringLiteral("work"));
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    setWorkDirectory(dir);
}

// Decoding as the cutter decodes: every frame of the stretch passes the decoder, and the
// 600 sampled ones are turned into pictures.
void BM_DecodeStretchAlone(benchmark::State &state)
{
    if (clipPath().isEmpty()) {
        state.SkipWithError("ffmpeg with libx264 is needed to make the clip");
        return;
    }
    for (auto _ : state) {
        VideoFile video;
        if (!video.open(clipPath())) {
            state.SkipWithError("the clip does not open");
            return;
        }
        const VideoCut cut = wholeCut();
        qint64 next = 0;
        int pictures = 0;
        for (FrameSchedule schedule(cut.startFrame, cut.endFrame, video.fps()); !schedule.atEnd();
             schedule.advance()) {
            while (next < schedule.frameIndex() && video.skip())
                ++next;
            if (next != schedule.frameIndex() || video.read().isNull())
                break;
            ++next;
            ++pictures;
        }
        if (pictures != kSamples)
            state.SkipWithError("not every sample was decoded");
    }
}

// 25 distinct squares cut from the clip, handed out in turn.
std::vector<QImage> sampleSquares()
{
    std::vector<QImage> squares;
    VideoFile video;
    if (!video.open(clipPath()))
        return squares;
    const QPoint topLeft = CutRegion::centredTopLeft(kFrame);
    for (int i = 0; i < 25; ++i) {
        const QImage frame = video.read();
        if (frame.isNull())
            break;
        squares.push_back(RoundSquare::cutFrame(frame, topLeft));
    }
    return squares;
}

void BM_ConvertFramesAlone(benchmark::State &state)
{
    const std::vector<QImage> squares = clipPath().isEmpty() ? std::vector<QImage>() : sampleSquares();
    if (squares.empty()) {
        state.SkipWithError("no frames to convert");
        return;
    }
    for (auto _ : state) {
        freshWorkDirectory();
        std::atomic<int> next{0};
        std::atomic<bool> stop{false};
        std::vector<std::thread> converters;
        for (int t = 0; t < VideoClipCutter::ConverterCount; ++t) {
            converters.emplace_back([&] {
                for (int k = next++; k < kSamples; k = next++) {
                    ImageObject item(k + 1, QString(), 10.0, ImageObject::KindVideoFrame);
                    convertPicture(squares[size_t(k) % squares.size()], &item, &stop);
                }
            });
        }
        for (auto &converter : converters)
            converter.join();
    }
}

void BM_DialogCuttingRun(benchmark::State &state)
{
    if (clipPath().isEmpty()) {
        state.SkipWithError("ffmpeg with libx264 is needed to make the clip");
        return;
    }
    for (auto _ : state) {
        freshWorkDirectory();
        VideoClipCutter cutter(wholeCut());
        if (!cutter.runToEnd()) {
            state.SkipWithError(qPrintable(cutter.errorString()));
            return;
        }
        const QList<ImageObject *> frames = cutter.takeFrames();
        if (frames.size() != kSamples)
            state.SkipWithError("the run did not cut every sample");
        qDeleteAll(frames);
    }
}

BENCHMARK(BM_DecodeStretchAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(1);
BENCHMARK(BM_ConvertFramesAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(1);
BENCHMARK(BM_DialogCuttingRun)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
