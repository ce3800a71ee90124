#pragma once

#include <QImage>
#include <QString>

// Where a rendered show goes, frame by frame: a video file, or a stand-in in tests. A sink
// that fails says so from then on (write() or finish() false) with error() telling why;
// discard() then removes whatever it left behind.
class VideoFrameSink
{
public:
    virtual ~VideoFrameSink() = default;

    // side x side frames at fps; false with error() set when nothing can be written.
    virtual bool open(const QString &path, int side, int fps) = 0;
    // The same image may come many times in a row (a picture shown for seconds).
    virtual bool write(const QImage &frame) = 0;
    // Completes the file and checks it holds every frame written.
    virtual bool finish() = 0;
    // Closes without completing and removes the output.
    virtual void discard() = 0;
    virtual QString error() const = 0;
};
