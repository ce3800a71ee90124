#pragma once

#include "show/ShowFile.h"
#include "show/ShowSnapshot.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>

class RecoveryStore;

// Keeps a store's copy of the show up to date: DelayMs after the last noted change it takes
// a snapshot on the GUI thread (the only time it spends there) and saves it on a worker
// with one ShowFile, so that later saves only write what changed. A change noted while a
// save runs gets exactly one more save after it; nothing ever waits for a save on the GUI
// thread except settle() (which keeps the event loop running) and the end.
//
// While a save runs it reads the items its snapshot names: whoever would destroy or rewrite
// one calls settle() first; a save starts only while mayStart() (see setGate) says the
// items are left alone.
class RecoveryWriter final : public QObject
{
    Q_OBJECT
public:
    static constexpr int DelayMs = 1500;
    // How soon a save the gate held back is tried again.
    static constexpr int RetryMs = 250;
    // Changes that never pause (a held button) put the save off at most this long.
    static constexpr int MaxWaitMs = 10000;

    // capture: the snapshot of the show as it is now, taken on the GUI thread.
    RecoveryWriter(RecoveryStore &store, std::function<ShowSnapshot()> capture,
                   QObject *parent = nullptr);
    // Gives a running save up and waits for it: the items it reads go after this.
    ~RecoveryWriter() override;
    Q_DISABLE_COPY_MOVE(RecoveryWriter)

    void setDelay(int ms) { timer.setInterval(ms); }
    // Asked before each save; while it says no, the save waits (tried every RetryMs).
    void setGate(std::function<bool()> mayStart) { gate = std::move(mayStart); }

    // The show changed: a save follows DelayMs after the last change (at most MaxWaitMs
    // after the first one not saved).
    void noteChange();
    // A save is under way on the worker.
    bool isSaving() const { return running; }
    // A change is not in the copy yet.
    bool hasPendingChange() const { return dirty; }
    // Gives a running save up and lets the event loop run (without the user's input) until
    // it has ended, so the items may go; the change it held is saved again later. Returns at
    // once when no save runs.
    void settle();
    // The show was saved where the user keeps it: the copy goes (after a running save) until
    // the next change.
    void discardCopy();
    // The end: no save starts any more; a running one is given up (it stops before its next
    // item) and waited for, at most timeoutMs; then the copy goes. False when the save did
    // not end in time: the copy goes only once the destructor has waited for it.
    bool finish(int timeoutMs);
    // The end of a run the user did not end (the session ends): a running save is let
    // finish, a change not in the copy yet is saved, both within timeoutMs, and the copy is
    // kept for the next start. False when that did not end in time.
    bool finishKeepingCopy(int timeoutMs);

    // The file the copy is written through (its hash cache may be shared with the show's).
    ShowFile &file() { return showFile; }
    // GUI-thread time of the last save's start, in nanoseconds: the snapshot alone, and the
    // whole start (snapshot and hand-over to the worker). The saves ended so far.
    qint64 lastCaptureNs() const { return captureNs; }
    qint64 lastStartNs() const { return startNs; }
    int savesEnded() const { return ended; }

signals:
    void busyChanged(bool saving);
    // A save has ended (error empty on success; "cancelled" when given up).
    void saved(const QString &error);

private:
    void startSave();
    void saveEnded(const Outcome &outcome);

    RecoveryStore &store;
    std::function<ShowSnapshot()> capture;
    std::function<bool()> gate;
    ShowFile showFile;
    QTimer timer;
    QElapsedTimer changedSince;
    QThreadPool pool;
    std::atomic<bool> cancel{false};
    bool running = false;
    bool dirty = false;
    bool discardAfter = false;
    bool settling = false;
    bool closed = false;
    qint64 captureNs = 0;
    qint64 startNs = 0;
    int ended = 0;
};
