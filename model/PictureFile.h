#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>
#include <QStringList>

// One picture file on its way to being decoded, refused early when it cannot be a picture
// this program takes: anything but a regular file (a FIFO would block the reader forever),
// a format other than the raster ones below (recognised by content, not by name), a
// picture over the pixel limit, and a file shorter than its header promises. Every reason
// is one line of plain text for the user. Decoding gives the pixels a fresh QImageReader
// gives, or nothing: a failed read never hands back a half-filled picture.
class PictureFile
{
public:
    // Pictures up to 200 megapixels (a 20000 x 10000 scan, any phone or camera photo).
    static constexpr int MaxMegapixels = 200;
    static constexpr qint64 MaxPixels = qint64(MaxMegapixels) * 1000 * 1000;

    explicit PictureFile(const QString &path);
    Q_DISABLE_COPY_MOVE(PictureFile)

    // Runs every check that needs no decoding; false with error() set when refused.
    bool open();
    // After open(): decodes the picture. False with error() set (and image null) when the
    // data is unreadable. A JPEG picture of the same size and format is decoded into the
    // buffer image already holds.
    bool read(QImage *image);
    // After open(): the centred square of the picture (RoundSquare::centredSquare) and
    // nothing else, as read() followed by a copy of the square would give it. A JPEG is
    // decoded straight by libjpeg-turbo, only the square's rows and columns, into *buffer
    // when given (see JpegRegionReader::read: kept and reused from one picture to the next);
    // image is then a read-only view into it.
    bool readCentredSquare(QImage *image, QImage *buffer = nullptr);

    // Why the file was refused or could not be read, without the path.
    QString error() const { return why; }
    // After open(): the format found from the content ("png", "jpeg", ...), the picture's
    // size and the pixel format its reader makes (Format_Invalid when unknown).
    QByteArray format() const { return detected; }
    QSize size() const { return pixels; }
    QImage::Format imageFormat() const { return pixelFormat; }
    // After open(): the bytes the decoded picture will take, at least 4 a pixel.
    qint64 decodedBytes() const;

    // The formats taken, as QImageReader names them.
    static const QList<QByteArray> &supportedFormats();
    // The refusal for a picture of this size, or an empty string within the limit.
    static QString sizeRefusal(const QSize &size);

private:
    bool refuse(const QString &reason);
    bool readJpegSquare(QImage *image, QImage *buffer);

    QString path;
    QFile file;
    QImageReader reader;
    QByteArray detected;
    QSize pixels;
    QImage::Format pixelFormat = QImage::Format_Invalid;
    QString why;
};
