#pragma once

#include "effect/VideoFrameSink.h"

#include <QImage>

#include <functional>
#include <memory>

class VideoEncoder;

// Writes frames into a video file through the video module (VideoModule, OpenCV's FFmpeg
// writer): MPEG-4 Part 2 ("mp4v") for ".mp4", Motion JPEG ("MJPG") for ".avi", the codecs
// Debian's OpenCV writes.
//
// The writer reports no write errors, so a full disk would leave a truncated file behind a
// claim of success. The sink watches the free space of the target's file system while it
// writes and gives up while a reserve is left, and finish() opens the file again and
// counts its frames.
class VideoFileSink : public VideoFrameSink
{
public:
    // Free space under which writing stops: a few of the encoder's write buffers and frames.
    static constexpr qint64 kReserveBytes = 1024 * 1024;

    // Free bytes of the file system holding a path; -1 when unknown (the check is skipped).
    using SpaceProbe = std::function<qint64(const QString &path)>;

    explicit VideoFileSink(SpaceProbe probe = {});
    ~VideoFileSink() override;
    Q_DISABLE_COPY_MOVE(VideoFileSink)

    bool open(const QString &path, int side, int fps) override;
    bool write(const QImage &frame) override;
    bool finish() override;
    void discard() override;
    QString error() const override { return message; }

    // The fourcc for a file name by its suffix; 0 for a suffix without a codec.
    static int fourccFor(const QString &path);
    // Frames a video file holds by its container; -1 when it cannot be opened.
    static qint64 framesIn(const QString &path);
    static qint64 freeBytes(const QString &path);

private:
    bool fail(const QString &why);

    SpaceProbe probe;
    std::unique_ptr<VideoEncoder> writer;
    QImage lastFrame;  // the last frame written, as the encoder takes it
    qint64 lastKey = 0;
    QString path;
    QString message;
    qint64 written = 0;
    int side = 0;
};
