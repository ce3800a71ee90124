#include "model/PictureLoader.h"

#include "model/FrameFile.h"
#include "model/PictureFile.h"

QImage PictureLoader::load(const QString &path, QString *error)
{
    // Cut clip frames are kept in the program's own form.
    if (FrameFile::isFrameFile(path)) {
        const QImage frame = FrameFile::load(path);
        if (frame.isNull() && error)
            *error = QStringLiteral("damaged frame file");
        return frame;
    }
    PictureFile file(path);
    QImage image;
    if (file.open() && file.read(&image))
        return image;
    if (error)
        *error = file.error();
    return QImage();
}
