#pragma once

#include <QImage>
#include <QRect>
#include <QtGlobal>

// Decodes one rectangle of a JPEG straight through libjpeg-turbo, giving exactly the pixels
// Qt's JPEG reader gives for that rectangle of the whole picture (Qt's reader runs the same
// library with the same settings): RGB32 for colour and CMYK, Grayscale8 for grey. Only
// the columns and rows the rectangle needs go through the inverse DCT and colour
// conversion. Pictures whose result would not be exactly Qt's (an unusual colour space)
// and damaged data that makes libjpeg give up are declined: the caller reads those with
// Qt's reader, which also applies any EXIF orientation.
class JpegRegionReader
{
public:
    // data: the whole file. region: inside the picture's stored size. The rows are decoded
    // straight into *buffer (a picture as wide as the columns decoded), which is kept for the
    // next call and reused when nothing else holds it any more; image becomes a read-only
    // view of the region in it, keeping it alive. Without a buffer one is made for this
    // call. False (image null) when declined.
    static bool read(const uchar *data, qsizetype size, const QRect &region, QImage *image,
                     QImage *buffer = nullptr);
};
