#include "import/VideoFile.h"

#include "import/VideoFrameImage.h"

#include <QFile>

#include <opencv2/videoio.hpp>

#include <cmath>

VideoFile::VideoFile() = default;

VideoFile::~VideoFile() = default;

bool VideoFile::open(const QString &path)
{
    close();
    error.clear();
    capture = std::make_unique<cv::VideoCapture>();
    // The encoded name reaches non-ASCII paths; the FFmpeg backend alone, so no image
    // sequence reader takes a picture for a one-frame video.
    try {
        capture->open(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG);
    } catch (const cv::Exception &) {
    }
    if (!capture->isOpened()) {
        close();
        error = QStringLiteral("cannot be decoded as a video");
        return false;
    }
    rate = capture->get(cv::CAP_PROP_FPS);
    const double frames = capture->get(cv::CAP_PROP_FRAME_COUNT);
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
    const QSize frameSize(int(capture->get(cv::CAP_PROP_FRAME_WIDTH)),
                          int(capture->get(cv::CAP_PROP_FRAME_HEIGHT)));
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
    if (capture)
        capture->release();
    capture.reset();
    rate = 0.0;
    count = 0;
    size = QSize();
}

bool VideoFile::isOpen() const
{
    return capture && capture->isOpened();
}

bool VideoFile::seek(qint64 index)
{
    return isOpen() && capture->set(cv::CAP_PROP_POS_FRAMES, double(index));
}

QImage VideoFile::read()
{
    if (!isOpen())
        return {};
    cv::Mat frame;
    if (!capture->read(frame))
        return {};
    return VideoFrameImage::fromMat(frame);
}

QImage VideoFile::readRegion(const QRect &region, QPoint *origin)
{
    if (!isOpen())
        return {};
    cv::Mat frame;
    if (!capture->read(frame) || frame.empty())
        return {};
    const QRect part = region.intersected(QRect(0, 0, frame.cols, frame.rows));
    if (part.isEmpty())
        return {};
    *origin = part.topLeft();
    return VideoFrameImage::fromMat(frame(cv::Rect(part.x(), part.y(), part.width(), part.height())));
}

bool VideoFile::skip()
{
    return isOpen() && capture->grab();
}
