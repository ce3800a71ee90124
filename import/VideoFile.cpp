#include "import/VideoFile.h"

#include "import/FrameSchedule.h"
#include "import/VideoModule.h"
#include "model/PictureFile.h"
#include "video/VideoBackend.h"

#include <QFile>

#include <cmath>

template<typename Call>
bool VideoFile::guarded(Call call)
{
    if (!isOpen())
        return false;
    if (call())
        return true;
    if (const QString why = decoder->failure(); !why.isEmpty()) {
        broken = true;
        error = QStringLiteral("the decoder failed on a frame of %1 x %2 pixels (%3)")
                    .arg(size.width())
                    .arg(size.height())
                    .arg(why);
    }
    return false;
}

VideoFile::VideoFile() = default;

VideoFile::~VideoFile() = default;

bool VideoFile::open(const QString &path)
{
    close();
    error.clear();
    broken = false;
    decodable = false;
    VideoBackend *backend = VideoModule::backend(&error);
    if (!backend)
        return false;
    // The encoded name reaches non-ASCII paths.
    decoder = backend->openDecoder(QFile::encodeName(path));
    if (!decoder) {
        error = QStringLiteral("cannot be decoded as a video");
        return false;
    }
    const QSize frameSize = decoder->frameSize();
    // The decoder takes some text files for a stream without pictures.
    if (frameSize.isEmpty()) {
        error = QStringLiteral("cannot be decoded as a video");
        close();
        return false;
    }
    decodable = true;
    // The stream's own size, before a frame is decoded: a small file can hold frames of
    // gigabytes each.
    if (const QString over = PictureFile::sizeRefusal(frameSize); !over.isEmpty()) {
        error = QStringLiteral("each frame of %1").arg(over);
        close();
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
    count = qint64(frames);
    claimed = count;
    turn = decoder->rotation();
    size = frameSize;
    return true;
}

void VideoFile::close()
{
    decoder.reset();
    rate = 0.0;
    count = 0;
    claimed = 0;
    turn = 0;
    size = QSize();
}

bool VideoFile::isOpen() const
{
    return decoder != nullptr;
}

bool VideoFile::seek(qint64 index)
{
    return guarded([&] { return decoder->seek(index); });
}

QImage VideoFile::read()
{
    QImage image;
    guarded([&] {
        image = decoder->read();
        return !image.isNull();
    });
    return image;
}

QImage VideoFile::readRegion(const QRect &region, QPoint *origin)
{
    QImage image;
    guarded([&] {
        image = decoder->readRegion(region, origin);
        return !image.isNull();
    });
    return image;
}

bool VideoFile::skip()
{
    return guarded([&] { return decoder->skip(); });
}

bool VideoFile::probeLength(const std::function<bool()> &interrupted)
{
    if (!isOpen())
        return false;
    // A whole file is told by one seek. Past a damaged part, a seek may still land on a
    // frame while reading on from before it fails, so only reading in order from the start
    // tells what a cut gets.
    if (seek(claimed - 1) && skip()) {
        count = claimed;
        return true;
    }
    qint64 readable = 0;
    if (!broken && seek(0)) {
        while (readable < claimed && skip()) {
            ++readable;
            if (interrupted && interrupted())
                return false;
        }
    }
    if (broken)
        return false;
    if (readable == 0) {
        error = QStringLiteral("no frame can be read");
        return false;
    }
    count = readable;
    return true;
}

bool VideoFile::claimsMore() const
{
    // Short of that the claim is only the usual rounding of an estimate.
    return rate > 0.0 && double(claimed - count) * 1000.0 / rate >= FrameSchedule::SampleMs;
}
