#include "model/PictureLoader.h"

#include <QImageReader>

QImage PictureLoader::load(const QString &path, QString *error)
{
    QImageReader reader(path);
    // The reader's allocation limit (256 MB unless the application changed it) turns a
    // header that claims a gigantic picture into a clean failure.
    const QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}
