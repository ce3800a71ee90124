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
};
