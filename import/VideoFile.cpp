#include "import/VideoFile.h"

#include "import/VideoModule.h"
#include "video/VideoBackend.h"

#include <QFile>

#include <cmath>

VideoFile::VideoFile() = default;

VideoFile::~VideoFile() = default;

bool VideoFile::open(const QString &path)
{
    close();
    error.clear();
    VideoBackend *backend = VideoModule::backend(&error);
    if (!backend)
        return false;
    // The encoded name reaches non-ASCII paths.
    decoder = backend->openDecoder(QFile::encodeName(path));
    if (!decoder) {
        error = QStringLiteral("cannot be decoded as a video");
        return false;
    }
    rate = decoder->fps();
    const double frames = decoder->frameCount();
    if (!std::isfinite(rate) || rate <= 0.0 || rate > MaxFps) {
        error = QStringLiteral("reports a frame rate of %1 frames per second").arg(rate);
        close();
        return false;
    }
    if (!std::isfinite(frames) || frames < 1.0 || frames > 1e9) {
        error = QStringLiteral("reports %1 frames").arg(frames);
        close();
        return false;
    }
    const QSize frameSize = decoder->frameSize();
    // The decoder takes some text files for a stream without pictures.
    if (frameSize.isEmpty()) {
        error = QStringLiteral("cannot be decoded as a video");
        close();
        return false;
    }
    count = qint64(frames);
    size = frameSize;
    return true;
}

void VideoFile::close()
{
    decoder.reset();
    rate = 0.0;
    count = 0;
    size = QSize();
}

bool VideoFile::isOpen() const
{
    return decoder != nullptr;
}

bool VideoFile::seek(qint64 index)
{
    return isOpen() && decoder->seek(index);
}

QImage VideoFile::read()
{
    return isOpen() ? decoder->read() : QImage();
}

QImage VideoFile::readRegion(const QRect &region, QPoint *origin)
{
    return isOpen() ? decoder->readRegion(region, origin) : QImage();
}

bool VideoFile::skip()
{
    return isOpen() && decoder->skip();
}
