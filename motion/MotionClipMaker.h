#pragma once

#include "model/SamplingMode.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class MediaObject;
class MotionFrameSource;
class VideoClipCutter;

// Makes an ordinary clip item from drawn frames (a text clip's, a transition's): a cutting
// run of a MotionFrameProducer and the usual converters, so the frames get their LED data,
// frame files and previews exactly as video and GIF frames do, and the clip downloads,
// reads back, plays and renders like any other.
//
// Lives on the thread that starts it (the GUI thread for the window: start() returns at
// once and finished() follows there; a worker thread or the command-line tool: runToEnd()).
// The source is shared with the producer thread and only read.
class MotionClipMaker : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        SamplingMode sampling = SamplingMode::Sharp;
        // Each frame's sampling preview "%1_2.png", which the window shows and plays; the
        // command-line tool needs none. The LED data is the same either way.
        bool writeFiles = true;
        // Each frame's picture as its source file "motion_<n>.png", from which a change of
        // geometry or sampling converts the frame. The window's text clips keep them; the
        // command line and transitions (made again from their pair) need none.
        bool writeFramePictures = false;
        // Size of the previews offered while the run works; empty for none.
        QSize previewSize;
    };

    MotionClipMaker(std::shared_ptr<const MotionFrameSource> source, const Options &options,
                    QObject *parent = nullptr);
    // Cancels a run still under way; the frames made so far go with their files.
    ~MotionClipMaker() override;
    Q_DISABLE_COPY_MOVE(MotionClipMaker)

    int frameCount() const;

    void start();
    void cancel();
    // Runs to the end on the calling thread; interrupted() is asked while waiting.
    bool runToEnd(const std::function<bool()> &interrupted = {});

    // After a good run: the clip numbered number, its frames in order, loop count 1; the
    // caller owns it. Null before the end, after a failure and when taken already.
    MediaObject *takeClip(int number);
    QString errorString() const;

signals:
    // Frames handed to the converters so far, of frameCount().
    void progress(int frames, int total);
    void previewReady();
    void finished(bool ok);

private:
    const std::shared_ptr<const MotionFrameSource> source;
    const Options options;
    std::unique_ptr<VideoClipCutter> cutter;
    bool ended = false;
    bool good = false;
};
