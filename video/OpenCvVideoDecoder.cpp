#include "video/OpenCvVideoDecoder.h"

#include "video/VideoFrameImage.h"

#include <opencv2/videoio.hpp>

OpenCvVideoDecoder::OpenCvVideoDecoder() : capture(std::make_unique<cv::VideoCapture>()) {}

OpenCvVideoDecoder::~OpenCvVideoDecoder()
{
    capture->release();
}

bool OpenCvVideoDecoder::open(const QByteArray &nativePath)
{
    try {
        capture->open(nativePath.toStdString(), cv::CAP_FFMPEG);
    } catch (const cv::Exception &) {
    }
    return capture->isOpened();
}

double OpenCvVideoDecoder::fps() const
{
    return capture->get(cv::CAP_PROP_FPS);
}

double OpenCvVideoDecoder::frameCount() const
{
    return capture->get(cv::CAP_PROP_FRAME_COUNT);
}

QSize OpenCvVideoDecoder::frameSize() const
{
    return QSize(int(capture->get(cv::CAP_PROP_FRAME_WIDTH)),
                 int(capture->get(cv::CAP_PROP_FRAME_HEIGHT)));
}

bool OpenCvVideoDecoder::seek(qint64 index)
{
    return capture->set(cv::CAP_PROP_POS_FRAMES, double(index));
}

QImage OpenCvVideoDecoder::read()
{
    cv::Mat frame;
    if (!capture->read(frame))
        return {};
    return VideoFrameImage::fromMat(frame);
}

QImage OpenCvVideoDecoder::readRegion(const QRect &region, QPoint *origin)
{
    cv::Mat frame;
    if (!capture->read(frame) || frame.empty())
        return {};
    const QRect part = region.intersected(QRect(0, 0, frame.cols, frame.rows));
    if (part.isEmpty())
        return {};
    *origin = part.topLeft();
    return VideoFrameImage::fromMat(frame(cv::Rect(part.x(), part.y(), part.width(), part.height())));
}

bool OpenCvVideoDecoder::skip()
{
    return capture->grab();
}
