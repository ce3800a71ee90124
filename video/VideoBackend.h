#pragma once

#include "video/VideoDecoder.h"
#include "video/VideoEncoder.h"

#include <QByteArray>

#include <memory>

// What the video module gives the program: decoders and encoders of video files. The module
// (a shared library loaded on first use, see VideoModule) holds every library the video
// stack needs, so a program that never opens a video never loads them.
class VideoBackend
{
public:
    virtual ~VideoBackend() = default;

    // nativePath: the file name as the file system spells it. Null when the file cannot be
    // decoded as a video.
    virtual std::unique_ptr<VideoDecoder> openDecoder(const QByteArray &nativePath) = 0;
    // side x side frames at fps, coded as fourcc. Null when nothing can be written there.
    virtual std::unique_ptr<VideoEncoder> openEncoder(const QByteArray &nativePath,
                                                      quint32 fourcc, int fps, int side) = 0;
};

// The one symbol the module exports: its backend, made once and kept for the process.
extern "C" {
using VideoBackendEntry = VideoBackend *(*)();
}
#define HD_VIDEO_BACKEND_ENTRY "hdVideoBackend"
