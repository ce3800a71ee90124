// Picture import speed: converting pictures through the import dialog's workers compared with
// only decoding the same JPEGs on two threads (Qt's reader, and two djpeg processes side by
// side, the decoder's own speed), and the longest stall of the GUI thread while the import
// runs. The ratio import / two djpeg processes is printed at the end (target: at most 1.5).
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
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

constexpr int kPictures = 50;

// Wall milliseconds of the last run of each side, for the ratio printed at the end.
double importWallMs = 0;
double djpegWallMs = 0;

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

// libjpeg-turbo's own decoder at full size: two djpeg processes at a time, as many runs as
// pictures, each writing to /dev/null.
void BM_DjpegTwoProcesses(benchmark::State &state)
{
    const QStringList &files = pictureFiles();
    double childCpuMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        int next = 0;
        int running = 0;
        bool failed = false;
        while (next < files.size() || running > 0) {
            while (running < 2 && next < files.size()) {
                const QByteArray file = files.at(next++).toLocal8Bit();
                char *argv[] = {const_cast<char *>("djpeg"), const_cast<char *>("-outfile"),
                                const_cast<char *>("/dev/null"), const_cast<char *>(file.constData()),
                                nullptr};
                pid_t pid = 0;
                if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv, environ) != 0) {
                    failed = true;
                    break;
                }
                ++running;
            }
            if (running == 0)
                break;
            int status = 0;
            rusage usage{};
            if (wait4(-1, &status, 0, &usage) <= 0)
                break;
            --running;
            failed = failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
            childCpuMs += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
                          + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
        }
        if (failed) {
            state.SkipWithError("djpeg failed (libjpeg-turbo-progs, installed by setup.sh)");
            return;
        }
        djpegWallMs = double(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["pictures"] = kPictures;
    state.counters["djpeg_cpu_ms"] = childCpuMs / double(state.iterations());
}
BENCHMARK(BM_DjpegTwoProcesses)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

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
        QElapsedTimer wall;
        wall.start();
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
        importWallMs = double(wall.nsecsElapsed()) / 1e6;
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
    if (importWallMs > 0 && djpegWallMs > 0) {
        std::printf("\nlast runs, wall: import %.0f ms / two djpeg processes %.0f ms = %.2f x"
                    "   target <= 1.50\n",
                    importWallMs, djpegWallMs, importWallMs / djpegWallMs);
    }
    return 0;
}
