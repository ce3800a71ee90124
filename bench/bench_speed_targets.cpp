// Start-up and one-shot conversion speed of the programs as a user runs them, each a fresh
// process, next to the peers they are measured against, printed side by side with their
// ratios at the end:
//   hologram-cli --help                         (CPU, target at most 25 ms)
//   hologram-cli convert in.png (450 x 450)     against ImageMagick's DePolar of it (0.5 x)
//   hologram-cli convert big.jpg (4000 x 3000)  against djpeg's full decode of it (3 x)
//   hologram-display's first frame             (wall time from the start, 400 ms)
// Times are whole-process CPU (user + system, all threads) from wait4, which the other
// programs sharing the machine do not inflate, and wall times; figures are medians.
// The programs are looked for beside this benchmark; djpeg and ImageMagick's convert on PATH
// (IMAGEMAGICK_CONVERT names another convert).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct Figures
{
    std::vector<double> cpuMs;
    std::vector<double> wallMs;
};
std::map<std::string, Figures> results;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString binDir()
{
    return QCoreApplication::applicationDirPath();
}

QString convertProgram()
{
    const QString named = qEnvironmentVariable("IMAGEMAGICK_CONVERT");
    if (!named.isEmpty())
        return named;
    // The real program rather than a shell wrapper in front of it.
    if (QFile::exists(QStringLiteral("/usr/bin/convert")))
        return QStringLiteral("/usr/bin/convert");
    return QStandardPaths::findExecutable(QStringLiteral("convert"));
}

// Runs a program to its end with output to /dev/null; false when it fails.
bool runOnce(const QStringList &command, const std::vector<std::string> &extraEnv,
             double *cpuMs, double *wallMs)
{
    std::vector<std::string> args;
    for (const QString &part : command)
        args.push_back(part.toStdString());
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e)
        envStrings.emplace_back(*e);
    for (const std::string &e : extraEnv)
        envStrings.push_back(e);
    std::vector<char *> envp;
    for (std::string &e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const double start = monotonicMs();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    *wallMs = monotonicMs() - start;
    *cpuMs = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
             + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void measure(benchmark::State &state, const std::string &name, const QStringList &command,
             const std::vector<std::string> &extraEnv = {})
{
    Figures &figures = results[name];
    for (auto _ : state) {
        double cpu = 0, wall = 0;
        if (!runOnce(command, extraEnv, &cpu, &wall)) {
            state.SkipWithError(("failed: " + command.join(QLatin1Char(' ')).toStdString()).c_str());
            return;
        }
        figures.cpuMs.push_back(cpu);
        figures.wallMs.push_back(wall);
        state.SetIterationTime(cpu / 1000.0);
    }
    state.counters["median_cpu_ms"] = median(figures.cpuMs);
    state.counters["median_wall_ms"] = median(figures.wallMs);
}

const QString &pngInput()
{
    static QString path;
    if (path.isEmpty()) {
        path = workDir().filePath(QStringLiteral("in.png"));
        // A photo-like 8-bit RGB picture: fractal plasma compresses about as badly as a photo.
        double cpu, wall;
        runOnce({convertProgram(), QStringLiteral("-seed"), QStringLiteral("1"),
                 QStringLiteral("-size"), QStringLiteral("450x450"), QStringLiteral("plasma:fractal"),
                 QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("PNG24:") + path},
                {}, &cpu, &wall);
    }
    return path;
}

const QString &jpegInput()
{
    static QString path;
    if (path.isEmpty()) {
        path = workDir().filePath(QStringLiteral("big.jpg"));
        // Smooth gradients with noise, as a photograph compresses, 4:2:0 at quality 85.
        QImage image(4000, 3000, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int noise = int(random.bounded(24));
                line[x] = qRgb((x / 16 + noise) % 256, (y / 12 + noise) % 256, ((x + y) / 28) % 256);
            }
        }
        image.save(path, "JPEG", 85);
    }
    return path;
}

QString out(const char *name)
{
    return workDir().filePath(QString::fromLatin1(name));
}

