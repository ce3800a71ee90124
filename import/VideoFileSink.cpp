#include "import/VideoFileSink.h"

#include "import/VideoModule.h"
#include "video/VideoBackend.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// Free space is looked at every few frames: the encoder buffers more than one frame anyway.
constexpr int kSpaceCheckEvery = 4;

constexpr int fourcc(char a, char b, char c, char d)
{
    return int(uchar(a)) | int(uchar(b)) << 8 | int(uchar(c)) << 16 | int(uchar(d)) << 24;
}

} // namespace

VideoFileSink::VideoFileSink(SpaceProbe probe)
    : probe(probe ? std::move(probe) : SpaceProbe(&VideoFileSink::freeBytes))
{
}

VideoFileSink::~VideoFileSink() = default;

int VideoFileSink::fourccFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mp4"))
        return fourcc('m', 'p', '4', 'v');
    if (suffix == QLatin1String("avi"))
        return fourcc('M', 'J', 'P', 'G');
    return 0;
}

qint64 VideoFileSink::freeBytes(const QString &path)
{
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
}

qint64 VideoFileSink::framesIn(const QString &path)
{
    VideoBackend *backend = VideoModule::backend();
    const auto decoder = backend ? backend->openDecoder(QFile::encodeName(path)) : nullptr;
    return decoder ? qint64(decoder->frameCount()) : -1;
}

bool VideoFileSink::fail(const QString &why)
{
    message = why;
    return false;
}

bool VideoFileSink::open(const QString &target, int frameSide, int fps)
{
    path = target;
    side = frameSide;
    written = 0;
    const int fourcc = fourccFor(path);
    if (fourcc == 0)
        return fail(QStringLiteral("%1: the video must be named .mp4 or .avi").arg(path));
    const qint64 space = probe(path);
    if (space >= 0 && space < kReserveBytes)
        return fail(QStringLiteral("%1: the disk is full (%2 bytes free)").arg(path).arg(space));
    VideoBackend *backend = VideoModule::backend(&message);
    if (!backend)
        return false;
    writer = backend->openEncoder(QFile::encodeName(path), quint32(fourcc), fps, side);
    if (!writer)
        return fail(QStringLiteral("cannot write a video to %1").arg(path));
    return true;
}

bool VideoFileSink::write(const QImage &frame)
{
    if (!writer)
        return fail(QStringLiteral("%1: the video is not open").arg(path));
    if (frame.cacheKey() != lastKey || lastFrame.isNull()) {
        lastFrame = frame.size() == QSize(side, side)
                        ? frame.convertToFormat(QImage::Format_ARGB32)
                        : frame.scaled(side, side).convertToFormat(QImage::Format_ARGB32);
        lastKey = frame.cacheKey();
    }
    if (written % kSpaceCheckEvery == 0) {
        const qint64 space = probe(path);
        if (space >= 0 && space < kReserveBytes)
            return fail(QStringLiteral("%1: the disk is full (%2 bytes free)").arg(path).arg(space));
    }
    writer->write(lastFrame);
    ++written;
    return true;
}

bool VideoFileSink::finish()
{
    if (!writer)
        return fail(QStringLiteral("%1: the video is not open").arg(path));
    writer->finish();
    writer.reset();
    const qint64 frames = framesIn(path);
    if (frames != written)
        return fail(QStringLiteral("%1: the written video holds %2 of %3 frames (disk full or "
                                   "a write error)")
                        .arg(path)
                        .arg(qMax<qint64>(frames, 0))
                        .arg(written));
    return true;
}

void VideoFileSink::discard()
{
    if (writer) {
        writer->finish();
        writer.reset();
    }
    if (!path.isEmpty())
        QFile::remove(path);
}
