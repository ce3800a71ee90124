#include "ui/main/RecoveryOffer.h"

#include "app/AppGlobals.h"
#include "app/LanguageTable.h"
#include "show/RecoveryStore.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "ui/UiLog.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/main/PictureActions.h"
#include "ui/main/PlaylistController.h"

#include <QAbstractButton>
#include <QDebug>
#include <QEventLoop>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <memory>

RecoveryOffer::RecoveryOffer(RecoveryStore &store, PlaylistController &playlists,
                             QWidget *window, std::shared_ptr<ShowHashCache> cache,
                             ShowChoices choices)
    : store(store), playlists(playlists), window(window), cache(std::move(cache)),
      choices(choices)
{
}

QString RecoveryOffer::question(const QDateTime &savedAt)
{
    // In the language the question is asked in, not the system's.
    const QLocale locale = LanguageTable::locale(languageCode);
    const QDateTime local = savedAt.toLocalTime();
    return tr("recovery_offer_text")
        .arg(locale.toString(local.date(), QLocale::LongFormat),
             locale.toString(local.time(), QLocale::ShortFormat));
}

bool RecoveryOffer::run()
{
    QList<RecoveryStore::Copy> copies = store.claimOrphans();
    bool restored = false;
    while (!copies.isEmpty() && !restored) {
        const RecoveryStore::Copy newest = copies.takeFirst();
        QMessageBox box(QMessageBox::Question, tr("dialog_title_tip"),
                        question(newest.savedAt),
                        QMessageBox::Yes | QMessageBox::Discard | QMessageBox::Cancel, window);
        box.button(QMessageBox::Yes)->setText(tr("recovery_restore"));
        box.button(QMessageBox::Cancel)->setText(tr("recovery_later"));
        box.setDefaultButton(QMessageBox::Yes);
        // Closing the box (Escape, its window's close, the session ending) decides nothing:
        // the copies stay for the next start. Without an escape button the box would refuse
        // to close, and with it the program to quit.
        box.setEscapeButton(QMessageBox::Cancel);
        const int answer = box.exec();
        if (answer == QMessageBox::Cancel) {
            qCDebug(lcUi) << "#RecoveryOffer# left for a later start" << newest.path;
            return false;
        }
        if (answer != QMessageBox::Yes) {
            qCDebug(lcUi) << "#RecoveryOffer# declined" << newest.path;
            store.remove(newest.path);
            // An older copy is another instance's show, not an earlier state of this one.
            continue;
        }
        const Outcome outcome = restore(newest.path);
        // Given up half-way: the copy stays for a later start, and so do the older ones.
        if (cancelled)
            return false;
        if (outcome) {
            // It holds the show as restored: kept as this instance's copy, never without one.
            store.adopt(newest.path);
            restored = true;
            break;
        }
        store.remove(newest.path);
        qCWarning(lcUi) << "#RecoveryOffer#" << outcome.error();
        QMessageBox::warning(window, tr("dialog_title_tip"),
                             tr("recovery_failed").arg(outcome.error()), QMessageBox::Ok);
    }
    // The copies not offered are other instances' shows: they wait for a later start.
    return restored;
}

Outcome RecoveryOffer::restore(const QString &path)
{
    ShowInfo info;
    if (Outcome read = ShowFile::readInfo(path, &info); !read)
        return read;
    if (playlists.refuse(PlaylistController::Replace))
        return Outcome::failure(QStringLiteral("the playlist is in use"));
    // At the geometry the copy was made for, its items are taken as stored, byte for byte.
    const int oldLeds = ledCount.load();
    const int oldLines = lineNumber.load();
    ledCount = info.ledCount;
    lineNumber = info.lineNumber;

    ShowFile file(path, cache);
    ShowContent content;
    Outcome outcome;
    std::atomic<bool> stop{false};
    QPointer<ProgressDialog> dialog =
        new ProgressDialog(tr("recovery_restoring"), window);
    // Progress reaches the dialog through the event loop; what arrives after it went is
    // dropped with the relay.
    QObject relay;
    ShowLoadOptions options;
    options.itemThread = QThread::currentThread();
    options.maxPictures = PictureActions::MaxPictures;
    options.stop = &stop;
    options.progress = [&relay, &dialog](int done, int total) {
        QMetaObject::invokeMethod(&relay, [&dialog, done, total] {
            if (dialog && total > 0)
                dialog->setProgress(done, total);
        }, Qt::QueuedConnection);
    };
    std::unique_ptr<QThread> worker(
        QThread::create([&] { outcome = file.load(options, &content); }));
    QObject::connect(worker.get(), &QThread::finished, &relay,
                     [&dialog] { ProgressDialog::finish(dialog); });
    worker->start();
    dialog->exec();
    if (!worker->isFinished()) {
        // Cancelled: the load stops at its next item and leaves nothing behind.
        stop = true;
        cancelled = true;
        QEventLoop wait;
        QObject::connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit);
        if (!worker->isFinished())
            wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    worker->wait();
    ProgressDialog::finish(dialog);
    if (cancelled)
        outcome = Outcome::failure(QStringLiteral("cancelled"));
    if (!outcome) {
        ledCount = oldLeds;
        lineNumber = oldLines;
        return outcome;
    }
    playlists.replace(content);
    // The copy is the show as it was left: later imports are sampled, and the effect file
    // written, as they were then.
    choices.apply(content);
    qCDebug(lcUi) << "#RecoveryOffer# restored" << path << "at" << info.ledCount << "x"
                  << info.lineNumber;
    return outcome;
}
