#include "model/FrameFile.h"

#include "model/PictureFile.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <zstd.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kMagic[8] = {'H', 'D', 'F', 'R', 'A', 'M', 'E', '1'};
constexpr int kHeaderSize = 16;
// Level 1: the converters write frames while they convert; stronger levels cost more than
// they save here.
constexpr int kZstdLevel = 1;

// Median edge predictor: picks the left or upper neighbour at an edge, their gradient
// elsewhere.
inline int predict(int left, int up, int upLeft)
{
    const int high = std::max(left, up);
    const int low = std::min(left, up);
    if (upLeft >= high)
        return low;
    if (upLeft <= low)
        return high;
    return left + up - upLeft;
}

// Plane c of a pixel: 0 green, 1 red minus green, 2 blue minus green. The differences are
// kept as bytes and read signed, so that predictions near zero do not wrap.
inline int planeValue(QRgb pixel, int c)
{
    const int green = qGreen(pixel);
    if (c == 0)
        return green;
    const int other = c == 1 ? qRed(pixel) : qBlue(pixel);
    return int(qint8(quint8(other - green)));
}

inline int fromByte(quint8 byte, int c)
{
    return c == 0 ? int(byte) : int(qint8(byte));
}

// Neighbours of (x, y) in one plane; value(x, y) gives a plane value already known.
template <typename Value>
inline int predictAt(int x, int y, Value value)
{
    if (y == 0)
        return x == 0 ? 0 : value(x - 1, 0);
    if (x == 0)
        return value(0, y - 1);
    return predict(value(x - 1, y), value(x, y - 1), value(x - 1, y - 1));
}

} // namespace

QByteArray FrameFile::encode(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const QImage rgb = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const int height = rgb.height();
    const qsizetype planeSize = qsizetype(width) * height;
    QByteArray planes(planeSize * 3, Qt::Uninitialized);
    auto *values = reinterpret_cast<quint8 *>(planes.data());
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const qsizetype at = qsizetype(y) * width + x;
            for (int c = 0; c < 3; ++c)
                values[planeSize * c + at] = quint8(planeValue(row[x], c));
        }
    }
    QByteArray residuals(planeSize * 3, Qt::Uninitialized);
    auto *out = reinterpret_cast<quint8 *>(residuals.data());
    for (int c = 0; c < 3; ++c) {
        const quint8 *plane = values + planeSize * c;
        const auto value = [plane, width, c](int x, int y) {
            return fromByte(plane[qsizetype(y) * width + x], c);
        };
        quint8 *res = out + planeSize * c;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const qsizetype at = qsizetype(y) * width + x;
                res[at] = quint8(fromByte(plane[at], c) - predictAt(x, y, value));
            }
    }
    const size_t bound = ZSTD_compressBound(size_t(residuals.size()));
    QByteArray file(qsizetype(kHeaderSize + bound), Qt::Uninitialized);
    std::memcpy(file.data(), kMagic, sizeof kMagic);
    qToLittleEndian<quint32>(quint32(width), file.data() + 8);
    qToLittleEndian<quint32>(quint32(height), file.data() + 12);
    const size_t packed = ZSTD_compress(file.data() + kHeaderSize, bound, residuals.constData(),
                                        size_t(residuals.size()), kZstdLevel);
    if (ZSTD_isError(packed))
        return {};
    file.truncate(qsizetype(kHeaderSize + packed));
    return file;
}

QImage FrameFile::decode(const QByteArray &bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.constData(), kMagic, sizeof kMagic) != 0)
        return {};
    const quint32 width = qFromLittleEndian<quint32>(bytes.constData() + 8);
    const quint32 height = qFromLittleEndian<quint32>(bytes.constData() + 12);
    if (width == 0 || height == 0 || width > 65535 || height > 65535
        || qint64(width) * height > PictureFile::MaxPixels)
        return {};
    const qsizetype planeSize = qsizetype(width) * height;
    const char *packed = bytes.constData() + kHeaderSize;
    const size_t packedSize = size_t(bytes.size() - kHeaderSize);
    // The stored length must be exactly three planes: nothing is decoded into a buffer of
    // another size.
    if (ZSTD_getFrameContentSize(packed, packedSize) != static_cast<unsigned long long>(planeSize * 3))
        return {};
    QByteArray residuals(planeSize * 3, Qt::Uninitialized);
    const size_t got = ZSTD_decompress(residuals.data(), size_t(residuals.size()), packed, packedSize);
    if (ZSTD_isError(got) || got != size_t(residuals.size()))
        return {};
    QImage frame(int(width), int(height), QImage::Format_RGB32);
    if (frame.isNull())
        return {};
    const auto *in = reinterpret_cast<const quint8 *>(residuals.constData());
    // Planes are rebuilt one after another; the two differences go into the picture with
    // green, which is complete by then.
    QByteArray planes(planeSize * 3, Qt::Uninitialized);
    auto *values = reinterpret_cast<quint8 *>(planes.data());
    for (int c = 0; c < 3; ++c) {
        quint8 *plane = values + planeSize * c;
        const auto value = [plane, width, c](int x, int y) {
            return fromByte(plane[qsizetype(y) * int(width) + x], c);
        };
        const quint8 *res = in + planeSize * c;
        for (int y = 0; y < int(height); ++y)
            for (int x = 0; x < int(width); ++x) {
                const qsizetype at = qsizetype(y) * width + x;
                plane[at] = quint8(res[at] + predictAt(x, y, value));
            }
    }
    for (int y = 0; y < int(height); ++y) {
        auto *row = reinterpret_cast<QRgb *>(frame.scanLine(y));
        for (int x = 0; x < int(width); ++x) {
            const qsizetype at = qsizetype(y) * width + x;
            const quint8 green = values[at];
            row[x] = qRgb(quint8(green + values[planeSize + at]), green,
                          quint8(green + values[2 * planeSize + at]));
        }
    }
    return frame;
}

bool FrameFile::save(const QImage &picture, const QString &path)
{
    const QByteArray bytes = encode(picture);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    QFile::remove(path);
    return false;
}

QImage FrameFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A frame of the largest size allowed packs to less than its raw size plus a little.
    if (file.size() > PictureFile::MaxPixels * 3 + 65536)
        return {};
    return decode(file.readAll());
}

bool FrameFile::isFrameFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    char head[sizeof kMagic];
    return file.read(head, sizeof head) == qint64(sizeof head)
           && std::memcmp(head, kMagic, sizeof kMagic) == 0;
}
