#pragma once

#include "video/VideoBackend.h"

// The video module's backend: OpenCV's FFmpeg reader and writer.
class OpenCvVideoBackend final : public VideoBackend
{
public:
    std::unique_ptr<VideoDecoder> openDecoder(const QByteArray &nativePath) override;
    std::unique_ptr<VideoEncoder> openEncoder(const QByteArray &nativePath, quint32 fourcc,
                                              int fps, int side) override;
};
