#include "import/VideoFileSink.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

namespace {

// Free space is looked at every few frames: the encoder buffers more than one frame anyway.
constexpr int kSpaceCheckEvery = 4;

std::string nativePath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

VideoFileSink::VideoFileSink(SpaceProbe probe)
    : probe(probe ? std::move(probe) : SpaceProbe(&VideoFileSink::freeBytes)),
      converted(std::make_unique<cv::Mat>())
{
}

VideoFileSink::~VideoFileSink()
{
    if (writer)
        writer->release();
}

int VideoFileSink::fourccFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mp4"))
        return cv::VideoWriter::fourcc('m', 'p', '4', 'v');
    if (suffix == QLatin1String("avi"))
        return cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
    return 0;
}

qint64 VideoFileSink::freeBytes(const QString &path)
{
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    return storage.isValid() && storage.isReady() ? storage.bytesAvailable() : -1;
}

qint64 VideoFileSink::framesIn(const QString &path)
{
    cv::VideoCapture capture;
    try {
        if (!capture.open(nativePath(path), cv::CAP_FFMPEG))
            return -1;
    } catch (const cv::Exception &) {
        return -1;
    }
    return qint64(capture.get(cv::CAP_PROP_FRAME_COUNT));
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
    writer = std::make_unique<cv::VideoWriter>();
    try {
        writer->open(nativePath(path), cv::CAP_FFMPEG, fourcc, double(fps),
                     cv::Size(side, side), true);
    } catch (const cv::Exception &) {
    }
    if (!writer->isOpened()) {
        writer.reset();
        return fail(QStringLiteral("cannot write a video to %1").arg(path));
    }
    return true;
}

bool VideoFileSink::write(const QImage &frame)
{
    if (!writer)
        return fail(QStringLiteral("%1: the video is not open").arg(path));
    if (frame.cacheKey() != lastKey || converted->empty()) {
        const QImage argb = frame.size() == QSize(side, side)
                                ? frame.convertToFormat(QImage::Format_ARGB32)
                                : frame.scaled(side, side).convertToFormat(QImage::Format_ARGB32);
        // ARGB32 lies in memory as blue, green, red, alpha: OpenCV's BGRA.
        const cv::Mat view(side, side, CV_8UC4, const_cast<uchar *>(argb.constBits()),
                           size_t(argb.bytesPerLine()));
        cv::cvtColor(view, *converted, cv::COLOR_BGRA2BGR);
        lastKey = frame.cacheKey();
    }
    if (written % kSpaceCheckEvery == 0) {
        const qint64 space = probe(path);
        if (space >= 0 && space < kReserveBytes)
            return fail(QStringLiteral("%1: the disk is full (%2 bytes free)").arg(path).arg(space));
    }
    writer->write(*converted);
    ++written;
    return true;
}

bool VideoFileSink::finish()
{
    if (!writer)
        return fail(QStringLiteral("%1: the video is not open").arg(path));
    writer->release();
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
        writer->release();
        writer.reset();
    }
    if (!path.isEmpty())
        QFile::remove(path);
}
