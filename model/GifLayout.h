#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// The blocks of a GIF file, walked without decoding anything: the canvas the GIF reader
// composes every frame on, each whole frame with what decides how it is composed, and how
// the file ends. A tiny file may claim a huge canvas, so this is what to judge before any
// decoding; the reader's own size (QImageReader::size()) leaves such a canvas out.
class GifLayout
{
public:
    struct Frame
    {
        QRect rect;                // where the image lies on the canvas, as stored
        int disposal = 0;          // 3: the canvas goes back to what it was before the frame
        bool transparent = false;  // has a transparent colour
        bool ownControl = false;   // has a graphic control block of its own
        int delayMs = 100;         // as stored (its own, else the last one before it)
        qint64 start = 0;          // first byte of its blocks: where the previous frame ended
        qint64 end = 0;            // one past its image data
    };

    // Walks data (size bytes) up to the trailer, or up to the end of frame maxFrames when
    // that is not negative.
    static GifLayout walk(const uchar *data, qint64 size, int maxFrames = -1);
    // The same for the file at path (opened as it is; check it is a regular file first).
    static GifLayout ofFile(const QString &path, int maxFrames = -1);

    // The data starts as a GIF.
    bool isGif() const { return gif; }
    // The size frames are composed at: the stored screen size, where a side stored as 0
    // is the first frame's extent (as the GIF reader takes it). Empty without frames.
    QSize canvas() const { return screen; }
    // The whole frames, in file order: each one's image data ends before the file does.
    const QList<Frame> &frames() const { return whole; }
    // The walk did not end cleanly after frames(): the file stops inside a block or after a
    // frame's control block, or holds a block of no known kind. A file that ends after a
    // whole frame without its trailer is not damaged.
    bool isDamaged() const { return damaged; }
    // Bytes before the first frame's blocks: the header and global colour table.
    qint64 headerBytes() const { return header; }

private:
    bool gif = false;
    bool damaged = false;
    QSize screen;
    QList<Frame> whole;
    qint64 header = 0;
};
