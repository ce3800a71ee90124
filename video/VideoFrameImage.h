#pragma once

#include <QImage>

namespace cv {
class Mat;
}

// A decoded video frame as a picture that owns its pixels.
class VideoFrameImage
{
public:
    // 8-bit grey (with a grey palette), BGR and BGRA frames; null for an empty matrix (a
    // failed read: its type 0 is also that of 8-bit grey) and for any other type.
    static QImage fromMat(const cv::Mat &frame);
};
