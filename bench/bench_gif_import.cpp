// GIF import speed: a 100-frame 450 x 450 GIF through the import dialog (region confirmed at
// once), every frame cut, converted and saved as the window does it.
#include "GifFixtures.h"

#include "app/AppGlobals.h"
#include "import/FrameHandOver.h"
#include "ui/import/GetImgeLocationDialog.h"
#include "ui/import/LoadGifDialog.h"
#include "model/ImageObject.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFrames = 100;

QTemporaryDir &benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString &gifFile()
{
    static const QString path = GifFixtures::write(
        benchDir().path(), QStringLiteral("bench.gif"),
        GifFixtures::encode(GifFixtures::stripedFrames(kFrames, 450, 450)));
    return path;
}

// Confirms the region dialog as soon as it is the active modal widget; a message box (a
// failed run) is closed so that the run ends and reports the failure.
void confirmRegionSoon(QObject *context)
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *region = qobject_cast<GetImgeLocationDialog *>(modal))
            region->onBtnOk();
        else if (auto *box = qobject_cast<QMessageBox *>(modal))
            box->done(QMessageBox::Ok);
    });
    timer->start(1);
}

void BM_GifImportDialog(benchmark::State &state)
{
    initAppGlobals(benchDir().path());
    const QString path = gifFile();
    qint64 frames = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        LoadGifDialog dialog(path);
        confirmRegionSoon(&dialog);
        QElapsedTimer clock;
        clock.start();
        const int result = dialog.exec();
        const double elapsed = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        const QList<ImageObject *> made = dialog.takeFrames();
        if (result != QDialog::Accepted || made.size() != kFrames)
            state.SkipWithError("import failed");
        frames += made.size();
        for (ImageObject *item : made)
            FrameHandOver::dispose(item);
    }
    state.counters["frames_per_s"] = seconds > 0.0 ? double(frames) / seconds : 0.0;
}
BENCHMARK(BM_GifImportDialog)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
