#include "VideoFixtures.h"

#include "import/VideoFile.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

namespace VideoFixtures {

namespace {

constexpr int kBits = 10;

int fourcc(Codec codec)
{
    switch (codec) {
    case Codec::Mjpeg:
        return cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
    case Codec::Mpeg4:
        return cv::VideoWriter::fourcc('m', 'p', '4', 'v');
    case Codec::H264:
        return cv::VideoWriter::fourcc('a', 'v', 'c', '1');
    }
    return 0;
}

bool runFfmpeg(const QStringList &arguments)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return false;
    QProcess process;
    process.start(ffmpeg, QStringList{"-hide_banner", "-v", "error", "-y"} + arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

} // namespace

bool cutShort(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.resize(file.size() / 2);
}

qint64 readableInOrder(const QString &path)
{
    VideoFile video;
    qint64 frames = 0;
    if (video.open(path)) {
        while (!video.read().isNull())
            ++frames;
    }
    return frames;
}

QString writeWithFfmpeg(const QString &dir, const QString &name, const QSize &size)
{
    const QString path = dir + QLatin1Char('/') + name;
    const int w = size.width();
    const int h = size.height();
    const QString picture =
        QStringLiteral("color=c=blue:s=%1x%2:r=25:d=2,"
                       "drawbox=x=0:y=0:w=%3:h=%4:color=red:t=fill,"
                       "drawbox=x=%5:y=%6:w=%7:h=%8:color=lime:t=fill")
            .arg(w).arg(h).arg(w / 2).arg(h / 3).arg(w / 4).arg(h * 3 / 4).arg(w * 3 / 4).arg(h / 4);
    if (!runFfmpeg({"-f", "lavfi", "-i", picture, "-c:v", "mpeg4", "-q:v", "2", path}))
        return {};
    return path;
}

QString withRotationTag(const QString &path, const QString &copy, int degrees)
{
    // Remuxing writes the tag; an encoder ignores it.
    if (!runFfmpeg({"-i", path, "-c", "copy", "-metadata:s:v:0",
                    QStringLiteral("rotate=%1").arg(degrees), copy}))
        return {};
    return copy;
}

QImage ffmpegFirstFrame(const QString &path)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("first.png"));
    if (!dir.isValid() || !runFfmpeg({"-i", path, "-frames:v", "1", png}))
        return {};
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

QString write(const QString &dir, const QString &name, Codec codec, double fps, int frames,
              const QSize &size)
{
    const QString path = dir + QLatin1Char('/') + name;
    cv::VideoWriter writer(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG, fourcc(codec),
                           fps, cv::Size(size.width(), size.height()));
    if (!writer.isOpened())
        return {};
    const int stripe = size.width() / kBits;
    for (int i = 0; i < frames; ++i) {
        cv::Mat frame(size.height(), size.width(), CV_8UC3, cv::Scalar(40, 40, 40));
        for (int bit = 0; bit < kBits; ++bit) {
            const cv::Scalar colour = (i >> bit) & 1 ? cv::Scalar(255, 255, 255) : cv::Scalar(0, 0, 0);
            cv::rectangle(frame, cv::Rect(bit * stripe, 0, stripe, size.height()), colour, cv::FILLED);
        }
        writer.write(frame);
    }
    writer.release();
    return path;
}

QString withFrameRate(const QString &path, const QString &copy, quint32 scale, quint32 rate)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = in.readAll();
    // strh: tag, size, type, handler, flags, priority, language, initial frames, scale, rate.
    const qsizetype header = bytes.indexOf("strh");
    if (header < 0)
        return {};
    qToLittleEndian(scale, bytes.data() + header + 28);
    qToLittleEndian(rate, bytes.data() + header + 32);
    QFile out(copy);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return {};
    return copy;
}

QString withFrameSize(const QString &path, const QString &copy, const QSize &size)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = in.readAll();
    // avih: tag, size, 8 fields, width, height; strf: tag, size, header size, width, height.
    const qsizetype main = bytes.indexOf("avih");
    const qsizetype format = bytes.indexOf("strf");
    if (main < 0 || format < 0)
        return {};
    qToLittleEndian(quint32(size.width()), bytes.data() + main + 40);
    qToLittleEndian(quint32(size.height()), bytes.data() + main + 44);
    qToLittleEndian(quint32(size.width()), bytes.data() + format + 12);
    qToLittleEndian(quint32(size.height()), bytes.data() + format + 16);
    // Every picture's frame header: marker, length, precision, height, width.
    int pictures = 0;
    const QByteArray marker("\xff\xc0");
    for (qsizetype at = bytes.indexOf(marker); at >= 0; at = bytes.indexOf(marker, at + 2)) {
        qToBigEndian(quint16(size.height()), bytes.data() + at + 5);
        qToBigEndian(quint16(size.width()), bytes.data() + at + 7);
        ++pictures;
    }
    QFile out(copy);
    if (pictures == 0 || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return {};
    return copy;
}

int indexIn(const QImage &picture, const QRect &rect)
{
    const int stripe = rect.width() / kBits;
    int index = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        const QPoint centre(rect.x() + bit * stripe + stripe / 2, rect.y() + rect.height() / 2);
        if (!picture.rect().contains(centre))
            return -1;
        const int grey = qGray(picture.pixel(centre));
        if (grey > 170)
            index |= 1 << bit;
        else if (grey > 85)
            return -1;
    }
    return index;
}

} // namespace VideoFixtures
