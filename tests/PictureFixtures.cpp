#include "PictureFixtures.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <sys/stat.h>

namespace PictureFixtures {

namespace {

void put16(QByteArray &bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void put32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void putBig32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToBigEndian(value, raw);
    bytes.append(raw, 4);
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void pngChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    putBig32(png, quint32(data.size()));
    const QByteArray typed = QByteArray(type) + data;
    png.append(typed);
    putBig32(png, crc32(typed));
}

// One row of pixel data in a BMP's own layout, padded to 4 bytes.
QByteArray bmpRow(int width, int bits, int y)
{
    const int rowBytes = (width * bits + 31) / 32 * 4;
    QByteArray row(rowBytes, '\0');
    const int used = (width * bits + 7) / 8;
    for (int i = 0; i < used; ++i)
        row[i] = char((i * 37 + y * 11 + 5) & 0xff);
    return row;
}

QByteArray rle8(int width, int height, bool endEarly)
{
    QByteArray data;
    const int rows = endEarly ? 1 : height;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; x += 200) {
            data.append(char(qMin(200, width - x)));
            data.append(char((y * 13 + x) & 0xff));
        }
        if (y + 1 < rows)
            data.append("\0\0", 2);  // end of line
    }
    data.append("\0\1", 2);  // end of picture
    return data;
}

} // namespace

QByteArray bmp(int width, int height, int bits, BmpLayout layout)
{
    const bool core = layout == BmpLayout::CoreHeader;
    const bool rle = layout == BmpLayout::Rle8 || layout == BmpLayout::Rle8EndsEarly;
    const bool fields = layout == BmpLayout::BitFields;
    const int paletteEntries = bits <= 8 ? 1 << bits : 0;
    const int entryBytes = core ? 3 : 4;
    const int infoSize = core ? 12 : 40;
    const int masksBytes = fields ? 12 : 0;
    const quint32 offset = 14 + infoSize + masksBytes + paletteEntries * entryBytes;

    QByteArray pixels;
    if (rle) {
        pixels = rle8(width, height, layout == BmpLayout::Rle8EndsEarly);
    } else {
        for (int y = 0; y < height; ++y)
            pixels.append(bmpRow(width, bits, y));
    }

    QByteArray file("BM");
    put32(file, offset + quint32(pixels.size()));
    put32(file, 0);
    put32(file, offset);
    put32(file, quint32(infoSize));
    if (core) {
        put16(file, quint16(width));
        put16(file, quint16(height));
        put16(file, 1);
        put16(file, quint16(bits));
    } else {
        put32(file, quint32(width));
        put32(file, quint32(layout == BmpLayout::TopDown ? -height : height));
        put16(file, 1);
        put16(file, quint16(bits));
        put32(file, rle ? 1u : fields ? 3u : 0u);
        put32(file, quint32(pixels.size()));
        put32(file, 2835);
        put32(file, 2835);
        put32(file, 0);
        put32(file, 0);
    }
    if (fields) {
        const bool wide = bits == 32;
        put32(file, wide ? 0x00ff0000u : 0xf800u);
        put32(file, wide ? 0x0000ff00u : 0x07e0u);
        put32(file, wide ? 0x000000ffu : 0x001fu);
    }
    for (int i = 0; i < paletteEntries; ++i) {
        const int level = paletteEntries > 1 ? i * 255 / (paletteEntries - 1) : 0;
        file.append(char(level));
        file.append(char(255 - level));
        file.append(char((level * 3) & 0xff));
        if (!core)
            file.append('\0');
    }
    return file + pixels;
}

QByteArray bmpClaiming(int width, int height, int bits)
{
    QByteArray file = bmp(1, 1, bits);
    file.truncate(qFromLittleEndian<quint32>(file.constData() + 10));
    char raw[4];
    qToLittleEndian(quint32(width), raw);
    file.replace(18, 4, raw, 4);
    qToLittleEndian(quint32(height), raw);
    file.replace(22, 4, raw, 4);
    return file;
}

QByteArray pngHeader(int width, int height, int bitDepth)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    putBig32(header, quint32(width));
    putBig32(header, quint32(height));
    header.append(char(bitDepth));
    header.append(char(6));  // RGBA
    header.append(QByteArray(3, '\0'));
    pngChunk(png, "IHDR", header);
    pngChunk(png, "IDAT", QByteArray("\x78\x9c", 2));  // a zlib stream that stops at once
    pngChunk(png, "IEND", QByteArray());
    return png;
}

QByteArray pnm(char kind, int width, int height, int maxValue)
{
    QByteArray file = QByteArray("P") + kind + "\n# made by a test\n"
                      + QByteArray::number(width) + ' ' + QByteArray::number(height) + '\n';
    if (kind != '4')
        file += QByteArray::number(maxValue) + '\n';
    const int sample = maxValue > 255 ? 2 : 1;
    const qsizetype rowBytes = kind == '4' ? (width + 7) / 8
                               : kind == '5' ? qsizetype(width) * sample
                                             : qsizetype(width) * 3 * sample;
    for (qsizetype i = 0; i < rowBytes * height; ++i)
        file.append(char((i * 29 + 3) & (maxValue > 255 ? 0xff : maxValue & 0xff)));
    return file;
}

QByteArray svgWithText()
{
    return QByteArrayLiteral("<?xml version=\"1.0\"?>\n"
                             "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" "
                             "height=\"100\"><text x=\"10\" y=\"50\">Hello</text></svg>\n");
}

QString write(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

QString writeSolid(const QString &dir, const QString &name, int width, int height,
                   const char *type)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 160, 220));
    const QString path = QDir(dir).filePath(name);
    return image.save(path, type) ? path : QString();
}

QString makeFifo(const QString &dir, const QString &name)
{
    const QString path = QDir(dir).filePath(name);
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
}

} // namespace PictureFixtures
