#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class VideoDecoder;

// One opened video whose frame rate and frame count were checked, read by one thread at a
// time. Frame counts are estimates (reading may end earlier) until probeLength() checked
// them. Frames come upright, turned as the stream's rotation tag asks (as players show them);
// sizes and regions are those of the upright frame. Decoded by the video module
// (VideoModule), loaded at the first open.
class VideoFile
{
public:
    VideoFile();
    ~VideoFile();
    Q_DISABLE_COPY_MOVE(VideoFile)

    static constexpr double MaxFps = 1000.0;

    // False with errorString() set when the file cannot be decoded as a video, or reports no
    // picture size, frames over the pictures' pixel limit (judged before any frame is
    // decoded), a frame rate that is not a number in (0, 1000] or fewer than one frame, or
    // when the video module is missing.
    bool open(const QString &path);
    void close();
    bool isOpen() const;
    // open() failed after the decoder took the file for a video: it was refused for its
    // frame size, rate or count, not for being no video.
    bool wasDecodable() const { return decodable; }
    // Why open() failed, or why the decoder failed (see failed()).
    QString errorString() const { return error; }
    // A read, skip or seek failed because the decoder did (it could not allocate a frame),
    // not because the video ended. Cleared by open().
    bool failed() const { return broken; }

    double fps() const { return rate; }
    qint64 frameCount() const { return count; }
    // The count the container claims, whatever probeLength() found.
    qint64 claimedFrameCount() const { return claimed; }
    QSize frameSize() const { return size; }
    // Clockwise quarter turn (0, 90, 180 or 270 degrees) applied to every decoded frame.
    int rotation() const { return turn; }

    // Finds how many frames can be read in order from the start, which frameCount() then
    // gives: the claimed count when the claimed last frame reads, else the frames read from
    // the start until one fails. The read position is left anywhere. False, with
    // errorString() set, when no frame reads or the decoder failed; false when interrupted()
    // returned true (asked between frames).
    bool probeLength(const std::function<bool()> &interrupted = {});
    // The container claims at least one clip frame's time (100 ms) more than can be read.
    bool claimsMore() const;

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
    // Runs a decoder call; a failure inside the decoder (an allocation that failed) becomes
    // failed().
    template<typename Call>
    bool guarded(Call call);

    std::unique_ptr<VideoDecoder> decoder;
    QString error;
    bool broken = false;
    bool decodable = false;
    double rate = 0.0;
    qint64 count = 0;
    qint64 claimed = 0;
    int turn = 0;
    QSize size;
};
