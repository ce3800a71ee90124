#include "model/PictureLoader.h"

#include "model/FrameFile.h"
#include "model/RoundSquare.h"
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

QImage PictureLoader::loadCentredSquare(const QString &path, QString *error, QSize *wholeSize)
{
    // Frame files are the program's own form, which the picture reader does not know.
    if (FrameFile::isFrameFile(path)) {
        const QImage frame = load(path, error);
        if (wholeSize)
            *wholeSize = frame.isNull() ? QSize(0, 0) : frame.size();
        const QRect square = RoundSquare::centredSquare(frame.size());
        return frame.isNull() || square == frame.rect() ? frame : frame.copy(square);
    }
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
