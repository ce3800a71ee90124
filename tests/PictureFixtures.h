#pragma once

#include <QByteArray>
#include <QString>

// Small picture files made by the tests themselves, hostile ones included: BMP files of
// every bit depth and layout (cut short with QByteArray::left), headers that claim huge
// pictures without their data, binary PNM files, an SVG with text, special files.
namespace PictureFixtures {

enum class BmpLayout {
    Plain,         // BI_RGB, bottom-up rows, 40-byte info header
    BitFields,     // BI_BITFIELDS masks after the info header (16 and 32 bits)
    TopDown,       // negative height
    CoreHeader,    // OS/2 12-byte header, 3-byte palette entries
    Rle8,          // run-length encoded, every row
    Rle8EndsEarly  // run-length encoded, end of picture after the first row
};

// A complete BMP whose pixels vary with x and y; bits is 1, 4, 8, 16, 24 or 32 (8 for RLE).
QByteArray bmp(int width, int height, int bits, BmpLayout layout = BmpLayout::Plain);
// The headers (and colour table) of a BMP claiming this size, without its pixel data.
QByteArray bmpClaiming(int width, int height, int bits = 24);
// A PNG signature and IHDR chunk for a picture of this size, then the start of a zlib
// stream and IEND: no pixel data.
QByteArray pngHeader(int width, int height, int bitDepth = 8);
// A complete binary PNM: kind '4' (PBM), '5' (PGM) or '6' (PPM); maxValue > 255 takes two
// bytes a sample.
QByteArray pnm(char kind, int width, int height, int maxValue = 255);
// An SVG picture with a line of text: its reader needs fonts.
QByteArray svgWithText();

// Writes bytes to dir/name; returns the path, or an empty string on failure.
QString write(const QString &dir, const QString &name, const QByteArray &bytes);
// A picture of a single colour saved by Qt as type ("PNG", "JPEG"); returns the path.
QString writeSolid(const QString &dir, const QString &name, int width, int height,
                   const char *type = "PNG");
// A FIFO at dir/name (nothing ever writes to it); returns the path, empty on failure.
QString makeFifo(const QString &dir, const QString &name);

} // namespace PictureFixtures
