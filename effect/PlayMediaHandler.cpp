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

void PlayMediaHandler::traceReport(int code)
{
    qCDebug(lcEffect) << "handlerMessage " << code;
}

void PlayMediaHandler::echo(const Message *msg)
{
    traceReport(msg->code);
    // extra lets the receiver tell one repetition chain from another.
    if (msg->code == PlayFrameCode)
        emit playFrameDue(msg->object, msg->extra);
    else
        emit rowStepDue(msg->object, msg->code, msg->extra);
}

void PlayMediaHandler::download(const Message *msg)
{
    QString error;
    if (msg->payload.canConvert<EffectPlaylist>()) {
        error = downToUsb2(msg->payload.value<EffectPlaylist>(), msg->text);
    } else {
        qCWarning(lcEffect, "#PlayMediaHandler# download without a playlist to write");
        error = QStringLiteral("no playlist to write");
    }
    traceReport(DownloadCode);
    emit downloadFinished(msg->text, error);
}

QString PlayMediaHandler::downToUsb2(const EffectPlaylist &snapshot, const QString &path)
{
    EffectWriter::Hooks hooks;
    int lastPercent = -1;
    // One report per percent: the window's event queue stays short for long shows.
    hooks.progress = [this, &lastPercent](qint64 done, qint64 total) {
        const int percent = int(done * 100 / qMax<qint64>(1, total));
        if (percent != lastPercent) {
            lastPercent = percent;
            emit downloadProgress(done, total);
        }
    };
    const DownloadResult result = EffectWriter::write(snapshot, path, hooks);
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
        const EffectReader::Report report = EffectReader::readFile(
                msg->text, host->previewPendingFlag(), host->readImageList(),
                host->readMediaList(), hooks);
        if (!report.outcome)
            outcome = EffectFileCheck::failure(EffectFileCheck::Unreadable,
                                               report.outcome.error());
        else if (!report.outcome.warnings().isEmpty())
            qCDebug(lcEffect) << "#PlayMediaHandler# readEffectFile" << msg->text
                              << report.outcome.warnings().join(QStringLiteral("; "));
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
    const bool ok = ImageContrast::apply(change);
    traceReport(ContrastCode);
    emit contrastFinished(change.item, change.value, msg->extra, ok);
}
