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
