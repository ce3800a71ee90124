#include "model/OpaquePngFile.h"

#include <QFile>
#include <QSaveFile>

#include <png.h>

#include <csetjmp>
#include <vector>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t size)
{
    auto *out = static_cast<std::vector<unsigned char> *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void flushNothing(png_structp) {}

// Encodes a 32-bit (A)RGB picture as 8-bit RGB; false on any libpng error. No object with a
// destructor lives between setjmp and a possible longjmp.
bool encode(const QImage &rgb32, OpaquePngFile::Content content, std::vector<unsigned char> *out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const bool photo = content == OpaquePngFile::Content::Photo;
    png_set_write_fn(png, out, appendBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(rgb32.width()), png_uint_32(rgb32.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, photo ? PNG_FILTER_NONE : PNG_FILTER_SUB);
    png_set_compression_level(png, photo ? 0 : 1);
    png_write_info(png, info);
    // Memory order of a 32-bit pixel is B, G, R, A/X: drop the fourth byte, swap to RGB.
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_set_bgr(png);
    for (int y = 0; y < rgb32.height(); ++y)
        png_write_row(png, rgb32.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool OpaquePngFile::save(const QImage &picture, const QString &path, Content content)
{
    if (picture.isNull())
        return false;
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "pixels are read as B, G, R, A bytes");
    const QImage rgb32 = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_RGB32);
    std::vector<unsigned char> png;
    png.reserve(size_t(rgb32.width()) * size_t(rgb32.height()) * 3 + 4096);
    if (!encode(rgb32, content, &png))
        return false;
    // Written through Qt: any path Qt can open, on every platform.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char *>(png.data()), qint64(png.size())) == qint64(png.size())
        && file.commit())
        return true;
    QFile::remove(path);
    return false;
}
