#include "ui/main/EffectReadFlow.h"

#include "app/AppGlobals.h"
#include "effect/EffectFileCheck.h"
#include "effect/PlayMediaHandler.h"
#include "effect/ReadRequest.h"
#include "ui/UiLog.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/ReadFailureMessage.h"
#include "ui/playlist/CustomTableModel.h"

#include <QDebug>
#include <QMessageBox>

#include <utility>

EffectReadFlow::EffectReadFlow(PlayMediaHandler *handler, PlaylistController *playlists,
                               QWidget *window)
    : window(window), playlists(playlists), reads(handler, window)
{
}

void EffectReadFlow::previewFromDisk(const std::function<QString()> &chooseDisk)
{
    if (playlists->refuse(PlaylistController::Replace))
        return;
    const QString diskPath = chooseDisk();
    if (diskPath.isEmpty())
        return;
    preview(diskPath + QStringLiteral("/T4.bin"),
            QCoreApplication::translate("MainWindow", "dialog_title_reading_usb"));
}

void EffectReadFlow::previewFile(const QString &path)
{
    preview(path, QCoreApplication::translate("MainWindow", "dialog_title_reading_file"));
}

void EffectReadFlow::preview(const QString &path, const QString &busyText)
{
    // Asked again after a disk was chosen: a download may have started meanwhile.
    if (playlists->refuse(PlaylistController::Replace))
        return;
    const QSize current(ledCount, lineNumber);
    QSize geometry = current;
    const QSize fitting = otherFittingGeometry(path, current);
    if (fitting.isValid()) {
        // A file made for the other known display: offer to read it as that one.
        const auto answer = QMessageBox::question(
            window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
            QCoreApplication::translate("MainWindow", "dialog_title_switch_geometry")
                .arg(fitting.width()).arg(fitting.height()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            geometry = fitting;
    }
    if (!checkBeforeRead(path, geometry, false) || !confirmReplace())
        return;
    // The geometry switches with the read lists, once the file has been read whole.
    read(PlayMediaHandler::PreviewReadCode, path, busyText,
         geometry == current ? QSize() : geometry);
}

void EffectReadFlow::restoreFactory()
{
    if (playlists->refuse(PlaylistController::Replace))
        return;
    // The geometry switches only once the file has been read whole.
    const QSize factory(FactoryLedCount, FactoryLineNumber);
    const QString path = appDirectory + QStringLiteral("/default.bin");
    if (!checkBeforeRead(path, factory, true) || !confirmReplace())
        return;
    read(PlayMediaHandler::FactoryReadCode, path,
         QCoreApplication::translate("MainWindow", "dialog_title_reading_sys"), factory);
}

bool EffectReadFlow::checkBeforeRead(const QString &path, const QSize &geometry, bool factory)
{
    const EffectFileCheck::Outcome outcome =
        EffectFileCheck::check(path, geometry.width(), geometry.height());
    if (outcome.ok())
        return true;
    if (factory && outcome.problem == EffectFileCheck::Missing)
        qCDebug(lcUi).noquote() << "not find system ui file. " << u'"' + path + u'"';
    else
        qCDebug(lcUi) << "#MainWindow# effect file refused" << path << outcome.detail;
    tip(ReadFailureMessage::text(outcome, path, geometry, factory));
    return false;
}

QSize EffectReadFlow::otherFittingGeometry(const QString &path, const QSize &current)
{
    if (EffectFileCheck::check(path, current.width(), current.height()).problem
        != EffectFileCheck::WrongLength)
        return {};
    QSize found;
    int fits = 0;
    for (const QSize known : {QSize(FactoryLedCount, FactoryLineNumber),
                              QSize(kDefaultLedCount, kDefaultLineNumber)}) {
        if (known != current && EffectFileCheck::check(path, known.width(), known.height()).ok()) {
            found = known;
            ++fits;
        }
    }
    return fits == 1 ? found : QSize();
}

bool EffectReadFlow::confirmReplace()
{
    if (playlists->pictures()->itemCount() == 0 && playlists->clips()->itemCount() == 0)
        return true;
    QMessageBox box(QMessageBox::Question,
                    QCoreApplication::translate("MainWindow", "dialog_title_tip"),
                    QCoreApplication::translate("MainWindow", "dialog_title_read_replace"),
                    QMessageBox::Ok | QMessageBox::Cancel, window);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void EffectReadFlow::read(int code, const QString &path, const QString &busyText,
                          const QSize &geometry)
{
    emit readStarting();
    readFailure.clear();
    reads.start(code, path, busyText, geometry);
    if (!readFailure.isEmpty())
        tip(std::exchange(readFailure, {}));
    emit readDone();
}

void EffectReadFlow::readEnded(bool factory)
{
    const std::unique_ptr<ReadRequest> done = reads.takeFinished();
    if (done && !done->outcome().ok()) {
        readFailure = ReadFailureMessage::text(done->outcome(), done->path, done->geometry,
                                               done->code == PlayMediaHandler::FactoryReadCode);
    } else if (done && playlists->inUse()) {
        readFailure = QCoreApplication::translate("MainWindow", "dialog_title_playlist_in_use");
    } else if (done) {
        replacePlaylists(*done);
    }
    if (factory)
        qCDebug(lcUi) << "#MainWindow# restoreFactoryOver 11111111111";
    // The end of a read cancelled earlier leaves the busy dialog of the awaited one open.
    if (done || !reads.isPending())
        reads.closeBusyDialog();
    if (factory)
        qCDebug(lcUi) << "#MainWindow# restoreFactoryOver 22222222222";
}

void EffectReadFlow::replacePlaylists(ReadRequest &request)
{
    // Clearing stops the playback first.
    playlists->replace(request.takeImages(), request.takeMedias());
    emit playlistsReplaced();
    // The records were coded for the geometry they were read with.
    ledCount = request.geometry.width();
    lineNumber = request.geometry.height();
}

void EffectReadFlow::tip(const QString &text)
{
    QMessageBox::information(window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
                             text, QMessageBox::Ok);
}
