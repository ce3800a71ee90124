#include "video/VideoFrameImage.h"

#include <opencv2/core.hpp>

#include <cstring>

namespace {

QImage grey(const cv::Mat &frame)
{
    QImage image(frame.cols, frame.rows, QImage::Format_Indexed8);
    QList<QRgb> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = qRgb(i, i, i);
    image.setColorTable(palette);
    for (int y = 0; y < frame.rows; ++y)
        std::memcpy(image.scanLine(y), frame.ptr(y), size_t(frame.cols));
    return image;
}

} // namespace

QImage VideoFrameImage::fromMat(const cv::Mat &frame)
{
    if (frame.empty())
        return {};
    const int stride = int(frame.step[0]);
    switch (frame.type()) {
    case CV_8UC1:
        return grey(frame);
    case CV_8UC3:
        return QImage(frame.data, frame.cols, frame.rows, stride, QImage::Format_RGB888)
            .rgbSwapped();
    case CV_8UC4:
        return QImage(frame.data, frame.cols, frame.rows, stride, QImage::Format_ARGB32).copy();
    default:
        return {};
    }
}
