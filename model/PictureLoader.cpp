#include "model/PictureLoader.h"

#include "model/PictureFile.h"

QImage PictureLoader::load(const QString &path, QString *error)
{
    PictureFile file(path);
    QImage image;
    if (file.open() && file.read(&image))
        return image;
    if (error)
        *error = file.error();
    return QImage();
}

QImage PictureLoader::loadCentredSquare(const QString &path, QString *error, QSize *wholeSize)
{
    PictureFile file(path);
    QImage square;
    const bool read = file.open() && file.readCentredSquare(&square);
    if (wholeSize)
        *wholeSize = read ? file.size() : QSize(0, 0);
    if (read)
        return square;
    if (error)
        *error = file.error();
    return QImage();
}