void BM_CliHelp(benchmark::State &state)
{
    measure(state, "cli --help", {binDir() + QStringLiteral("/hologram-cli"), QStringLiteral("--help")});
}
BENCHMARK(BM_CliHelp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_CliConvertPng(benchmark::State &state)
{
    measure(state, "cli convert png",
            {binDir() + QStringLiteral("/hologram-cli"), QStringLiteral("convert"), pngInput(),
             QStringLiteral("-o"), out("png.buf")});
}
BENCHMARK(BM_CliConvertPng)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_ImageMagickDePolar(benchmark::State &state)
{
    measure(state, "imagemagick depolar",
            {convertProgram(), pngInput(), QStringLiteral("-distort"), QStringLiteral("DePolar"),
             QStringLiteral("224"), out("depolar.png")});
}
BENCHMARK(BM_ImageMagickDePolar)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_CliConvertJpeg(benchmark::State &state)
{
    measure(state, "cli convert jpeg",
            {binDir() + QStringLiteral("/hologram-cli"), QStringLiteral("convert"), jpegInput(),
             QStringLiteral("-o"), out("jpeg.buf")});
}
BENCHMARK(BM_CliConvertJpeg)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_Djpeg(benchmark::State &state)
{
    measure(state, "djpeg",
            {QStringLiteral("djpeg"), QStringLiteral("-outfile"), QStringLiteral("/dev/null"),
             jpegInput()});
}
BENCHMARK(BM_Djpeg)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// The window program on the offscreen platform until it flushes its first frame, read from
// Qt's own painting trace (time stamps on the monotonic clock this process reads too); its
// CPU until then from /proc. The program is then asked to end.
bool firstFrame(double *cpuMs, double *wallMs)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    const std::string program = (binDir() + QStringLiteral("/hologram-display")).toStdString();
    const std::string cwd = workDir().path().toStdString();
    const double start = monotonicMs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 2);
        close(pipeFds[0]);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        if (chdir(cwd.c_str()) != 0)
            _exit(127);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("QT_LOGGING_RULES", "*.debug=false;qt.widgets.painting=true", 1);
        setenv("QT_MESSAGE_PATTERN", "%{time boot} %{message}", 1);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    FILE *trace = fdopen(pipeFds[0], "r");
    char line[4096];
    bool found = false;
    while (trace && std::fgets(line, sizeof line, trace)) {
        if (std::strstr(line, "Flushing QRegion") && std::strstr(line, "of MainWindow")) {
            *wallMs = std::strtod(line, nullptr) * 1000.0 - start;
            found = true;
            break;
        }
    }
    if (found) {
        // Fields 14 and 15 of /proc/PID/stat: user and system time in clock ticks.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
            const double ticks = double(sysconf(_SC_CLK_TCK));
            *cpuMs = (fields.value(12).toDouble() + fields.value(13).toDouble()) * 1000.0 / ticks;
        }
    }
    kill(pid, SIGTERM);
    // Drained so the program never blocks on a full pipe while it ends.
    while (trace && std::fgets(line, sizeof line, trace)) {
    }
    if (trace)
        fclose(trace);
    int status = 0;
    waitpid(pid, &status, 0);
    return found;
}

void BM_WindowFirstFrame(benchmark::State &state)
{
    Figures &figures = results["window first frame"];
    for (auto _ : state) {
        double cpu = 0, wall = 0;
        if (!firstFrame(&cpu, &wall)) {
            state.SkipWithError("hologram-display showed no frame");
            return;
        }
        figures.cpuMs.push_back(cpu);
        figures.wallMs.push_back(wall);
        state.SetIterationTime(wall / 1000.0);
    }
    state.counters["median_wall_ms"] = median(figures.wallMs);
    state.counters["median_cpu_ms"] = median(figures.cpuMs);
}
BENCHMARK(BM_WindowFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

void printSummary()
{
    const auto cpu = [](const char *name) { return median(results[name].cpuMs); };
    const auto wall = [](const char *name) { return median(results[name].wallMs); };
    std::printf("\nMedians, whole-process CPU (user + system) unless marked wall:\n");
    std::printf("  hologram-cli --help                     %7.1f ms   target <= 25 ms\n",
                cpu("cli --help"));
    const double png = cpu("cli convert png"), depolar = cpu("imagemagick depolar");
    std::printf("  convert 450x450 PNG / ImageMagick DePolar %5.1f / %5.1f ms = %.2f x   target <= 0.50\n",
                png, depolar, depolar > 0 ? png / depolar : 0.0);
    std::printf("    (wall %.1f / %.1f ms = %.2f x)\n", wall("cli convert png"),
                wall("imagemagick depolar"),
                wall("imagemagick depolar") > 0 ? wall("cli convert png") / wall("imagemagick depolar") : 0.0);
    const double jpeg = cpu("cli convert jpeg"), djpeg = cpu("djpeg");
    std::printf("  convert 4000x3000 JPEG / djpeg           %5.1f / %5.1f ms = %.2f x   target <= 3.00\n",
                jpeg, djpeg, djpeg > 0 ? jpeg / djpeg : 0.0);
    std::printf("    (wall %.1f / %.1f ms = %.2f x)\n", wall("cli convert jpeg"), wall("djpeg"),
                wall("djpeg") > 0 ? wall("cli convert jpeg") / wall("djpeg") : 0.0);
    std::printf("  window first frame (wall from exec)     %7.1f ms   target <= 400 ms (CPU %.0f ms)\n",
                wall("window first frame"), cpu("window first frame"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
