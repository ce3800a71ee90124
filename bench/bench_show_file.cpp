// Show files: opening a saved show of 50 photographs of 12 megapixels and three clips of 100
// frames, against converting the same items afresh from their sources; saving after one
// changed display time; and what the GUI thread pays for a snapshot.
#include "PhotoLikePicture.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"
#include "show/ShowContent.h"
#include "show/ShowConverter.h"
#include "show/ShowFile.h"
#include "show/ShowLoadOptions.h"
#include "show/RecoveryStore.h"
#include "show/RecoveryWriter.h"
#include "show/ShowSnapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kPictures = 50;
constexpr int kClips = 3;
constexpr int kFrames = 100;

// The playlist as the window holds it after importing, made once.
struct Fixture
{
    QTemporaryDir dir;
    QList<ImageObject *> pictures;
    QList<MediaObject *> clips;
    QString show;

    Fixture()
    {
        initAppGlobals(dir.path());
        languageCode = 3;
        // A photograph-like JPEG of 4000 x 3000 (gradients with noise); every copy differs
        // by bytes after its end, so the show stores 50 sources as a real one would.
        const QImage image = photoLikePicture(QSize(4000, 3000), 7);
        const QString first = dir.filePath(QStringLiteral("p.jpg"));
        image.save(first, "JPEG", 85);
        QFile firstFile(first);
        firstFile.open(QIODevice::ReadOnly);
        const QByteArray jpeg = firstFile.readAll();
        for (int i = 0; i < kPictures; ++i) {
            const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i));
            QFile out(path);
            out.open(QIODevice::WriteOnly);
            out.write(jpeg + QByteArray::number(i));
            out.close();
            const QString copy = ImageObject::copyIntoWorkDirectory(path);
            auto *item = new ImageObject(i + 1, copy, 5.0, ImageObject::KindPictureFile);
            convertPicture(QImage(copy), item);
            pictures << item;
        }
        QImage frameSource(640, 480, QImage::Format_RGB32);
        for (int c = 0; c < kClips; ++c) {
            auto *clip = new MediaObject(c, QStringLiteral("movie%1.mp4").arg(c));
            for (int f = 0; f < kFrames; ++f) {
                frameSource.fill(qRgb((f * 5 + c * 60) % 256, (f * 3) % 256, 128));
                const QImage cut = RoundSquare::cutFrame(frameSource, QPoint(f % 100, 10));
                const QString path = workFilePath(
                    QStringLiteral("loadMedia_%1.png").arg(loadMediaCounter.fetch_add(1)));
                cut.save(path);
                auto *frame = new ImageObject(f + 1, path, 10.0, ImageObject::KindVideoFrame);
                convertPicture(cut, frame);
                clip->frames << frame;
            }
            clips << clip;
        }
        show = dir.filePath(QStringLiteral("show.hdshow"));
        const Outcome saved = ShowFile(show).save(snapshot());
        if (!saved)
            qFatal("cannot save the show: %s", qPrintable(saved.error()));
    }

    ShowSnapshot snapshot() const
    {
        return ShowSnapshot::capture(pictures, clips, SamplingMode::Sharp);
    }

    QList<ShowConverter::Job> allJobs() const
    {
        QList<ShowConverter::Job> jobs;
        for (ImageObject *item : pictures)
            jobs.append({item, item->sourcePath, 1.0f, QStringLiteral("picture"), QSize()});
        for (MediaObject *clip : clips)
            for (ImageObject *frame : clip->frames)
                jobs.append({frame, frame->sourcePath, 1.0f, QStringLiteral("frame"), QSize()});
        return jobs;
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// Opening at the geometry and sampling it was saved for: nothing converted.
void BM_OpenSavedShow(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        ShowContent content;
        const Outcome outcome = ShowFile(f.show).load(ShowLoadOptions(), &content);
        state.PauseTiming();
        if (!outcome || content.converted != 0) {
            qWarning("%s (%d converted)", qPrintable(outcome.error()), content.converted);
            state.SkipWithError("the show did not open as saved");
        }
        content.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSavedShow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Converting the same 50 pictures and 300 frames afresh from their sources, on both cores:
// what an import (or an open without stored LED data) costs.
void BM_ConvertAfresh(benchmark::State &state)
{
    Fixture &f = fixture();
    const QList<ShowConverter::Job> jobs = f.allJobs();
    for (auto _ : state) {
        if (!ShowConverter::run(jobs, {}, nullptr))
            state.SkipWithError("a conversion failed");
    }
}
BENCHMARK(BM_ConvertAfresh)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Opening for the other sampling: every item converted from its stored source.
void BM_OpenConvertingEverything(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        ShowContent content;
        ShowLoadOptions options;
        options.sampling = SamplingMode::Smooth;
        const bool opened = ShowFile(f.show).load(options, &content).ok();
        state.PauseTiming();
        if (!opened)
            state.SkipWithError("the show did not open");
        content.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenConvertingEverything)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The first save of the whole show (every source, LED data and preview written).
void BM_SaveWhole(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString path = f.dir.filePath(QStringLiteral("whole.hdshow"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        ShowFile file(path);
        const ShowSnapshot snapshot = f.snapshot();
        state.ResumeTiming();
        if (!file.save(snapshot))
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SaveWhole)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Saving again after one changed display time: the file is updated in place, nothing read.
void BM_SaveAfterOneChangedTime(benchmark::State &state)
{
    Fixture &f = fixture();
    ShowFile file(f.show);
    file.save(f.snapshot());
    int step = 0;
    for (auto _ : state) {
        f.pictures[step % kPictures]->displayTime = 1.0 + 0.2 * (step % 40);
        ++step;
        if (!file.save(f.snapshot()) || file.lastSave().itemsRead != 0)
            state.SkipWithError("the save read items again");
    }
}
BENCHMARK(BM_SaveAfterOneChangedTime)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the GUI thread pays to hand a save to a worker.
void BM_CaptureSnapshot(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.snapshot());
}
BENCHMARK(BM_CaptureSnapshot)->Unit(benchmark::kMicrosecond);

// The GUI thread's part of one recovery write after a changed display time: the snapshot
// and handing it to the worker (the save itself runs there).
void BM_RecoveryWriteGuiThread(benchmark::State &state)
{
    Fixture &f = fixture();
    QTemporaryDir dir;
    RecoveryStore store(dir.path());
    RecoveryWriter writer(store, [&f] { return f.snapshot(); });
    writer.setDelay(0);
    const auto saveOnce = [&writer] {
        const int before = writer.savesEnded();
        writer.noteChange();
        while (writer.savesEnded() == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    saveOnce();
    int step = 0;
    qint64 longest = 0;
    for (auto _ : state) {
        f.pictures[step % kPictures]->displayTime = 1.0 + 0.2 * (step % 40);
        ++step;
        saveOnce();
        longest = qMax(longest, writer.lastStartNs());
        state.SetIterationTime(double(writer.lastStartNs()) / 1e9);
    }
    state.counters["longest_us"] = double(longest) / 1000.0;
    state.counters["snapshot_us"] = double(writer.lastCaptureNs()) / 1000.0;
}
BENCHMARK(BM_RecoveryWriteGuiThread)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(50);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("hologram.*.debug=false"));
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
