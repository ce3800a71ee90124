#include "ui/main/DownloadFlow.h"

#include "app/AppGlobals.h"
#include "app/AppSettings.h"
#include "effect/EffectPlaylist.h"
#include "effect/PlayMediaHandler.h"
#include "loop/Message.h"
#include "ui/dialogs/GetSaveFileDialog.h"
#include "ui/dialogs/ProgressDialog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

DownloadFlow::DownloadFlow(PlayMediaHandler *handler, QWidget *window)
    : handler(handler), window(window)
{
    connect(handler, &PlayMediaHandler::downloadFinished, this, &DownloadFlow::finish);
    connect(handler, &PlayMediaHandler::downloadProgress, this, [this](qint64 done, qint64 total) {
        if (dialog)
            dialog->setProgress(done, total);
    });
}

DownloadFlow::~DownloadFlow()
{
    if (handler)
        handler->removeQueuedFor(this);
    closeBusyDialog();
}

QString DownloadFlow::localFolder() const
{
    return AppSettings().lastFolder(AppSettings::Folder::DownloadLocal, lastBrowseDirectory);
}

void DownloadFlow::setLocalFolder(const QString &directory)
{
    AppSettings().setLastFolder(AppSettings::Folder::DownloadLocal, directory);
}

void DownloadFlow::start(const QString &path, const EffectPlaylist &snapshot)
{
    if (pending)
        return;
    pending = true;
    auto *msg = new Message(handler, PlayMediaHandler::DownloadCode);
    msg->object = this;
    msg->text = path;
    msg->payload = QVariant::fromValue(snapshot);
    handler->sendHandlerMessage(msg);

    dialog = new ProgressDialog(
        QCoreApplication::translate("MainWindow", "dialog_title_downloading"), window);
    dialog->exec();
    closeBusyDialog();
}

void DownloadFlow::finish(const QString &path, const QString &error)
{
    closeBusyDialog();
    pending = false;
    if (error.isEmpty()) {
        QMessageBox::information(
            window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
            QCoreApplication::translate("MainWindow", "dialog_title_download_suc").arg(path),
            QMessageBox::Ok);
    } else {
        QMessageBox::information(
            window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
            QCoreApplication::translate("MainWindow", "dialog_title_download_fail").arg(error),
            QMessageBox::Ok);
    }
}

bool DownloadFlow::refuseWhilePending()
{
    if (!pending)
        return false;
    QMessageBox::information(window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
                             QCoreApplication::translate("MainWindow", "dialog_title_download_busy"),
                             QMessageBox::Ok);
    return true;
}

void DownloadFlow::closeBusyDialog()
{
    ProgressDialog::finish(dialog);
}

QString DownloadFlow::askTarget(const QString &directory)
{
    QString name = lastName;
    if (directory.isEmpty() || !GetSaveFileDialog::askFileName(window, &name))
        return {};
    lastName = name;
    if (!name.endsWith(QStringLiteral(".bin"), Qt::CaseInsensitive))
        name += QStringLiteral(".bin");
    // A root directory ("/", "C:/") already ends with its separator.
    const QString path = (directory.endsWith(u'/') ? directory : directory + u'/') + name;
    if (QFileInfo::exists(path)
        && QMessageBox::question(
               window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
               QCoreApplication::translate("MainWindow", "dialog_title_replace_file").arg(path),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return {};
    return path;
}

ProgressDialog *DownloadFlow::busyDialog() const
{
    return dialog;
}
