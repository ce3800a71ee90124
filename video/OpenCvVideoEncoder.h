#pragma once

#include "video/VideoEncoder.h"

#include <QByteArray>

#include <memory>

namespace cv {
class Mat;
class VideoWriter;
}

// A video written through OpenCV's FFmpeg writer, 8-bit BGR frames.
class OpenCvVideoEncoder final : public VideoEncoder
{
public:
    OpenCvVideoEncoder();
    ~OpenCvVideoEncoder() override;
    Q_DISABLE_COPY_MOVE(OpenCvVideoEncoder)

    bool open(const QByteArray &nativePath, quint32 fourcc, int fps, int side);

    void write(const QImage &frame) override;
    void finish() override;

private:
    std::unique_ptr<cv::VideoWriter> writer;
    std::unique_ptr<cv::Mat> converted;
    qint64 lastKey = 0;
};
