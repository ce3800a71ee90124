#include "model/PictureDecoder.h"

#include <QImageReader>

const QImage &PictureDecoder::decode(const QString &path)
{
    QImageReader reader(path);
    // The JPEG reader reuses an image of the same size and format and writes every row of
    // it. Other readers are not known to (GIF frames are composed onto the image they are
    // handed), so they start from an empty image as a fresh read would. A buffer
    // still shared with a copy would be copied on the first write: drop it instead.
    if (reader.format() != QByteArrayLiteral("jpeg") || !picture.isDetached())
        picture = QImage();
    const bool reused = !picture.isNull();
    if (!reader.read(&picture) && reused) {
        // A failed read may leave rows of the previous picture behind: decode once more as
        // a fresh reader does, keeping whatever that leaves in the image.
        picture = QImage();
        QImageReader(path).read(&picture);
    }
    return picture;
}
