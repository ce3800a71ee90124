#include "video/OpenCvVideoEncoder.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

OpenCvVideoEncoder::OpenCvVideoEncoder()
    : writer(std::make_unique<cv::VideoWriter>()), converted(std::make_unique<cv::Mat>())
{
}

OpenCvVideoEncoder::~OpenCvVideoEncoder()
{
    writer->release();
}

bool OpenCvVideoEncoder::open(const QByteArray &nativePath, quint32 fourcc, int fps, int side)
{
    try {
        writer->open(nativePath.toStdString(), cv::CAP_FFMPEG, int(fourcc), double(fps),
                     cv::Size(side, side), true);
    } catch (const cv::Exception &) {
    }
    return writer->isOpened();
}

void OpenCvVideoEncoder::write(const QImage &frame)
{
    if (frame.cacheKey() != lastKey || converted->empty()) {
        // ARGB32 lies in memory as blue, green, red, alpha: OpenCV's BGRA.
        const cv::Mat view(frame.height(), frame.width(), CV_8UC4,
                           const_cast<uchar *>(frame.constBits()), size_t(frame.bytesPerLine()));
        cv::cvtColor(view, *converted, cv::COLOR_BGRA2BGR);
        lastKey = frame.cacheKey();
    }
    writer->write(*converted);
}

void OpenCvVideoEncoder::finish()
{
    writer->release();
}
