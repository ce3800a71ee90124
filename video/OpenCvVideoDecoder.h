#pragma once

#include "video/VideoDecoder.h"

#include <QByteArray>

#include <memory>

namespace cv {
class Mat;
class VideoCapture;
}

// A video opened with OpenCV's FFmpeg backend alone, so that no image sequence reader takes
// a picture for a one-frame video. Frames are turned here, with OpenCV's own turning off.
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
    int rotation() const override { return turn; }
    bool seek(qint64 index) override;
    QImage read() override;
    QImage readRegion(const QRect &region, QPoint *origin) override;
    bool skip() override;
    QString failure() const override { return failed; }

private:
    // Runs an OpenCV call; an exception from it (an allocation that failed) becomes failure().
    template<typename Call>
    bool guarded(Call call);
    // The frame turned upright as a picture; throws std::bad_alloc when the picture could
    // not be allocated.
    QImage converted(const cv::Mat &frame) const;

    std::unique_ptr<cv::VideoCapture> capture;
    QSize stored;
    int turn = 0;
    QString failed;
};
