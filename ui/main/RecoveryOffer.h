#pragma once

#include "app/Outcome.h"
#include "ui/main/ShowChoices.h"

#include <QCoreApplication>
#include <QDateTime>

#include <memory>

class PlaylistController;
class RecoveryStore;
class ShowHashCache;
class QWidget;

// The start's question after an instance ended without saving: offers to restore the newest
// copy it left (saying from when), and restores it into the playlist at the geometry it was
// made for (read on a worker, with progress), with the sampling and language it was saved
// with. Restored, it becomes this instance's copy; declined, it goes and the next older one
// is offered, as it is when a copy cannot be read (reported and removed). Each copy is the
// show of an instance of its own, so the copies not offered stay for a later start, as every
// copy does when the offer is put off ("not now", or the box closed).
class RecoveryOffer
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    // cache: the hash cache of the writer of this instance's copy, which takes the restored
    // copy over, so its next save reads nothing again. choices: where the copy's sampling
    // and language go.
    RecoveryOffer(RecoveryStore &store, PlaylistController &playlists, QWidget *window,
                  std::shared_ptr<ShowHashCache> cache = {}, ShowChoices choices = {});

    // Runs the offer; true when a show was restored (the playlist then holds it).
    bool run();

    // The question for a copy saved at savedAt, its date and time as the running language
    // writes them.
    static QString question(const QDateTime &savedAt);
    // Reads the copy at path into the playlist, replacing what it holds, at the copy's
    // geometry, sampling and language; on failure all of them are left as they were.
    Outcome restore(const QString &path);

private:
    RecoveryStore &store;
    PlaylistController &playlists;
    QWidget *window;
    std::shared_ptr<ShowHashCache> cache;
    ShowChoices choices;
    bool cancelled = false;
};
