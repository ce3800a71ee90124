#pragma once

#include "model/ClipOrigin.h"

#include <QList>
#include <QObject>
#include <QString>

class ImageObject;

// A clip: frame picture items in play order, repeated loopCount times. Owns its frames.
class MediaObject : public QObject
{
    Q_OBJECT
public:
    MediaObject(int number, const QString &sourcePath);
    ~MediaObject() override;
    Q_DISABLE_COPY_MOVE(MediaObject)

    QList<ImageObject *> frames;
    QString sourcePath;
    int number;
    bool isGif = false;
    int loopCount = 1;
    // Filled by the importers; empty for clips read back from an effect file.
    ClipOrigin origin;
    // Tenths of a second each frame stays lit: 1 for cut videos and GIFs, 2 for clips read
    // back from a slotted file, whose display shows every frame 0.2 s.
    int frameTenths = 1;
};
