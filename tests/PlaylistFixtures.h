#pragma once

#include <QColor>
#include <QList>
#include <QString>

class ImageObject;
class MediaObject;

// Items for playlist tests, built from small solid-colour pictures written into dir (which
// must be the work directory's parent given to initAppGlobals).
namespace PlaylistFixtures {

// A picture file of the given size and colour; returns its path.
QString writePicture(const QString &dir, const QString &name, QColor colour, int width = 90,
                     int height = 60);
// A picture item with a real thumbnail.
ImageObject *makePicture(const QString &dir, int number, double displayTime = 5.0,
                         int kind = 0, QColor colour = Qt::red);
// A clip with frameCount frames numbered 1 ... frameCount.
MediaObject *makeClip(const QString &dir, int number, int frameCount, QColor colour = Qt::green);
// The files an item leaves in the work directory (thumbnail, preview, LED data).
QStringList filesOf(const ImageObject *picture);
QStringList filesOf(const MediaObject *clip);

} // namespace PlaylistFixtures
