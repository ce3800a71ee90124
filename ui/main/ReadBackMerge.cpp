#include "ui/main/ReadBackMerge.h"

#include "app/AppGlobals.h"
#include "effect/PlayMediaHandler.h"
#include "effect/ReadRequest.h"
#include "loop/Message.h"
#include "ui/dialogs/ProgressDialog.h"

ReadBackMerge::ReadBackMerge(PlayMediaHandler *handler, QWidget *window)
    : handler(handler), window(window)
{
}

ReadBackMerge::~ReadBackMerge()
{
    for (ReadRequest *request : std::as_const(inFlight)) {
        request->cancel();
        // Withdraws it, or waits until the loop is done with it.
        if (handler)
            handler->removeQueuedFor(request);
    }
    closeBusyDialog();
    qDeleteAll(inFlight);
}

void ReadBackMerge::start(int code, const QString &path, const QString &busyText,
                          const QSize &geometry)
{
    if (isPending())
        return;
    const QSize size = geometry.isValid() ? geometry : QSize(ledCount, lineNumber);
    auto *request = new ReadRequest(++lastNumber, code, path, size);
    inFlight.append(request);
    awaitedNumber = request->number;
    emit busyChanged(true);
    auto *msg = new Message(handler, code);
    msg->object = request;
    msg->text = path;
    handler->sendHandlerMessage(msg);
    dialog = new ProgressDialog(busyText, window);
    dialog->exec();
    closeBusyDialog();
    cancelAwaited();
}

std::unique_ptr<ReadRequest> ReadBackMerge::takeFinished()
{
    std::unique_ptr<ReadRequest> awaited;
    for (auto it = inFlight.begin(); it != inFlight.end();) {
        ReadRequest *request = *it;
        if (!request->isFinished()) {
            ++it;
            continue;
        }
        it = inFlight.erase(it);
        if (request->number == awaitedNumber && request->isAwaited())
            awaited.reset(request);
        else
            delete request;
    }
    if (awaited)
        awaitedNumber = 0;
    if (inFlight.isEmpty())
        emit busyChanged(false);
    return awaited;
}

void ReadBackMerge::closeBusyDialog()
{
    ProgressDialog::finish(dialog);
}

bool ReadBackMerge::isPending() const
{
    const ReadRequest *request = awaitedRequest();
    return request && request->isAwaited();
}

void ReadBackMerge::cancelAwaited()
{
    if (ReadRequest *request = awaitedRequest())
        request->cancel();
    awaitedNumber = 0;
}

ReadRequest *ReadBackMerge::awaitedRequest() const
{
    for (ReadRequest *request : inFlight) {
        if (request->number == awaitedNumber)
            return request;
    }
    return nullptr;
}

ProgressDialog *ReadBackMerge::busyDialog() const
{
    return dialog;
}
