#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

// Animated GIFs written byte by byte (the image writers cannot write GIF): frames of solid
// palette colours, each with its delay, disposal and optional transparent colour, and ways
// to spoil them. Frame i is filled with colour index i + 1 unless told otherwise.
namespace GifFixtures {

// Palette entry i of every fixture: a colour that the LED sampling tells apart.
quint32 paletteColour(int index);

struct Frame
{
    int delayMs = 100;   // rounded down to hundredths of a second
    QRect rect;          // empty for the whole screen
    int colour = -1;     // palette index; -1 for i + 1
    int disposal = 0;    // 0 none, 1 keep, 2 background, 3 previous
    int transparent = -1;  // palette index drawn as transparent; -1 for none
    // A hole of this colour in the frame's middle (e.g. the transparent index); -1 for none.
    int holeColour = -1;
    // Diagonal stripes of every palette colour instead of one colour (a picture-like frame).
    bool stripes = false;
    // The image data stops after one pixel: a frame of any size in a few bytes.
    bool onePixel = false;
};

struct Gif
{
    int width = 40;
    int height = 30;
    bool looping = true;   // with the NETSCAPE2.0 loop extension
    QList<Frame> frames;
};

QByteArray encode(const Gif &gif);
// n frames of the given size, each with delayMs.
Gif frames(int n, int width = 40, int height = 30, int delayMs = 100);
// The same with striped frames, shifted by one pixel from frame to frame.
Gif stripedFrames(int n, int width, int height);
// n frames of one pixel's data each on a canvas of the given size, each with delayMs.
Gif onePixelFrames(int n, int width, int height, int delayMs = 100);
// Frame index (0-based) spoilt: its image block does not start as one, so neither it nor
// anything after it can be read.
QByteArray withCorruptFrame(const Gif &gif, int index);

QString write(const QString &dir, const QString &name, const QByteArray &bytes);

} // namespace GifFixtures
