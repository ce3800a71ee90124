// Making the clips of moving text and transitions at 112 x 430, as the window makes them
// (frame files and previews written) and as the command-line tool does (LED data only), and
// what a live preview pays per frame.
#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/MotionClipMaker.h"
#include "motion/TextClipRenderer.h"
#include "motion/TransitionLinks.h"
#include "motion/TransitionRenderer.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

QTemporaryDir *workDir = nullptr;

TextClipDescription saleRing()
{
    TextClipDescription wanted;
    wanted.text = QStringLiteral("SALE −50 % 大减价");
    wanted.motion = TextClipDescription::Motion::RingCounterClockwise;
    wanted.seconds = 5.0;
    return wanted;
}

QImage photo(int w, int h, QColor a, QColor b)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, a);
    gradient.setColorAt(1, b);
    painter.fillRect(image.rect(), gradient);
    return image;
}

enum class Files { None, Previews, PreviewsAndPictures };

void makeClip(benchmark::State &state, const std::shared_ptr<const MotionFrameSource> &source,
              Files files)
{
    MotionClipMaker::Options options;
    options.writeFiles = files != Files::None;
    options.writeFramePictures = files == Files::PreviewsAndPictures;
    MotionClipMaker maker(source, options);
    if (!maker.runToEnd()) {
        state.SkipWithError("the clip was not made");
        return;
    }
    std::unique_ptr<MediaObject> clip(maker.takeClip(1));
    benchmark::DoNotOptimize(clip.get());
}

void textClip(benchmark::State &state, Files files)
{
    for (auto _ : state) {
        std::shared_ptr<TextClipRenderer> renderer;
        if (!TextClipRenderer::prepare(saleRing(), &renderer)) {
            state.SkipWithError("not prepared");
            return;
        }
        makeClip(state, renderer, files);
    }
    state.counters["frames"] = 50;
}

void crossFade(benchmark::State &state, Files files)
{
    const QImage before = photo(1600, 1200, Qt::yellow, Qt::darkBlue);
    const QImage after = photo(450, 450, Qt::red, Qt::white);
    for (auto _ : state) {
        std::shared_ptr<TransitionRenderer> renderer;
        if (!TransitionRenderer::prepare(TransitionDescription{TransitionDescription::Kind::CrossFade, 1.0},
                                         before, after, &renderer)) {
            state.SkipWithError("not prepared");
            return;
        }
        makeClip(state, renderer, files);
    }
    state.counters["frames"] = 10;
}

// As the window makes transitions (sampling previews) and text clips (frame pictures too),
// and as the command-line tool does (LED data only).
void BM_TextClip5s(benchmark::State &state) { textClip(state, Files(state.range(0))); }
void BM_CrossFade1s(benchmark::State &state) { crossFade(state, Files(state.range(0))); }

// A settings change in the dialog: lay the text out again, then draw the frame shown.
void BM_PreviewAfterChange(benchmark::State &state)
{
    TextClipDescription wanted = saleRing();
    int size = 40;
    for (auto _ : state) {
        wanted.pixelSize = size;
        size = size == 80 ? 40 : size + 1;
        std::shared_ptr<TextClipRenderer> renderer;
        TextClipRenderer::prepare(wanted, &renderer);
        benchmark::DoNotOptimize(renderer->frame(17));
    }
}

// The preview playing with settings unchanged: one frame per tick.
void BM_PreviewFrame(benchmark::State &state)
{
    TextClipDescription wanted = saleRing();
    wanted.motion = TextClipDescription::Motion(state.range(0));
    std::shared_ptr<TextClipRenderer> renderer;
    TextClipRenderer::prepare(wanted, &renderer);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer->frame(i));
        i = (i + 1) % renderer->frameCount();
    }
}

void BM_TransitionFrame(benchmark::State &state)
{
    std::shared_ptr<TransitionRenderer> renderer;
    TransitionRenderer::prepare(TransitionDescription{TransitionDescription::Kind(state.range(0)), 1.0},
                                photo(450, 450, Qt::yellow, Qt::darkBlue),
                                photo(450, 450, Qt::red, Qt::white), &renderer);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(renderer->frame(i));
        i = (i + 1) % renderer->frameCount();
    }
}

// The window's whole way, from choosing a 1-second cross-fade between two photo items to
// its clip being ready: both JPEG sources decoded and brought to their squares, the frames
// drawn and converted with their previews, on the links' own thread. range(0) is the side of
// the photos' longer edge.
void BM_WindowCrossFade1s(benchmark::State &state)
{
    const int side = int(state.range(0));
    QList<ImageObject *> items;
    for (int i = 0; i < 2; ++i) {
        const QString path = workDir->filePath(QStringLiteral("photo%1.jpg").arg(i));
        photo(side, side * 3 / 4, i ? Qt::red : Qt::yellow, i ? Qt::white : Qt::darkBlue)
            .save(path, "JPEG", 90);
        auto *item = new ImageObject(i + 1, path, 5.0, ImageObject::KindPictureFile);
        items.append(item);
    }
    {
        TransitionLinks links(true);
        links.follow(items, {});
        const TransitionDescription fade{TransitionDescription::Kind::CrossFade, 1.0};
        // The CPU time of every thread of the process: on a shared machine the wall clock
        // also counts the time others take.
        const std::clock_t cpuStart = std::clock();
        for (auto _ : state) {
            links.remove(items[0]);
            links.set(items[0], fade);
            links.waitUntilSettled();
            if (!links.madeClip(items[0])) {
                state.SkipWithError(qPrintable(links.failure(items[0])));
                break;
            }
        }
        state.counters["cpu_ms"] = benchmark::Counter(
            double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC / double(state.iterations()));
    }
    qDeleteAll(items);
    state.counters["frames"] = 10;
}

} // namespace

BENCHMARK(BM_WindowCrossFade1s)->Arg(1600)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();
// 0: LED data only (command line), 1: with previews (the window's transitions), 2: with
// frame pictures too (the window's text clips).
BENCHMARK(BM_TextClip5s)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CrossFade1s)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreviewAfterChange)->Unit(benchmark::kMillisecond);
// Ring, slide left, blink.
BENCHMARK(BM_PreviewFrame)->Arg(0)->Arg(2)->Arg(7)->Unit(benchmark::kMillisecond);
// Cross-fade, clock wipe, spin-in.
BENCHMARK(BM_TransitionFrame)->Arg(0)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir work;
    workDir = &work;
    initAppGlobals(work.path());
    setWorkDirectory(work.filePath(QStringLiteral("work")));
    ensureWorkDirectory();
    ledCount = 112;
    lineNumber = 430;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
