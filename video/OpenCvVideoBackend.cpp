#include "video/OpenCvVideoBackend.h"

#include "video/OpenCvVideoDecoder.h"
#include "video/OpenCvVideoEncoder.h"

std::unique_ptr<VideoDecoder> OpenCvVideoBackend::openDecoder(const QByteArray &nativePath)
{
    auto decoder = std::make_unique<OpenCvVideoDecoder>();
    if (!decoder->open(nativePath))
        return nullptr;
    return decoder;
}

std::unique_ptr<VideoEncoder> OpenCvVideoBackend::openEncoder(const QByteArray &nativePath,
                                                              quint32 fourcc, int fps, int side)
{
    auto encoder = std::make_unique<OpenCvVideoEncoder>();
    if (!encoder->open(nativePath, fourcc, fps, side))
        return nullptr;
    return encoder;
}

extern "C" Q_DECL_EXPORT VideoBackend *hdVideoBackend()
{
    static OpenCvVideoBackend backend;
    return &backend;
}
