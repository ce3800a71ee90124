#include "PlaylistFixtures.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace PlaylistFixtures {

QString writePicture(const QString &dir, const QString &name, QColor colour, int width,
                     int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = QDir(dir).filePath(name);
    image.save(path, "PNG");
    return path;
}

ImageObject *makePicture(const QString &dir, int number, double displayTime, int kind,
                         QColor colour)
{
    static int serial = 0;
    const QString path =
        writePicture(dir, QStringLiteral("picture_%1.png").arg(++serial), colour);
    auto *picture = new ImageObject(number, path, displayTime, kind);
    // Give it every file an imported picture has, so destruction can be observed on disk.
    picture->ledData = QByteArray(4096, '\x5a');
    picture->writeLedDataFile();
    QImage preview(450, 450, QImage::Format_RGB32);
    preview.fill(colour);
    picture->saveSamplingPreview(preview);
    return picture;
}

MediaObject *makeClip(const QString &dir, int number, int frameCount, QColor colour)
{
    auto *clip = new MediaObject(number, QStringLiteral("clip.mp4"));
    for (int frame = 1; frame <= frameCount; ++frame)
        clip->frames.append(makePicture(dir, frame, 0.0, ImageObject::KindVideoFrame, colour));
    return clip;
}

QStringList filesOf(const ImageObject *picture)
{
    QStringList files{picture->thumbnailPath(), picture->samplingPreviewPath()};
    if (!picture->bufPath().isEmpty())
        files.append(picture->bufPath());
    return files;
}

QStringList filesOf(const MediaObject *clip)
{
    QStringList files;
    for (const ImageObject *frame : clip->frames)
        files += filesOf(frame);
    return files;
}

} // namespace PlaylistFixtures
