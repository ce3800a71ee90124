#include "ui/main/ConversionRun.h"

#include "show/PlaylistConversion.h"
#include "ui/UiLog.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/main/PlaylistController.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>

#include <atomic>
#include <thread>

namespace {
std::function<void(ProgressDialog *, int, int)> &progressHook()
{
    static std::function<void(ProgressDialog *, int, int)> hook;
    return hook;
}
} // namespace

void ConversionRun::setProgressHook(std::function<void(ProgressDialog *, int, int)> hook)
{
    progressHook() = std::move(hook);
}

ConversionRun::Result ConversionRun::run(PlaylistConversion &conversion, QWidget *window,
                                         PlaylistController &playlists, QString *error)
{
    if (playlists.refuse(PlaylistController::Replace))
        return Result::Refused;
    QElapsedTimer clock;
    clock.start();
    std::atomic<bool> stop{false};
    QPointer<ProgressDialog> dialog = new ProgressDialog(tr("conversion_progress"), window);
    // Receives the worker's queued calls; going first at the return, it takes any call still
    // queued with it, so none outlives what it refers to.
    QObject inbox;
    Outcome outcome;
    bool finished = false;
    std::thread worker([&] {
        const Outcome result = conversion.run(
            [&](int done, int total) {
                QMetaObject::invokeMethod(
                    &inbox,
                    [&dialog, done, total] {
                        if (!dialog)
                            return;
                        dialog->setProgress(done, total);
                        if (progressHook())
                            progressHook()(dialog, done, total);
                    },
                    Qt::QueuedConnection);
            },
            &stop);
        QMetaObject::invokeMethod(
            &inbox,
            [&, result] {
                outcome = result;
                finished = true;
                ProgressDialog::finish(dialog);
            },
            Qt::QueuedConnection);
    });
    dialog->exec();
    // Closed by the user before the end arrived: whatever the workers finished is dropped.
    const bool cancelled = !finished;
    stop = true;
    worker.join();
    delete dialog.data();
    if (cancelled) {
        qCDebug(lcUi) << "playlist conversion cancelled";
        return Result::Cancelled;
    }
    if (!outcome) {
        qCWarning(lcUi).noquote() << "playlist conversion failed:" << outcome.error();
        if (error)
            *error = outcome.error();
        QMessageBox box(QMessageBox::Warning, tr("dialog_title_tip"), tr("conversion_failed"),
                        QMessageBox::Ok, window);
        box.setInformativeText(outcome.error());
        box.exec();
        return Result::Failed;
    }
    // The lists are replaced only when nothing uses their items (checked once more: the
    // sources pass to the new items at the take).
    if (playlists.refuse(PlaylistController::Replace))
        return Result::Refused;
    const QList<ImageObject *> pictures = conversion.takePictures();
    const QList<MediaObject *> clips = conversion.takeClips();
    playlists.replace(pictures, clips);
    qCDebug(lcUi).nospace() << "playlist converted: " << pictures.size() << " pictures, "
                            << clips.size() << " clips in " << clock.elapsed() << " ms";
    return Result::Converted;
}
