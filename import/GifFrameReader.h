#pragma once

#include <QImage>
#include <QImageReader>
#include <QString>

// Reads the frames of an animated GIF once, in order, as the GIF reader composes them
// (disposal and transparency applied), with how long each lasts. Never wraps around to the
// first frame of a looping GIF and never yields the same frame twice: it ends when the file
// ends, when a frame cannot be read, or when the reader does not move on to a later frame.
// Works on any thread.
class GifFrameReader
{
public:
    explicit GifFrameReader(const QString &path);
    Q_DISABLE_COPY_MOVE(GifFrameReader)

    // The next frame and its delay in milliseconds as shown (see shownDelay). False at the
    // end; isDamaged() then tells whether a frame could not be read.
    bool next(QImage *frame, int *delayMs);

    int framesRead() const { return count; }
    // The read ended on a frame that could not be read (or on no progress), not on the
    // file's end. With framesRead() 0 the file is no readable GIF at all.
    bool isDamaged() const { return damaged; }
    QString errorString() const { return reader.errorString(); }

    // Delays of 0 and 10 ms (a GIF's "as fast as possible") last 100 ms, as browsers show them.
    static int shownDelay(int storedMs);

private:
    // Whether the file's blocks hold more images than were read or stop short of the
    // trailer: the reader ends on a damaged frame as it ends on the last one.
    bool endsEarly() const;

    const QString path;
    QImageReader reader;
    int count = 0;
    int lastNumber = -1;
    bool damaged = false;
    bool over = false;
};
