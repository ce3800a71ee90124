#include "effect/PlayMediaHandler.h"

#include "app/AppGlobals.h"
#include "effect/EffectFileCheck.h"
#include "effect/EffectHost.h"
#include "effect/EffectLog.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectReader.h"
#include "effect/EffectWriter.h"
#include "loop/Message.h"
#include "model/ImageContrast.h"
#include "model/ImageObject.h"

#include <QDebug>
#include <QMetaObject>

PlayMediaHandler::PlayMediaHandler(HandlerThread *loop, QObject *parent)
    : HandlerMessage(loop, parent)
{
    // The signals cross to the GUI thread as queued calls carrying the pointer.
    qRegisterMetaType<Message *>("Message*");
}

PlayMediaHandler::~PlayMediaHandler()
{
    detachFromLoop();
}

void PlayMediaHandler::handleMessage(Message *msg)
{
    switch (msg->code) {
    case PlayFrameCode:
    case PictureTimeUpCode:
    case PictureTimeDownCode:
    case ClipLoopUpCode:
    case ClipLoopDownCode:
        echo(msg);
        break;
    case DownloadCode:
        download(msg);
        break;
    case PreviewReadCode:
        readEffectFile(msg);
        emit previewUsbOver();
        break;
    case FactoryReadCode:
        readEffectFile(msg);
        emit restoreFactoryOver();
        break;
    case ContrastCode:
        applyContrast(msg);
        break;
    default:
        break;
    }
}

void PlayMediaHandler::echo(const Message *msg)
{
    auto *reply = new Message(this, msg->code);
    reply->object = msg->object;
    reply->extra = msg->extra;  // lets the receiver tell one repetition chain from another
    reply->dueTime = msg->dueTime;  // when it was due: the pace it was sent at can be seen
    emit handlerMessage(reply);
}

void PlayMediaHandler::download(const Message *msg)
{
    auto *reply = new Message(this, DownloadCode);
    reply->object = msg->object;
    reply->text = msg->text;
    if (msg->payload.canConvert<EffectPlaylist>()) {
        reply->detail = downToUsb2(msg->payload.value<EffectPlaylist>(), msg->text);
    } else {
        qCWarning(lcEffect, "#PlayMediaHandler# download without a playlist to write");
        reply->detail = QStringLiteral("no playlist to write");
    }
    emit handlerMessage(reply);
}

QString PlayMediaHandler::downToUsb2(const EffectPlaylist &snapshot, const QString &path)
{
    const DownloadResult result = EffectWriter::write(snapshot, path);
    return result.ok ? QString() : result.error;
}

void PlayMediaHandler::readEffectFile(const Message *msg)
{
    auto *host = dynamic_cast<EffectHost *>(msg->object);
    if (!host) {
        qCWarning(lcEffect, "#PlayMediaHandler# readEffectFile without a window to read into");
        return;
    }
    const QSize geometry = host->readGeometry();
    EffectReader::Hooks hooks;
    hooks.ledCount = geometry.isValid() ? geometry.width() : ledCount.load();
    hooks.lineNumber = geometry.isValid() ? geometry.height() : lineNumber.load();
    // Checked again here: the file may have changed since the window looked at it.
    EffectFileCheck::Outcome outcome =
            EffectFileCheck::check(msg->text, hooks.ledCount, hooks.lineNumber);
    if (outcome.ok()) {
        const EffectReader::Result result = EffectReader::readInto(
                msg->text, host->previewPendingFlag(), host->readImageList(),
                host->readMediaList(), hooks);
        if (!result.ok)
            outcome = EffectFileCheck::failure(EffectFileCheck::Unreadable, result.error);
        else if (!result.error.isEmpty())
            qCDebug(lcEffect) << "#PlayMediaHandler# readEffectFile" << msg->text << result.error;
    }
    if (!outcome.ok())
        qCDebug(lcEffect) << "#PlayMediaHandler# readEffectFile" << msg->text << outcome.detail;
    host->readFinished(outcome);
}

void PlayMediaHandler::applyContrast(const Message *msg)
{
    if (msg->payload.canConvert<ContrastChange>()) {
        applyContrastChange(msg, msg->payload.value<ContrastChange>());
        return;
    }
    bool isNumber = false;
    const int value = msg->text.toInt(&isNumber);
    // A garbled value would otherwise apply factor 0 and blacken the picture.
    if (!isNumber || !msg->object) {
        qCWarning(lcEffect) << "#PlayMediaHandler# contrast change refused:" << msg->text;
        return;
    }
    if (!QMetaObject::invokeMethod(msg->object, "addImageContract", Qt::DirectConnection,
                                   Q_ARG(int, value)))
        qCWarning(lcEffect, "#PlayMediaHandler# the contrast target has no addImageContract(int)");
}

void PlayMediaHandler::applyContrastChange(const Message *msg, const ContrastChange &change)
{
    auto *reply = new Message(this, ContrastCode);
    reply->object = change.item;
    reply->extra = msg->extra;
    reply->text = QString::number(change.value);
    if (!ImageContrast::apply(change))
        reply->detail = QStringLiteral("the source picture cannot be loaded");
    emit handlerMessage(reply);
}
