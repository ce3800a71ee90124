#include "model/FrameFile.h"

#include "model/PictureFile.h"

#include <QFile>
#include <QFileInfo>
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

// The red and blue planes hold differences from green as bytes; they are predicted read as
// signed values, so that predictions near zero do not wrap.
template <bool Signed>
inline int valueOf(quint8 byte)
{
    return Signed ? int(qint8(byte)) : int(byte);
}

// Residuals of one plane: each value less its prediction, modulo 256.
template <bool Signed>
void residualsOf(const quint8 *plane, quint8 *out, int width, int height)
{
    out[0] = plane[0];
    for (int x = 1; x < width; ++x)
        out[x] = quint8(plane[x] - valueOf<Signed>(plane[x - 1]));
    for (int y = 1; y < height; ++y) {
        const quint8 *row = plane + qsizetype(y) * width;
        const quint8 *up = row - width;
        quint8 *res = out + qsizetype(y) * width;
        res[0] = quint8(row[0] - valueOf<Signed>(up[0]));
        for (int x = 1; x < width; ++x)
            res[x] = quint8(row[x] - predict(valueOf<Signed>(row[x - 1]), valueOf<Signed>(up[x]),
                                             valueOf<Signed>(up[x - 1])));
    }
}

// The plane back from its residuals, in the order they were taken.
template <bool Signed>
void rebuild(const quint8 *res, quint8 *plane, int width, int height)
{
    plane[0] = res[0];
    for (int x = 1; x < width; ++x)
        plane[x] = quint8(res[x] + valueOf<Signed>(plane[x - 1]));
    for (int y = 1; y < height; ++y) {
        quint8 *row = plane + qsizetype(y) * width;
        const quint8 *up = row - width;
        const quint8 *in = res + qsizetype(y) * width;
        row[0] = quint8(in[0] + valueOf<Signed>(up[0]));
        for (int x = 1; x < width; ++x)
            row[x] = quint8(in[x] + predict(valueOf<Signed>(row[x - 1]), valueOf<Signed>(up[x]),
                                            valueOf<Signed>(up[x - 1])));
    }
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
        quint8 *green = values + qsizetype(y) * width;
        for (int x = 0; x < width; ++x) {
            const int g = qGreen(row[x]);
            green[x] = quint8(g);
            green[planeSize + x] = quint8(qRed(row[x]) - g);
            green[2 * planeSize + x] = quint8(qBlue(row[x]) - g);
        }
    }
    QByteArray residuals(planeSize * 3, Qt::Uninitialized);
    auto *out = reinterpret_cast<quint8 *>(residuals.data());
    residualsOf<false>(values, out, width, height);
    residualsOf<true>(values + planeSize, out + planeSize, width, height);
    residualsOf<true>(values + 2 * planeSize, out + 2 * planeSize, width, height);
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
    rebuild<false>(in, values, int(width), int(height));
    rebuild<true>(in + planeSize, values + planeSize, int(width), int(height));
    rebuild<true>(in + 2 * planeSize, values + 2 * planeSize, int(width), int(height));
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
    // Only a regular file is opened: opening a FIFO (or a device) to look at its first bytes
    // would wait for a writer.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    char head[sizeof kMagic];
    return file.read(head, sizeof head) == qint64(sizeof head)
           && std::memcmp(head, kMagic, sizeof kMagic) == 0;
}
