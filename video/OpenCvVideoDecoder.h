#pragma once

#include "video/VideoDecoder.h"

#include <QByteArray>

#include <memory>

namespace cv {
class VideoCapture;
}

// A video opened with OpenCV's FFmpeg backend alone, so that no image sequence reader takes
// a picture for a one-frame video.
class OpenCvVideoDecoder final : public VideoDecoder
{
public:
    OpenCvVideoDecoder();
    ~OpenCvVideoDecoder() override;
    Q_DISABLE_COPY_MOVE(OpenCvVideoDecoder)

    bool open(const QByteArray &nativePath);

    double fps() const override;
    double frameCount() const override;
    QSize frameSize() const override;
    bool seek(qint64 index) override;
    QImage read() override;
    QImage readRegion(const QRect &region, QPoint *origin) override;
    bool skip() override;

private:
    std::unique_ptr<cv::VideoCapture> capture;
};
