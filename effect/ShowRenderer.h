#pragma once

#include "effect/OrderedPipeline.h"
#include "effect/ShowTimeline.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <utility>

class EffectRecordFile;
class VideoFrameSink;

// Plays an effect file into a video in real time: frame i shows the round LED picture of the
// record lit at i / fps seconds, on black. Each record is drawn once while it stays in a
// bounded cache, so a picture held for seconds or a looped clip costs one drawing per record.
// Drawing costs more than encoding, so the records of the frames ahead are drawn on helper
// threads (one per core, read from the file on the calling thread) while frames are written.
class ShowRenderer
{
public:
    struct Options
    {
        int side = 450;
        int fps = 10;
        // Called after every frame with the frames done and the total.
        std::function<void(qint64 done, qint64 total)> progress;
    };

    struct Result
    {
        bool ok = false;
        QString error;
        qint64 framesWritten = 0;
    };

    // Images of this many bytes at most stay drawn.
    static constexpr qint64 kCacheBytes = 64 * 1024 * 1024;

    ShowRenderer(EffectRecordFile &records, const ShowTimeline &timeline, const Options &options);
    ~ShowRenderer();
    Q_DISABLE_COPY_MOVE(ShowRenderer)

    // Writes the whole show to sink (opened here on path). Stops before the next frame when
    // keepGoing turns false; on any failure or stop the sink's output is discarded.
    Result render(VideoFrameSink &sink, const QString &path, const std::atomic<bool> &keepGoing);

    // The round picture of one record, as the video shows it.
    QImage frameOf(int record);

private:
    using Drawing = std::pair<int, QImage>; // record and its round picture

    // Starts drawing the records of the frames up to `until` that are neither drawn nor
    // being drawn, while fewer drawings than helpers are in flight.
    void drawAhead(qint64 until);
    bool isDrawingOrDrawn(int record) const;
    void keep(int record, const QImage &image);

    EffectRecordFile &records;
    const ShowTimeline timeline;
    const Options options;
    QHash<int, QImage> drawn;
    qint64 drawnBytes = 0;
    QSet<int> drawing; // records given to the pipeline and not delivered yet
    qint64 nextAhead = 0;
    // Last: destroyed first, delivering what is still drawn into the members above.
    OrderedPipeline<Drawing> pipeline;
};
