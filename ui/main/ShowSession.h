#pragma once

#include "app/Outcome.h"
#include "show/ShowSnapshot.h"
#include "ui/main/RecentShows.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class LanguageButtons;
class PlaylistController;
class ProgressDialog;
class QThread;
class QWidget;
class SamplingChoice;
class ShowContent;
class ShowHashCache;
struct ShowInfo;

// The show the window holds: the file it belongs to (none for an untitled one), whether the
// playlist differs from what that file keeps, and New, Open, Save and Save As with the
// question before unsaved changes are dropped.
//
// Modified is told by comparing a snapshot of the playlist (items with their revisions and
// values, geometry, language, sampling) with the one last saved or opened, so an edit undone
// is no change; an untitled show without items has nothing to lose.
//
// Saving takes the snapshot on the GUI thread and writes it on a thread of its own while the
// window goes on; the playlist's lock keeps the items alive and unconverted meanwhile.
// Opening reads the file on a thread of its own under a busy dialog (after a short wait,
// without input to the window) and replaces the playlist only when the whole show was read.
class ShowSession : public QObject
{
    Q_OBJECT
public:
    // What the session asks the user; tests put their own answers in.
    struct Prompts
    {
        // Unsaved changes: Save, Discard or Cancel.
        std::function<QMessageBox::StandardButton()> unsaved;
        // The show to open; empty: cancelled.
        std::function<QString()> chooseOpen;
        // Where to save (suffix added, replacing confirmed); empty: cancelled.
        std::function<QString()> chooseSave;
        // The show was made for another geometry: Yes switches to it, No converts the show
        // for the geometry in force, Cancel does not open it.
        std::function<QMessageBox::StandardButton(const ShowInfo &)> otherGeometry;
        // A failure or a warning, in words.
        std::function<void(const QString &)> tell;
    };

    // Busy dialog of an open shows after this long.
    static constexpr int OpenDialogDelayMs = 300;

    // The playlist, the choices the show keeps, and the window (parent of the dialogs, its
    // title shows the show's name and modified mark).
    ShowSession(PlaylistController *playlists, SamplingChoice *sampling,
                LanguageButtons *languages, QWidget *window);
    // Waits for a save under way: it reads the items.
    ~ShowSession() override;
    Q_DISABLE_COPY_MOVE(ShowSession)

    Prompts prompts;
    // Seam for tests: runs on the saving thread before the file is written.
    std::function<void()> beforeWrite;

    QString path() const { return current; }
    // The show's file name without its suffix, or "Untitled".
    QString displayName() const;
    bool isModified() const;
    bool isSaving() const { return saver != nullptr; }
    RecentShows &recent() { return recentShows; }
    // Shared by whatever else saves this show's items.
    const std::shared_ptr<ShowHashCache> &hashCache() const { return cache; }

    // path with ".hdshow" added when it has no suffix.
    static QString withSuffix(const QString &path);

public slots:
    // Empties the playlist after the question; true when it did.
    bool newShow();
    // Asks, then lets the user choose a show and opens it; true when one was opened.
    bool open();
    // Asks, then opens path; true when it was opened. On failure the playlist is as it was.
    bool openShow(const QString &path);
    // Starts writing the show to its file (Save As for an untitled one); true when a save
    // started. The outcome comes with saveFinished().
    bool save();
    bool saveAs();
    // Saves and waits for the outcome; true when written.
    bool saveAndWait();
    // The question before the window closes; true when it may close.
    bool mayClose();
    // A close asked for by a termination signal does not ask: nobody may be there to answer.
    void closeWithoutAsking() { askOnClose = false; }
    // Something the show keeps may have changed: the modified mark follows.
    void refresh();
    // The window's title shows the name and the mark (after a language change too).
    void updateTitle();

signals:
    void modifiedChanged(bool modified);
    void pathChanged(const QString &path);
    // New or Open replaced the playlist (and perhaps the geometry and language).
    void playlistsReplaced();
    void saveFinished(bool ok);

private:
    // Unsaved changes: true when they were saved or may go.
    bool askToSave();
    bool startSave(const QString &target);
    void saveEnded();
    void waitForSave();
    // Opens path without asking about unsaved changes.
    bool openFile(const QString &path);
    // Reads the show on a thread of its own; *cancelled when the user gave up.
    Outcome load(const QString &path, ShowContent *content, bool *cancelled);
    ShowSnapshot capture() const;
    void setClean(const ShowSnapshot &snapshot, const QString &path);
    void tell(const QString &text);
    QString defaultFolder() const;

    PlaylistController *playlists;
    SamplingChoice *sampling;
    LanguageButtons *languages;
    QPointer<QWidget> window;
    std::shared_ptr<ShowHashCache> cache;
    RecentShows recentShows;
    QString current;
    // What the file holds, as a snapshot of the items it was made from.
    ShowSnapshot clean;
    bool modified = false;
    // The save under way and its outcome (written by its thread before it ends).
    QThread *saver = nullptr;
    Outcome saved;
    struct PendingSave
    {
        QString target;
        ShowSnapshot snapshot;
        int editsSaved = 0; // the undo history's index when the snapshot was taken
    };
    PendingSave pending;
    int saveSerial = 0;
    // An open is under way (the window takes no input meanwhile, but a timer might ask).
    bool opening = false;
    bool askOnClose = true;
    QPointer<ProgressDialog> openDialog;
};
