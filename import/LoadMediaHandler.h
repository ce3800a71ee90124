#pragma once

#include "import/VideoFile.h"
#include "loop/HandlerMessage.h"

#include <QImage>
#include <QMutex>

#include <atomic>

// The video import's seek previews on the loop thread, over a capture of its own that only
// one thread uses at a time. Code 5 finds how much of an opened video can be read, then
// announces it (vlcPlaying, or vlcOpenFileError when nothing reads); code 17 decodes the
// frame whose index is the message's text.
class LoadMediaHandler : public HandlerMessage
{
    Q_OBJECT
public:
    static constexpr int CodePlaying = 5;
    static constexpr int CodeSeek = 17;

    explicit LoadMediaHandler(HandlerThread *loop, QObject *parent = nullptr);
    // Withdraws its messages and waits for one being handled.
    ~LoadMediaHandler() override;
    Q_DISABLE_COPY_MOVE(LoadMediaHandler)

    // Opens the preview capture; false with errorString() set when the file is no video.
    bool openVideo(const QString &path);
    QString errorString() const;
    double fps() const;
    // The frames that can be read once vlcPlaying() came; the container's claim before.
    qint64 frameCount() const;
    qint64 claimedFrameCount() const;
    bool claimsMore() const;

    // Decodes one frame on the calling thread (null when it cannot be read).
    QImage frameAt(qint64 index);
    // Asks for a preview of frame index after delayMs, replacing any asked for earlier.
    void requestSeek(qint64 index, int delayMs);
    // Withdraws pending previews and waits for one being decoded (a length check is cut
    // short); closes the capture.
    void stopPreviews();

    void handleMessage(Message *msg) override;

signals:
    void vlcOpenFileError();
    void vlcPlaying();
    void signalSeekMediaPosition(const QImage &image, int pos);

private:
    void announce();

    std::atomic<bool> stopping{false};
    mutable QMutex captureMutex;
    VideoFile video;
};
