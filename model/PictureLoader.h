#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Decodes a picture file at full size. Files that PictureFile refuses (not a regular file,
// not a supported format, over the pixel limit, shorter than their header promises) and
// unreadable ones give a null image and a one-line reason, never a crash or a picture
// with rows left unwritten.
class PictureLoader
{
public:
    // error: why the image is null, without the path.
    static QImage load(const QString &path, QString *error = nullptr);
    // Only the picture's centred square, the part every conversion samples: the same
    // pixels as load() then a copy of RoundSquare::centredSquare, a JPEG decoded only
    // there. wholeSize: the whole picture's size (0 x 0 when the image is null).
    static QImage loadCentredSquare(const QString &path, QString *error = nullptr,
                                    QSize *wholeSize = nullptr);
};
