#include "effect/ReadRequest.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QThread>

ReadRequest::ReadRequest(int number, int code, const QString &path, const QSize &geometry,
                         QObject *parent)
    : QObject(parent), number(number), code(code), path(path), geometry(geometry)
{
}

ReadRequest::~ReadRequest()
{
    qDeleteAll(images);
    qDeleteAll(medias);
}

void ReadRequest::readFinished(const EffectFileCheck::Outcome &outcome)
{
    // The items were made on the loop thread; the playlist models live on this one.
    QThread *const home = thread();
    for (ImageObject *item : std::as_const(images))
        item->moveToThread(home);
    for (MediaObject *clip : std::as_const(medias)) {
        for (ImageObject *frame : std::as_const(clip->frames))
            frame->moveToThread(home);
        clip->moveToThread(home);
    }
    result = outcome;
    finished.store(true, std::memory_order_release);
}

QList<ImageObject *> ReadRequest::takeImages()
{
    return std::exchange(images, {});
}

QList<MediaObject *> ReadRequest::takeMedias()
{
    return std::exchange(medias, {});
}
