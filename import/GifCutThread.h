#pragma once

#include "import/FrameProducer.h"
#include "import/GifCut.h"
#include "import/GifCutEnd.h"
#include "import/VideoClipCutter.h"

class FrameHandOver;

// The producer of a GIF's cutting run: reads the GIF's frames in order with a reader of its
// own, cuts each onto the 450 x 450 square (the region as for video) and hands it to the
// converters as many times as the timeline says, numbered 1, 2, ... in clip order, each with
// its "loadGif_" file name. Which frames the clip takes follows from their delays before
// anything is decoded: a GIF over the reader's limits fails the run at once, and frames that
// give the clip nothing are left out of the decoding where they can be. A GIF with no
// readable frame fails the run; a damaged frame ends the clip before it. How the reading
// ended is written to *end before the thread ends.
class GifCutThread : public FrameProducer
{
    Q_OBJECT
public:
    GifCutThread(const GifCut &cut, GifCutEnd *end, FrameHandOver *handOver,
                 QObject *parent = nullptr);
    // Stops the hand-over and waits for the thread.
    ~GifCutThread() override;
    Q_DISABLE_COPY_MOVE(GifCutThread)

    // Makes the producer of a cutting run of cut; end must outlive the run.
    static VideoClipCutter::ProducerFactory factory(const GifCut &cut, GifCutEnd *end);

protected:
    void produce() override;

private:
    bool handOverSquare(const QImage &square, qint64 posMs);
    static QString frameFilePath();

    const GifCut cut;
    GifCutEnd *const end;
    int made = 0;
};
