#pragma once

#include "ui/main/ShowChoices.h"

#include <QObject>

#include <memory>

class LanguageButtons;
class PlaylistController;
class RecoveryStore;
class RecoveryWriter;
class SamplingChoice;
class QWidget;

// The window's recovery copy: owns this instance's copy (RecoveryStore) and its writer,
// notes every change of the show (rows added, removed, moved or changed in either playlist,
// an edit done or undone, the sampling, the language, the geometry), lets a save start only
// while the playlist leaves its items alone (no modal dialog, no read, contrast change or
// download under way) and makes the playlist's destroying and rewriting changes wait for a
// running save. At start it offers to restore a copy an earlier instance left behind.
class ShowRecovery : public QObject
{
    Q_OBJECT
public:
    // How long the end waits for a save under way (it is given up before its next item).
    static constexpr int FinishMs = 5000;

    // directory: where the copies live; empty for the user's data location.
    ShowRecovery(PlaylistController &playlists, QWidget *window,
                 const QString &directory = QString());
    // The end: a save under way is given up and waited for, and the copy goes (see
    // keepCopyAtEnd).
    ~ShowRecovery() override;
    Q_DISABLE_COPY_MOVE(ShowRecovery)

    // Changes of the sampling chosen for imports and of the language count as changes; a
    // restored copy brings back its own.
    void watch(SamplingChoice *sampling, LanguageButtons *languages);

    // Offers to restore the newest copy left by an instance that is gone (after the window
    // shows, before anything else asks); true when one was restored.
    bool offerRestore();
    // The show has been saved to its own file: the copy goes until the next change.
    void showSaved();
    // The run ends without the user's choice (the session ends): the end saves what is not
    // in the copy yet and leaves the copy for the next start.
    void keepCopyAtEnd() { keepAtEnd = true; }

    RecoveryStore &store() const { return *copies; }
    RecoveryWriter &writer() const { return *saver; }

public slots:
    void noteChange();

signals:
    // A copy was restored: the show is unsaved and has no file yet.
    void restored();

private:
    PlaylistController &playlists;
    QWidget *window;
    // Declared first: it outlives the writer, whose saves write its copy.
    std::unique_ptr<RecoveryStore> copies;
    std::unique_ptr<RecoveryWriter> saver;
    ShowChoices choices;
    bool keepAtEnd = false;
};
