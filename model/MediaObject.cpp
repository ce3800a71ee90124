#include "model/MediaObject.h"

#include "model/ImageObject.h"

MediaObject::MediaObject(int number, const QString &sourcePath)
    : sourcePath(sourcePath), number(number)
{
}

MediaObject::~MediaObject()
{
    qDeleteAll(frames);
    frames.clear();
}
