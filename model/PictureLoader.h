#pragma once

#include <QImage>
#include <QString>

// Decodes a picture file at full size. Missing, empty or corrupt files and headers whose
// pixels would exceed QImageReader's allocation limit give a null image, never a crash.
class PictureLoader
{
public:
    static QImage load(const QString &path, QString *error = nullptr);
};
