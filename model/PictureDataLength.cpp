#include "model/PictureDataLength.h"

#include <QtEndian>
#include <QtNumeric>

#include <limits>

namespace {

constexpr qint64 kFileHeader = 14;
constexpr quint32 kCoreHeader = 12;  // OS/2 1.x: 16-bit sizes, 3-byte palette entries
constexpr quint32 kInfoHeader = 40;
constexpr quint32 kRgb = 0;
constexpr quint32 kBitFields = 3;

template<typename T>
T little(const QByteArray &head, qint64 at)
{
    return qFromLittleEndian<T>(head.constData() + at);
}

// start + rowBytes * rows, or the largest size when that overflows: a header claiming more
// than any file holds.
qint64 span(qint64 start, qint64 rowBytes, qint64 rows)
{
    qint64 data = 0, end = 0;
    if (qMulOverflow(rowBytes, rows, &data) || qAddOverflow(start, data, &end))
        return std::numeric_limits<qint64>::max();
    return end;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads the next decimal number of a PNM header from pos, skipping white space and
// comments; leaves pos on the character after it. -1 when head ends first or no digit is
// there.
qint64 pnmNumber(const QByteArray &head, qint64 &pos)
{
    while (pos < head.size()) {
        if (head.at(pos) == '#') {
            while (pos < head.size() && head.at(pos) != '\n' && head.at(pos) != '\r')
                ++pos;
        } else if (isSpace(head.at(pos))) {
            ++pos;
        } else {
            break;
        }
    }
    qint64 value = 0;
    const qint64 start = pos;
    while (pos < head.size() && head.at(pos) >= '0' && head.at(pos) <= '9') {
        value = value * 10 + (head.at(pos) - '0');
        if (value > std::numeric_limits<qint32>::max())
            return -1;
        ++pos;
    }
    return pos == start || pos >= head.size() ? -1 : value;
}

} // namespace

qint64 PictureDataLength::promised(const QByteArray &head, const QByteArray &format)
{
    if (format == "bmp")
        return ofBmp(head);
    if (format == "pbm" || format == "pgm" || format == "ppm")
        return ofPnm(head);
    return -1;
}

qint64 PictureDataLength::ofBmp(const QByteArray &head)
{
    if (head.size() < kFileHeader + 16 || !head.startsWith("BM"))
        return -1;
    const qint64 offset = little<quint32>(head, 10);
    const quint32 infoSize = little<quint32>(head, 14);
    qint64 width = 0, height = 0;
    int bits = 0;
    quint32 compression = kRgb;
    quint32 colours = 0;
    if (infoSize == kCoreHeader) {
        width = little<qint16>(head, 18);
        height = little<qint16>(head, 20);
        bits = little<quint16>(head, 24);
    } else {
        if (infoSize < kInfoHeader || head.size() < kFileHeader + kInfoHeader)
            return -1;
        width = little<qint32>(head, 18);
        height = little<qint32>(head, 22);
        bits = little<quint16>(head, 28);
        compression = little<quint32>(head, 30);
        colours = little<quint32>(head, 46);
    }
    // Run-length data has no fixed size; its reader starts from a cleared picture instead.
    if (compression != kRgb && compression != kBitFields)
        return -1;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return -1;
    // The reader takes the colour table right after the header (the first 40 bytes of a
    // longer one), then the rows from the data offset when that lies further on.
    qint64 tableEnd = kFileHeader + qMin<quint32>(infoSize, kInfoHeader);
    if (bits <= 8)
        tableEnd += qint64(colours ? colours : 1u << bits) * (infoSize == kCoreHeader ? 3 : 4);
    const qint64 rowBytes = (qAbs(width) * bits + 31) / 32 * 4;
    return span(qMax(offset, tableEnd), rowBytes, qAbs(height));
}

qint64 PictureDataLength::ofPnm(const QByteArray &head)
{
    if (head.size() < 3 || head.at(0) != 'P')
        return -1;
    const char kind = head.at(1);
    if (kind != '4' && kind != '5' && kind != '6')
        return -1;  // the plain (text) variants have no fixed size
    qint64 pos = 2;
    const qint64 width = pnmNumber(head, pos);
    const qint64 height = pnmNumber(head, pos);
    const qint64 maxValue = kind == '4' ? 1 : pnmNumber(head, pos);
    if (width < 0 || height < 0 || maxValue < 0)
        return -1;
    // One white-space character ends the header.
    const qint64 dataStart = pos + 1;
    const qint64 sampleBytes = maxValue > 255 ? 2 : 1;
    qint64 rowBytes = 0;
    if (kind == '4')
        rowBytes = (width + 7) / 8;
    else if (kind == '5')
        rowBytes = width * sampleBytes;
    else
        rowBytes = width * 3 * sampleBytes;
    return span(dataStart, rowBytes, height);
}
