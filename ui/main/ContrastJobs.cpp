#include "ui/main/ContrastJobs.h"

#include "effect/PlayMediaHandler.h"
#include "loop/Message.h"
#include "model/ImageContrast.h"
#include "model/ImageObject.h"

ContrastJobs::ContrastJobs(PlayMediaHandler *handler, QObject *parent)
    : QObject(parent), handler(handler)
{
    connect(handler, &PlayMediaHandler::contrastFinished, this, &ContrastJobs::finish);
}

void ContrastJobs::post(ImageObject *item, int value, const QImage &source)
{
    if (!item)
        return;
    // Only this picture's waiting change goes: another picture's change, posted from a
    // dialog closed a moment ago, still comes. Waits while this picture is being rebuilt,
    // so that afterwards nothing of it is left on the loop but the new change.
    handler->removeQueuedFor(item);
    const bool wasBusy = isBusy();
    latest.insert(item, ++serial);
    auto *msg = new Message(handler, PlayMediaHandler::ContrastCode);
    msg->object = item;
    msg->extra = serial;
    msg->text = QString::number(value);
    msg->payload = QVariant::fromValue(ContrastChange{item, value, source});
    handler->sendHandlerMessageAfter(msg, DelayMs);
    if (!wasBusy)
        emit busyChanged(true);
}

void ContrastJobs::finish(QObject *object, int value, quintptr changeSerial, bool ok)
{
    // Used only once found among the pictures in use, which are kept alive meanwhile.
    auto *item = static_cast<ImageObject *>(object);
    const auto it = latest.constFind(item);
    // An earlier change of the picture, superseded while it ran.
    if (it == latest.constEnd() || it.value() != changeSerial)
        return;
    latest.erase(it);
    if (ok)
        item->contrastFactor = float(value) / 10.0f;
    emit applied(item, ok);
    if (!isBusy())
        emit busyChanged(false);
}

bool ContrastJobs::uses(const ImageObject *item) const
{
    return latest.contains(item);
}
