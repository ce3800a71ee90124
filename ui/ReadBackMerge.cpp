#include "ui/ReadBackMerge.h"

#include "effect/PlayMediaHandler.h"
#include "loop/Message.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/ProgressDialog.h"

ReadBackMerge::ReadBackMerge(PlayMediaHandler *handler, QWidget *window)
    : QObject(window), handler(handler), window(window)
{
}

ReadBackMerge::~ReadBackMerge()
{
    previewPending = false;
    if (handler)
        handler->removeQueuedFor(this);
    closeBusyDialog();
    deleteReadItems();
}

void ReadBackMerge::start(int code, const QString &path, const QString &busyText)
{
    if (previewPending)
        return;
    previewPending = true;
    auto *msg = new Message(handler, code);
    msg->object = this;
    msg->text = path;
    handler->sendHandlerMessage(msg);
    dialog = new ProgressDialog(busyText, window);
    dialog->exec();
    closeBusyDialog();
    previewPending = false;
}

bool ReadBackMerge::takeResult(bool mayReplace, QList<ImageObject *> &images,
                               QList<MediaObject *> &medias)
{
    if (!previewPending || !mayReplace) {
        deleteReadItems();
        return false;
    }
    images = std::exchange(readImages, {});
    medias = std::exchange(readMedias, {});
    return true;
}

void ReadBackMerge::closeBusyDialog()
{
    ProgressDialog::finish(dialog);
}

void ReadBackMerge::deleteReadItems()
{
    qDeleteAll(readImages);
    readImages.clear();
    qDeleteAll(readMedias);
    readMedias.clear();
}
