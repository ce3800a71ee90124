#include "model/PictureFile.h"

#include "app/InputFileCheck.h"
#include "model/GifLayout.h"
#include "model/JpegRegionReader.h"
#include "model/PictureDataLength.h"
#include "model/RoundSquare.h"

namespace {

// Qt's readers refuse to allocate more than a process-wide number of megabytes, 128 by
// default: about 33 megapixels at 4 bytes a pixel, refused as an unreadable file. The
// pixel limit of PictureFile is the one meant, so Qt's is raised until a picture at it fits
// even at 8 bytes a pixel (16-bit channels). Raised while the program loads, before any
// thread decodes, because Qt's readers read the value without a lock.
constexpr int kAllocationLimitMb = int((PictureFile::MaxPixels * 8 + (1 << 20) - 1) >> 20);
[[maybe_unused]] const bool allocationLimitRaised = [] {
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    return true;
}();

// Megapixels rounded up to a tenth, so a picture just over the limit never reads as at it.
QString megapixels(qint64 pixels)
{
    const qint64 tenths = (pixels + 99'999) / 100'000;
    if (tenths % 10 == 0)
        return QString::number(tenths / 10);
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

} // namespace

PictureFile::PictureFile(const QString &path) : path(path) {}

const QList<QByteArray> &PictureFile::supportedFormats()
{
    // Raster formats whose readers need no fonts or windowing system and whose damaged
    // files are either refused before decoding or fail cleanly. Vector formats (SVG needs
    // fonts and aborts without a GUI application), icons and text bitmaps are refused.
    static const QList<QByteArray> formats{"png", "jpeg", "bmp", "gif", "pbm", "pgm", "ppm"};
    return formats;
}

QString PictureFile::sizeRefusal(const QSize &size)
{
    const qint64 count = qint64(size.width()) * size.height();
    if (count <= MaxPixels)
        return QString();
    return QStringLiteral("%1 x %2 pixels (%3 megapixels) is over the limit of %4 megapixels")
        .arg(size.width())
        .arg(size.height())
        .arg(megapixels(count))
        .arg(MaxMegapixels);
}

bool PictureFile::refuse(const QString &reason)
{
    why = reason;
    return false;
}

bool PictureFile::open()
{
    // Looked at before opening: opening a FIFO waits for a writer, and a device never ends.
    if (const QString problem = InputFileCheck::problem(path); !problem.isEmpty())
        return refuse(problem);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("cannot be opened (%1)").arg(file.errorString()));
    const QByteArray head = file.peek(PictureDataLength::HeadBytes);

    reader.setDevice(&file);
    detected = reader.format();
    if (detected.isEmpty())
        return refuse(QStringLiteral("not a readable picture (%1)").arg(reader.errorString()));
    if (!supportedFormats().contains(detected)) {
        QStringList names;
        for (const QByteArray &name : supportedFormats())
            names.append(QString::fromLatin1(name));
        return refuse(QStringLiteral("%1 is not a supported picture format (supported: %2)")
                          .arg(QString::fromLatin1(detected), names.join(QStringLiteral(", "))));
    }
    // Qt's BMP reader gives the height of a picture stored top-down as negative.
    pixels = reader.size();
    pixels = QSize(qAbs(pixels.width()), qAbs(pixels.height()));
    // Qt's GIF reader gives the first frame's extent when the canvas is far larger, yet
    // decodes onto the whole canvas: that is the size to judge.
    if (detected == "gif") {
        if (const QSize canvas = GifLayout::ofFile(path, 1).canvas(); !canvas.isEmpty())
            pixels = canvas;
    }
    if (pixels.width() <= 0 || pixels.height() <= 0)
        return refuse(QStringLiteral("not a readable picture (no size in its header)"));
    const QString over = sizeRefusal(pixels);
    if (!over.isEmpty())
        return refuse(over);
    const qint64 needed = PictureDataLength::promised(head, detected);
    if (needed > file.size())
        return refuse(QStringLiteral("truncated: its header promises %1 bytes, the file has %2")
                          .arg(needed)
                          .arg(file.size()));
    pixelFormat = reader.imageFormat();
    return true;
}

qint64 PictureFile::decodedBytes() const
{
    int bytesPerPixel = 4;
    if (pixelFormat != QImage::Format_Invalid)
        bytesPerPixel = qMax(bytesPerPixel, QImage::toPixelFormat(pixelFormat).bitsPerPixel() / 8);
    return qint64(pixels.width()) * pixels.height() * bytesPerPixel;
}

bool PictureFile::read(QImage *image)
{
    if (detected == "bmp") {
        // Run-length BMP data may skip pixels or stop early, and the reader leaves those
        // untouched. Handed a picture of the header's size and format it decodes into it,
        // so they stay cleared instead of showing what the memory held before.
        *image = QImage(pixels, pixelFormat);
        image->fill(0);
    }
    // A failed read can leave a picture with rows never written: it is dropped.
    if (!reader.read(image) || image->isNull()) {
        *image = QImage();
        return refuse(QStringLiteral("not a readable picture (%1)").arg(reader.errorString()));
    }
    return true;
}

bool PictureFile::readJpegSquare(QImage *image, QImage *buffer)
{
    // Qt's reader would turn the picture by its EXIF orientation when told to; it is left
    // to do that itself.
    if (detected != "jpeg" || (reader.autoTransform()
                               && reader.transformation() != QImageIOHandler::TransformationNone))
        return false;
    // Read whole through a second handle: the reader's own stays where Qt's reader left it,
    // and a file cut short meanwhile gives a short read, not the fault a mapping would.
    QFile whole(path);
    if (!whole.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = whole.read(file.size());
    return JpegRegionReader::read(reinterpret_cast<const uchar *>(bytes.constData()),
                                  bytes.size(), RoundSquare::centredSquare(pixels), image, buffer);
}

bool PictureFile::readCentredSquare(QImage *image, QImage *buffer)
{
    if (readJpegSquare(image, buffer))
        return true;
    // Anything declined (damaged data included) goes the ordinary way, with its errors.
    if (!read(image))
        return false;
    const QRect square = RoundSquare::centredSquare(image->size());
    if (square != image->rect())
        *image = image->copy(square);
    return true;
}
