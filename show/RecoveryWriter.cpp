#include "show/RecoveryWriter.h"

#include "show/RecoveryStore.h"
#include "show/ShowLog.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace {

const QLatin1String kCancelled("cancelled");

} // namespace

RecoveryWriter::RecoveryWriter(RecoveryStore &store, std::function<ShowSnapshot()> capture,
                               QObject *parent)
    : QObject(parent), store(store), capture(std::move(capture)), showFile(store.copyPath())
{
    showFile.setStop(&cancel);
    timer.setSingleShot(true);
    timer.setInterval(DelayMs);
    connect(&timer, &QTimer::timeout, this, &RecoveryWriter::startSave);
    // One worker, kept: saves of one file are taken one at a time anyway.
    pool.setMaxThreadCount(1);
    pool.setExpiryTimeout(-1);
}

RecoveryWriter::~RecoveryWriter()
{
    closed = true;
    cancel = true;
    pool.waitForDone();
}

void RecoveryWriter::noteChange()
{
    if (closed || !store.isValid())
        return;
    if (!dirty)
        changedSince.start();
    dirty = true;
    if (!timer.isActive() || changedSince.elapsed() < MaxWaitMs)
        timer.start();
}

void RecoveryWriter::startSave()
{
    if (closed || running || !dirty)
        return;
    if (settling || (gate && !gate())) {
        timer.start(RetryMs);
        return;
    }
    QElapsedTimer clock;
    clock.start();
    ShowSnapshot snapshot = capture();
    captureNs = clock.nsecsElapsed();
    dirty = false;
    // An empty show has nothing to recover: no copy is kept for it.
    if (snapshot.pictures.isEmpty() && snapshot.clips.isEmpty()) {
        store.removeOwnCopy();
        return;
    }
    running = true;
    cancel = false;
    emit busyChanged(true);
    pool.start([this, snapshot = std::move(snapshot)] {
        const Outcome outcome = showFile.save(snapshot);
        QMetaObject::invokeMethod(this, [this, outcome] { saveEnded(outcome); },
                                  Qt::QueuedConnection);
    });
    startNs = clock.nsecsElapsed();
}

void RecoveryWriter::saveEnded(const Outcome &outcome)
{
    running = false;
    ++ended;
    const bool cancelled = !outcome && cancel.load();
    if (cancelled && !dirty && !discardAfter) {
        dirty = true;
        changedSince.start();
    } else if (!outcome && !cancelled) {
        qCWarning(lcShow) << "recovery: the copy was not saved:" << outcome.error();
    }
    qCDebug(lcShow).nospace() << "recovery: save ended" << (outcome ? "" : " without success")
                              << "; the GUI thread spent " << startNs / 1000 << " us on it ("
                              << captureNs / 1000 << " us snapshot)";
    if (discardAfter) {
        discardAfter = false;
        store.removeOwnCopy();
    }
    emit busyChanged(false);
    emit saved(outcome ? QString() : cancelled ? QString(kCancelled) : outcome.error());
    // Changes that came while it ran: one more save, unless a newer change restarted the
    // delay (its timer saves then) or someone waits to change the items.
    if (dirty && !closed && !timer.isActive()) {
        if (settling)
            timer.start();
        else
            startSave();
    }
}

void RecoveryWriter::settle()
{
    if (!running)
        return;
    settling = true;
    cancel = true;
    QEventLoop loop;
    connect(this, &RecoveryWriter::busyChanged, &loop, [&loop](bool saving) {
        if (!saving)
            loop.quit();
    });
    if (running)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the program quits; the items must still not go before the
    // save has (given up, it ends at its next item).
    if (running)
        pool.waitForDone();
    settling = false;
}

void RecoveryWriter::discardCopy()
{
    timer.stop();
    dirty = false;
    if (running) {
        // What it writes is older than the file the show was saved to.
        cancel = true;
        discardAfter = true;
        return;
    }
    store.removeOwnCopy();
}

bool RecoveryWriter::finish(int timeoutMs)
{
    closed = true;
    timer.stop();
    cancel = true;
    if (!pool.waitForDone(timeoutMs)) {
        qCWarning(lcShow) << "recovery: a save did not end within" << timeoutMs
                          << "ms; the end waits for it before the copy goes";
        return false;
    }
    store.removeOwnCopy();
    return true;
}

bool RecoveryWriter::finishKeepingCopy(int timeoutMs)
{
    store.keepOwnCopy();
    timer.stop();
    QElapsedTimer clock;
    clock.start();
    if (!pool.waitForDone(timeoutMs))
        return false;
    // The ended save's report is still on its way: only whether a change waits counts now.
    running = false;
    if (discardAfter) {
        discardAfter = false;
        store.removeOwnCopy();
    }
    if (dirty) {
        // The event loop has ended: nothing changes the items any more.
        gate = nullptr;
        startSave();
        if (!pool.waitForDone(int(qMax<qint64>(0, timeoutMs - clock.elapsed()))))
            return false;
    }
    closed = true;
    running = false;
    return true;
}
