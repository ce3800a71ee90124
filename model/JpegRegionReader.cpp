#include "model/JpegRegionReader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jpeglib.h>
}

namespace {

struct ErrorManager : jpeg_error_mgr
{
    std::jmp_buf jump;
};

extern "C" void exitWithJump(j_common_ptr info)
{
    std::longjmp(static_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings (corrupt data the library works around) are counted, not printed.
extern "C" void dropMessage(j_common_ptr) {}

// The 4-byte pixel layout of Format_RGB32 in memory, alpha filled with 0xff as Qt's
// RGB888-to-RGB32 conversion does.
constexpr J_COLOR_SPACE kRgb32Layout =
    Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// Everything between setjmp and a possible longjmp lives in the caller or in libjpeg's own
// pools, so a jump skips no destructor. On success *skip is the region's first column in
// the rows decoded into *rows.
bool decode(jpeg_decompress_struct *info, ErrorManager *errors, const QRect &region,
            QImage *rows, int *skip)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_read_header(info, TRUE);
    // The format Qt's reader makes of each colour space; anything else is left to it.
    QImage::Format format = QImage::Format_Invalid;
    bool cmyk = false;
    switch (info->out_color_space) {
    case JCS_GRAYSCALE:
        format = QImage::Format_Grayscale8;
        break;
    case JCS_RGB:
        // The same colour conversion as RGB, written straight in the picture's layout.
        format = QImage::Format_RGB32;
        info->out_color_space = kRgb32Layout;
        break;
    case JCS_CMYK:
        format = QImage::Format_RGB32;
        cmyk = true;
        break;
    default:
        return false;
    }
    jpeg_calc_output_dimensions(info);
    const QRect whole(0, 0, int(info->output_width), int(info->output_height));
    if (region.isEmpty() || !whole.contains(region))
        return false;

    jpeg_start_decompress(info);
    // Upsampled chroma at the edge of a cropped part is computed as at a picture edge, so
    // the part decoded reaches one iMCU beyond the region on every side, where the picture
    // has more: the region's own pixels are then those of a whole decode.
    const int marginX = info->max_h_samp_factor * DCTSIZE;
    const int marginY = info->max_v_samp_factor * DCTSIZE;
    JDIMENSION left = JDIMENSION(qMax(0, region.x() - marginX));
    JDIMENSION width = JDIMENSION(qMin(whole.width(), region.right() + 1 + marginX)) - left;
    if (left != 0 || width != JDIMENSION(whole.width()))
        jpeg_crop_scanline(info, &left, &width);
    const int firstRow = qMax(0, region.y() - marginY);
    if (firstRow > 0 && jpeg_skip_scanlines(info, JDIMENSION(firstRow)) != JDIMENSION(firstRow))
        return false;

    // The rows go straight into the picture, as wide as the columns decoded: no copy.
    const QSize rowsSize(int(info->output_width), region.height());
    if (rows->size() != rowsSize || rows->format() != format || !rows->isDetached())
        *rows = QImage(rowsSize, format);
    if (rows->isNull())
        return false;
    uchar *const first = rows->bits();
    const qsizetype stride = rows->bytesPerLine();
    JSAMPARRAY above = (*info->mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
        info->output_width * JDIMENSION(info->output_components), 1);
    while (int(info->output_scanline) <= region.bottom()) {
        const int y = int(info->output_scanline) - region.y();
        JSAMPROW row = y < 0 ? above[0] : first + y * stride;
        if (jpeg_read_scanlines(info, &row, 1) != 1)
            return false;
        if (y < 0 || !cmyk)
            continue;
        // Qt's reader turns CMYK (as stored, Adobe's inverted values included) into RGB so;
        // each pixel in place, 4 bytes either way.
        for (uchar *in = row; in < row + rowsSize.width() * 4; in += 4) {
            const int k = in[3];
            const QRgb pixel = qRgb(k * in[0] / 255, k * in[1] / 255, k * in[2] / 255);
            std::memcpy(in, &pixel, 4);
        }
    }
    *skip = region.x() - int(left);
    // Damaged data (a progressive picture cut short above all) is smoothed across blocks
    // that a part decoded alone does not see the same way: Qt's reader takes those.
    return errors->num_warnings == 0;
}

void dropRows(void *rows)
{
    delete static_cast<QImage *>(rows);
}

} // namespace

bool JpegRegionReader::read(const uchar *data, qsizetype size, const QRect &region,
                            QImage *image, QImage *buffer)
{
    if (!data || size <= 0 || quint64(size) > quint64(~0UL))
        return false;
    // A view handed out earlier keeps its rows; once it is gone they can take the next picture.
    *image = QImage();
    QImage scratch;
    QImage *rows = buffer ? buffer : &scratch;
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors);
    errors.error_exit = exitWithJump;
    errors.output_message = dropMessage;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    int skip = 0;
    const bool done = decode(&info, &errors, region, rows, &skip);
    jpeg_destroy_decompress(&info);
    if (!done)
        return false;
    // Read-only, so nothing written to the view reaches the rows; they live as long as it.
    const int bytesPerPixel = rows->depth() / 8;
    *image = QImage(rows->constBits() + qsizetype(skip) * bytesPerPixel, region.width(),
                    region.height(), rows->bytesPerLine(), rows->format(), dropRows,
                    new QImage(*rows));
    return true;
}
