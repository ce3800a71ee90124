#pragma once

#include "app/Outcome.h"
#include "model/GifLayout.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QString>

// Reads the frames of an animated GIF once, in order, as the GIF reader composes them
// (disposal and transparency applied), with how long each lasts. Never wraps around to the
// first frame of a looping GIF and never yields the same frame twice. The file's blocks are
// walked before anything is decoded: a canvas over the pictures' pixel limit is refused, a
// frame the file stops inside is never decoded (the reader would hand it out half drawn),
// and frames nobody wants are left out of the decoding where that cannot change the others.
// A file of another picture format is read as one frame. Works on any thread.
class GifFrameReader
{
public:
    // Canvas area times the frames decoded, at most: a full clip of 1,000 Full-HD frames
    // (2,074 megapixels) fits; a canvas of 4000 x 4000 pixels gives at most 156 frames.
    static constexpr qint64 MaxDecodedMegapixels = 2500;

    explicit GifFrameReader(const QString &path);
    Q_DISABLE_COPY_MOVE(GifFrameReader)

    // The delays (as shown, see shownDelay) of the whole frames, known before decoding;
    // empty for a file refused or unreadable.
    QList<int> delays() const;
    // Before the first next(): only the frames whose entry in wanted is true are handed
    // out, and the reading stops after the last of them. A frame left out is not decoded
    // when the frames handed out look the same without it: it restores the canvas it drew
    // on, or the next frame decoded covers the whole canvas opaquely. Fails, naming the
    // sizes, when what is left to decode is over MaxDecodedMegapixels; and for a file
    // refused or unreadable.
    Outcome keepOnly(const QList<bool> &wanted);

    // The next frame handed out and its delay in milliseconds as shown. False at the end;
    // isDamaged() then tells whether a frame could not be read, errorString() why nothing
    // was. The frame that *frame held is let go first, so the reader composes in place.
    bool next(QImage *frame, int *delayMs);

    // The GIF frame (from 0) next() handed out last.
    int index() const { return current; }
    // GIF frames passed so far, handed out or left out. At a damaged end, the damaged
    // frame's index: the frames before it were read.
    int framesRead() const { return passed; }
    // The read ended on a frame that could not be read, not on the file's end or the last
    // frame wanted. With framesRead() 0 the file is no readable GIF at all.
    bool isDamaged() const { return damaged; }
    // Why the file was refused or could not be read.
    QString errorString() const;

    // Delays of 0 and 10 ms (a GIF's "as fast as possible") last 100 ms, as browsers show them.
    static int shownDelay(int storedMs);

private:
    bool start();
    bool startOther();
    bool nextOther(QImage *frame, int *delayMs);
    bool stop(bool isDamage);

    QFile file;
    QByteArray bytes;       // the file's bytes (mapped where it can be)
    QByteArray stream;      // what the reader decodes: the frames decoded of bytes
    QBuffer device;
    QImageReader reader;
    GifLayout layout;
    QString refusal;        // the file is not read at all
    QString error;          // why a read failed
    QList<bool> wantedFrames;
    QList<int> decoded;     // GIF frames fed to the reader, in order
    qsizetype position = 0; // in decoded
    bool planned = false;
    bool started = false;
    int current = -1;
    int passed = 0;
    int lastNumber = -1;
    bool damaged = false;
    bool over = false;
};
