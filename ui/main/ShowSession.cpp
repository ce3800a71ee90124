#include "ui/main/ShowSession.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowHashCache.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "ui/UiLog.h"
#include "ui/dialogs/FileFilters.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/main/LanguageButtons.h"
#include "ui/main/PictureActions.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/SamplingChoice.h"
#include "ui/main/ShowChoices.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>

#include <utility>

namespace {

QString mainText(const char *key)
{
    return QCoreApplication::translate("MainWindow", key);
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

ShowSession::ShowSession(PlaylistController *playlists, SamplingChoice *sampling,
                         LanguageButtons *languages, QWidget *window)
    : playlists(playlists), sampling(sampling), languages(languages),
      window(window), cache(std::make_shared<ShowHashCache>())
{
    prompts.unsaved = [this] {
        QMessageBox box(QMessageBox::Question, mainText("dialog_title_tip"),
                        tr("dialog_text_show_unsaved").arg(displayName()),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                        this->window);
        box.setInformativeText(tr("dialog_text_show_unsaved_question"));
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        return QMessageBox::StandardButton(box.exec());
    };
    prompts.chooseOpen = [this] {
        return QFileDialog::getOpenFileName(
            this->window, tr("dialog_title_open_show"), defaultFolder(),
            FileFilters::withAllFiles(tr("file_filter_show"),
                                      {QLatin1String(ShowFile::Suffix)}));
    };
    prompts.chooseSave = [this] {
        const QString suggested =
            current.isEmpty()
                ? QDir(defaultFolder()).filePath(withSuffix(tr("Untitled")))
                : current;
        QFileDialog dialog(this->window, tr("dialog_title_save_show"), suggested,
                           FileFilters::filter(tr("file_filter_show"),
                                               {QLatin1String(ShowFile::Suffix)}));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QLatin1String(ShowFile::Suffix));
        // The question comes below, once the suffix is added: the dialog would ask about
        // the name as typed.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        const QString path = withSuffix(dialog.selectedFiles().constFirst());
        if (QFileInfo::exists(path)
            && QMessageBox::question(this->window, mainText("dialog_title_tip"),
                                     mainText("dialog_title_replace_file").arg(path),
                                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes)
            return QString();
        return path;
    };
    prompts.otherGeometry = [this](const ShowInfo &info) {
        QMessageBox box(QMessageBox::Question, mainText("dialog_title_tip"),
                        tr("dialog_text_show_geometry")
                            .arg(info.ledCount)
                            .arg(info.lineNumber)
                            .arg(ledCount.load())
                            .arg(lineNumber.load()),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this->window);
        box.setInformativeText(tr("dialog_text_show_geometry_question"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        return QMessageBox::StandardButton(box.exec());
    };
    prompts.tell = [this](const QString &text) {
        QMessageBox::information(this->window, mainText("dialog_title_tip"), text,
                                 QMessageBox::Ok);
    };

    // Every way the playlist changes passes one of these: rows added, removed, moved or
    // redrawn, an edit done or undone, the sampling or the language chosen.
    for (CustomTableModel *model : {playlists->pictures(), playlists->clips()}) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &ShowSession::refresh);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ShowSession::refresh);
        connect(model, &QAbstractItemModel::rowsMoved, this, &ShowSession::refresh);
        connect(model, &QAbstractItemModel::dataChanged, this, &ShowSession::refresh);
        connect(model, &QAbstractItemModel::modelReset, this, &ShowSession::refresh);
        connect(model, &QAbstractItemModel::layoutChanged, this, &ShowSession::refresh);
    }
    connect(playlists->history(), &QUndoStack::indexChanged, this, &ShowSession::refresh);
    if (sampling)
        connect(sampling->action(), &QAction::toggled, this, &ShowSession::refresh);
    if (languages)
        connect(languages, &LanguageButtons::switched, this, &ShowSession::refresh);
    clean = capture();
    updateTitle();
}

ShowSession::~ShowSession()
{
    if (saver) {
        saver->wait();
        delete saver;
        playlists->releaseItems();
    }
}

QString ShowSession::displayName() const
{
    return current.isEmpty() ? tr("Untitled") : QFileInfo(current).completeBaseName();
}

QString ShowSession::withSuffix(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    const QLatin1String suffix(ShowFile::Suffix);
    return path.endsWith(u'.') ? path + suffix : path + u'.' + suffix;
}

ShowSnapshot ShowSession::capture() const
{
    return playlists->showSnapshot(SamplingChoice::stored());
}

bool ShowSession::isModified() const
{
    // An untitled show without items has nothing to lose, whatever was chosen meanwhile.
    if (current.isEmpty() && playlists->pictures()->itemCount() == 0
        && playlists->clips()->itemCount() == 0)
        return false;
    return !(capture() == clean);
}

void ShowSession::refresh()
{
    const bool now = isModified();
    if (window)
        window->setWindowModified(now);
    if (now != modified) {
        modified = now;
        emit modifiedChanged(now);
    }
}

void ShowSession::updateTitle()
{
    if (!window)
        return;
    window->setWindowTitle(displayName() + QStringLiteral("[*] - ")
                           + mainText("Hologram Display"));
    window->setWindowModified(modified);
}

void ShowSession::setClean(const ShowSnapshot &snapshot, const QString &path)
{
    clean = snapshot;
    if (path != current) {
        current = path;
        emit pathChanged(current);
    }
    updateTitle();
    refresh();
}

void ShowSession::tell(const QString &text)
{
    qCDebug(lcUi).noquote() << "#ShowSession#" << text;
    if (prompts.tell)
        prompts.tell(text);
}

QString ShowSession::defaultFolder() const
{
    if (!current.isEmpty())
        return QFileInfo(current).absolutePath();
    const QStringList recent = recentShows.paths();
    if (!recent.isEmpty())
        return QFileInfo(recent.constFirst()).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// ------------------------------------------------------------------------------ questions

bool ShowSession::askToSave()
{
    waitForSave();
    if (!isModified())
        return true;
    switch (prompts.unsaved ? prompts.unsaved() : QMessageBox::Cancel) {
    case QMessageBox::Save:
        return saveAndWait();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool ShowSession::mayClose()
{
    if (!askOnClose) {
        waitForSave();
        return true;
    }
    if (opening)
        return false;
    return askToSave();
}

// ------------------------------------------------------------------------------ new

bool ShowSession::newShow()
{
    if (opening || playlists->refuse(PlaylistController::Replace) || !askToSave())
        return false;
    // A save asked for above has ended; anything else that took the items meanwhile wins.
    if (playlists->refuse(PlaylistController::Replace))
        return false;
    playlists->clear();
    cache->clear();
    setClean(capture(), QString());
    emit playlistsReplaced();
    return true;
}

// ------------------------------------------------------------------------------ saving

bool ShowSession::save()
{
    if (current.isEmpty())
        return saveAs();
    return startSave(current);
}

bool ShowSession::saveAs()
{
    if (opening)
        return false;
    waitForSave();
    const QString target = prompts.chooseSave ? prompts.chooseSave() : QString();
    return !target.isEmpty() && startSave(absolute(target));
}

bool ShowSession::saveAndWait()
{
    waitForSave();
    const QString target =
        current.isEmpty() ? (prompts.chooseSave ? prompts.chooseSave() : QString()) : current;
    if (target.isEmpty() || !startSave(absolute(target)))
        return false;
    bool ok = false;
    const QMetaObject::Connection result =
        connect(this, &ShowSession::saveFinished, this, [&ok](bool written) { ok = written; });
    waitForSave();
    disconnect(result);
    return ok;
}

bool ShowSession::startSave(const QString &target)
{
    if (opening)
        return false;
    waitForSave();
    // A contrast change converting an item would rewrite the files the save reads.
    if (playlists->isConverting()) {
        tell(mainText("dialog_title_playlist_in_use"));
        return false;
    }
    const ShowSnapshot snapshot = capture();
    const int editsSaved = playlists->history()->index();
    playlists->holdItems();
    saver = QThread::create([this, target, snapshot, shared = cache, hook = beforeWrite] {
        if (hook)
            hook();
        ShowFile file(target, shared);
        saved = file.save(snapshot);
    });
    saver->setObjectName(QStringLiteral("show save"));
    pending = {target, snapshot, editsSaved};
    // The end of an earlier save, taken by a wait before its signal came, is not this one's.
    connect(saver, &QThread::finished, this, [this, serial = ++saveSerial] {
        if (serial == saveSerial)
            saveEnded();
    });
    qCDebug(lcUi) << "#ShowSession# saving" << target << snapshot.itemCount() << "items";
    saver->start();
    return true;
}

void ShowSession::saveEnded()
{
    // Also reached from a wait that ended the save before its signal came.
    if (!saver)
        return;
    const PendingSave ended = std::exchange(pending, PendingSave());
    const QString &target = ended.target;
    saver->wait();
    saver->deleteLater();
    saver = nullptr;
    playlists->releaseItems();
    const Outcome outcome = std::exchange(saved, Outcome());
    if (outcome) {
        // The file now holds what was captured; edits made while it was written stay
        // unsaved.
        setClean(ended.snapshot, target);
        // An edit after the save is not merged into one before it, so one undo goes back
        // to what was saved.
        if (playlists->history()->index() == ended.editsSaved)
            playlists->history()->setClean();
        recentShows.add(target);
        if (!outcome.warnings().isEmpty())
            tell(tr("dialog_text_show_saved_with_warnings")
                     .arg(outcome.warnings().join(u'\n')));
    } else {
        tell(tr("dialog_text_show_save_failed").arg(outcome.error()));
    }
    emit saveFinished(outcome.ok());
}

void ShowSession::waitForSave()
{
    if (!saver)
        return;
    // Paints and timers go on; clicks and keys wait until the file is written. An
    // application on its way out runs no loop: then the thread is waited for.
    QEventLoop loop;
    connect(saver, &QThread::finished, &loop, &QEventLoop::quit);
    if (!saver->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    saveEnded();
}

// ------------------------------------------------------------------------------ opening

bool ShowSession::open()
{
    if (opening || playlists->refuse(PlaylistController::Replace) || !askToSave())
        return false;
    const QString path = prompts.chooseOpen ? prompts.chooseOpen() : QString();
    return !path.isEmpty() && openFile(path);
}

bool ShowSession::openShow(const QString &path)
{
    if (opening || playlists->refuse(PlaylistController::Replace) || !askToSave())
        return false;
    return openFile(path);
}

bool ShowSession::openFile(const QString &chosen)
{
    const QString path = absolute(chosen);
    if (playlists->refuse(PlaylistController::Replace))
        return false;
    ShowInfo info;
    if (const Outcome read = ShowFile::readInfo(path, &info); !read) {
        if (!QFileInfo::exists(path))
            recentShows.remove(path);
        tell(tr("dialog_text_show_open_failed").arg(read.error()));
        return false;
    }
    // Like an effect file read back, the show comes with the display it was made for; the
    // user may keep the geometry in force instead, and the show is converted for it.
    const int oldLeds = ledCount.load();
    const int oldLines = lineNumber.load();
    if (info.ledCount != oldLeds || info.lineNumber != oldLines) {
        const QMessageBox::StandardButton answer =
            prompts.otherGeometry ? prompts.otherGeometry(info) : QMessageBox::Yes;
        if (answer != QMessageBox::Yes && answer != QMessageBox::No)
            return false;
        if (answer == QMessageBox::Yes) {
            // Loading makes LED data for the geometry in force. Nothing else converts
            // meanwhile: the window takes no input until the load is over.
            ledCount = info.ledCount;
            lineNumber = info.lineNumber;
        }
    }
    const auto restoreGeometry = [&] {
        ledCount = oldLeds;
        lineNumber = oldLines;
    };

    ShowContent content;
    bool cancelled = false;
    const Outcome outcome = load(path, &content, &cancelled);
    if (!outcome) {
        restoreGeometry();
        if (!cancelled)
            tell(tr("dialog_text_show_open_failed").arg(outcome.error()));
        return false;
    }
    if (playlists->refuse(PlaylistController::Replace)) {
        restoreGeometry();
        return false;
    }
    playlists->replace(content);
    ShowChoices(sampling, languages).apply(content);
    // What the file holds: a show converted for another geometry, or whose language could
    // not be taken, differs from it.
    ShowSnapshot held = capture();
    held.ledCount = content.savedLedCount;
    held.lineNumber = content.savedLineNumber;
    held.languageCode = content.languageCode;
    held.sampling = content.sampling;
    setClean(held, path);
    recentShows.add(path);
    qCDebug(lcUi) << "#ShowSession# opened" << path << content.converted << "converted";
    emit playlistsReplaced();
    if (!outcome.warnings().isEmpty())
        tell(tr("dialog_text_show_opened_with_warnings").arg(outcome.warnings().join(u'\n')));
    return true;
}

Outcome ShowSession::load(const QString &path, ShowContent *content, bool *cancelled)
{
    opening = true;
    std::atomic<bool> stop{false};
    ShowLoadOptions options;
    options.itemThread = thread();
    options.maxPictures = PictureActions::MaxPictures;
    options.stop = &stop;
    options.progress = [this](int done, int total) {
        QMetaObject::invokeMethod(
            this,
            [this, done, total] {
                if (openDialog)
                    openDialog->setProgress(done, total);
            },
            Qt::QueuedConnection);
    };
    Outcome outcome;
    bool finished = false;
    const std::unique_ptr<QThread> loader(QThread::create(
        [&outcome, &options, content, path, shared = cache] {
            outcome = ShowFile(path, shared).load(options, content);
        }));
    loader->setObjectName(QStringLiteral("show load"));
    QEventLoop loop;
    connect(loader.get(), &QThread::finished, &loop, [&] {
        finished = true;
        ProgressDialog::finish(openDialog);
        loop.quit();
    });
    loader->start();
    // A show that opens at once shows no dialog; the window takes no input meanwhile.
    QTimer::singleShot(OpenDialogDelayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished) {
        openDialog = new ProgressDialog(
            tr("dialog_text_opening_show").arg(QFileInfo(path).fileName()), window);
        openDialog->exec();
        if (!finished) {
            // Cancelled: the load stops at its next item and leaves nothing behind.
            stop = true;
            *cancelled = true;
            ProgressDialog::finish(openDialog);
        }
    }
    // Ends with the load, or at once in an application on its way out: the thread is
    // waited for then.
    if (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    loader->wait();
    opening = false;
    return outcome;
}
