// Picture import speed: converting pictures through the import dialog's workers compared with
// only decoding the same JPEGs on two threads, and the longest stall of the GUI thread while
// the import runs.
#include "app/AppGlobals.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <thread>
#include <vector>

namespace {

constexpr int kPictures = 50;

QTemporaryDir &benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

// 50 photographs-like JPEGs of 4000 x 3000 (smooth gradients with noise), made once.
const QStringList &pictureFiles()
{
    static QStringList files;
    if (!files.isEmpty())
        return files;
    const QString dir = benchDir().filePath(QStringLiteral("pictures"));
    QDir().mkpath(dir);
    QImage image(4000, 3000, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random.bounded(24));
            line[x] = qRgb((x / 16 + noise) % 256, (y / 12 + noise) % 256, ((x + y) / 28) % 256);
        }
    }
    const QString first = QDir(dir).filePath(QStringLiteral("p0.jpg"));
    image.save(first, "JPEG", 85);
    files << first;
    for (int i = 1; i < kPictures; ++i) {
        const QString path = QDir(dir).filePath(QStringLiteral("p%1.jpg").arg(i));
        QFile::copy(first, path);
        files << path;
    }
    return files;
}

// CPU time of the whole process (all threads) in milliseconds: unlike the wall time it does
// not depend on what else the machine runs meanwhile.
double processCpuMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

void BM_DecodeOnTwoThreads(benchmark::State &state)
{
    const QStringList &files = pictureFiles();
    const double cpuStart = processCpuMs();
    for (auto _ : state) {
        std::atomic<int> next{0};
        auto work = [&] {
            for (int i = next++; i < files.size(); i = next++) {
                QImageReader reader(files.at(i));
                benchmark::DoNotOptimize(reader.read());
            }
        };
        std::thread a(work), b(work);
        a.join();
        b.join();
    }
    state.counters["pictures"] = kPictures;
    state.counters["process_cpu_ms"] = (processCpuMs() - cpuStart) / double(state.iterations());
}
BENCHMARK(BM_DecodeOnTwoThreads)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ImportThroughDialog(benchmark::State &state)
{
    const QStringList &files = pictureFiles();
    initAppGlobals(benchDir().path());
    MainWindow window;
    window.onBtnEnUsClick();
    double worstStallMs = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        // A 10 ms timer on the GUI thread: the longest gap between its ticks is the stall.
        QElapsedTimer clock;
        qint64 lastTick = 0;
        qint64 longestGap = 0;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longestGap = qMax(longestGap, now - lastTick);
            lastTick = now;
        });
        const double cpuStart = processCpuMs();
        clock.start();
        ticker.start();
        {
            LoadImagesDialog dialog(files);
            window.receiveImportsFrom(&dialog);
            dialog.show();
            // Sleeps until the next event, as the application's own loop does; the variant
            // with a time limit drops WaitForMoreEvents and would spin, taking a core from
            // the workers.
            while (window.pictureModel()->itemCount() < kPictures)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        ticker.stop();
        cpuMs += processCpuMs() - cpuStart;
        worstStallMs = qMax(worstStallMs, double(longestGap));
        state.PauseTiming();
        window.pictureModel()->delAll();
        state.ResumeTiming();
    }
    state.counters["longest_gui_stall_ms"] = worstStallMs;
    state.counters["process_cpu_ms"] = cpuMs / double(state.iterations());
    state.counters["pictures"] = kPictures;
}
BENCHMARK(BM_ImportThroughDialog)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
