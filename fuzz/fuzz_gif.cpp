// GIF frame walking and the GIF timeline: every frame the reader hands out, in order, and
// the clip frames the timeline makes of its delays.
//
// Input: bit 0 of byte 0 keeps the GIF's speed (--gif-timing), the rest is the file. The
// reader opens files by path, so each input is written to a file in a memory-backed
// directory first (/dev/shm where there is one).
#include "import/GifFrameReader.h"
#include "import/GifTimeline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// GIF frames walked per input at most; enough to pass every frame of the seeds.
constexpr int kMaxFrames = 2000;

std::unique_ptr<QTemporaryDir> scratch;
QString inputPath;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

long long samplesBefore(long long t)
{
    return (t + GifTimeline::SampleMs - 1) / GifTimeline::SampleMs;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                    : QDir::tempPath();
    scratch = std::make_unique<QTemporaryDir>(base + QStringLiteral("/hd-fuzz-gif-XXXXXX"));
    require(scratch->isValid());
    inputPath = scratch->filePath(QStringLiteral("input.gif"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool keepSpeed = data[0] & 1;
    {
        QFile file(inputPath);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        require(file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1))
                == qint64(size - 1));
    }
    GifFrameReader reader(inputPath);
    GifTimeline timeline(keepSpeed);
    QImage frame;
    int delay = 0;
    int handedOut = 0;
    long long shownMs = 0;
    long long copies = 0;
    while (handedOut < kMaxFrames && reader.next(&frame, &delay)) {
        ++handedOut;
        require(!frame.isNull());
        require(delay > 0);
        const int n = timeline.copiesOf(delay);
        require(n >= 0);
        require(keepSpeed || n == 1);
        copies += n;
        shownMs += delay;
        require(timeline.position() == shownMs);
    }
    // Kept at speed, the copies are the sample times the frames cover, exactly.
    if (keepSpeed)
        require(copies == samplesBefore(shownMs));
    require(reader.framesRead() >= 0);
    return 0;
}
