#include "ui/main/ConversionRun.h"

#include "show/PlaylistConversion.h"
#include "ui/UiLog.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/main/PlaylistController.h"
#include "ui/playlist/CustomTableModel.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

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

namespace {

// The originals that have a new item, in list order.
template<typename T>
QList<T *> kept(const QList<T *> &all, const QList<T *> &leftOut, bool dropped)
{
    if (!dropped)
        return all;
    QList<T *> result;
    for (T *item : all)
        if (!leftOut.contains(item))
            result.append(item);
    return result;
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
    const QHash<const QObject *, QString> before = playlists.transitionsJson();
    const QList<ImageObject *> oldPictures = kept(
        playlists.pictures()->itemsAs<ImageObject>(), conversion.unconvertiblePictures(),
        conversion.dropsUnconvertible());
    const QList<MediaObject *> oldClips = kept(playlists.clips()->itemsAs<MediaObject>(),
                                               conversion.unconvertibleClips(),
                                               conversion.dropsUnconvertible());
    const QList<ImageObject *> pictures = conversion.takePictures();
    const QList<MediaObject *> clips = conversion.takeClips();
    // Each new item takes over the transition after its original (the lists keep their order).
    QHash<const QObject *, QString> carried;
    for (qsizetype i = 0; i < qMin(pictures.size(), oldPictures.size()); ++i)
        if (before.contains(oldPictures[i]))
            carried.insert(pictures[i], before.value(oldPictures[i]));
    for (qsizetype i = 0; i < qMin(clips.size(), oldClips.size()); ++i)
        if (before.contains(oldClips[i]))
            carried.insert(clips[i], before.value(oldClips[i]));
    playlists.replace(pictures, clips, carried);
    qCDebug(lcUi).nospace() << "playlist converted: " << pictures.size() << " pictures, "
                            << clips.size() << " clips in " << clock.elapsed() << " ms";
    return Result::Converted;
}
