#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <memory>

class VideoDecoder;

// One opened video whose frame rate and frame count were checked, read by one thread at a
// time. Frame counts are estimates: reading may end earlier. Decoded by the video module
// (VideoModule), loaded at the first open.
class VideoFile
{
public:
    VideoFile();
    ~VideoFile();
    Q_DISABLE_COPY_MOVE(VideoFile)

    static constexpr double MaxFps = 1000.0;

    // False with errorString() set when the file cannot be decoded as a video, or reports a
    // frame rate that is not a number in (0, 1000], fewer than one frame or no picture size,
    // or when the video module is missing.
    bool open(const QString &path);
    void close();
    bool isOpen() const;
    QString errorString() const { return error; }

    double fps() const { return rate; }
    qint64 frameCount() const { return count; }
    QSize frameSize() const { return size; }

    // Places the next read at frame index (decoding again from the key frame before it).
    bool seek(qint64 index);
    // The next frame in decoding order; null at the end or on a failed read.
    QImage read();
    // The part of the next frame inside region (frame coordinates), converted alone; origin
    // receives its top-left. Null at the end, on a failed read, or when region misses the
    // frame.
    QImage readRegion(const QRect &region, QPoint *origin);
    // Skips the next frame without converting it; false at the end.
    bool skip();

private:
    std::unique_ptr<VideoDecoder> decoder;
    QString error;
    double rate = 0.0;
    qint64 count = 0;
    QSize size;
};
