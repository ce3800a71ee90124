#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <memory>

class PlayMediaHandler;
class ProgressDialog;
class QWidget;
class ReadRequest;

// Reads of effect files into the playlists: each start() makes a numbered ReadRequest with
// its own stop flag and result lists, sends it to the worker (code 14 preview, 15 factory)
// and runs the busy dialog meanwhile. Only the request of the latest start() is awaited;
// one the user cancelled goes on to its next check and is deleted when its completion
// arrives, whatever comes after it. busy() stays true from the request until every
// completion has arrived, so nothing that would touch the playlists starts in between.
class ReadBackMerge : public QObject
{
    Q_OBJECT
public:
    ReadBackMerge(PlayMediaHandler *handler, QWidget *window);
    // Stops the reads under way at their next record and waits for them; what they read is
    // destroyed.
    ~ReadBackMerge() override;
    Q_DISABLE_COPY_MOVE(ReadBackMerge)

    // Sends the read of path (with the geometry in force, or the one given) and runs the
    // busy dialog with busyText until the read ends or the user cancels; the read is no
    // longer awaited afterwards. Does nothing while a read is awaited; a read cancelled
    // before may still run (the window waits for it, see isBusy()).
    void start(int code, const QString &path, const QString &busyText,
               const QSize &geometry = QSize());
    // The worker has reported an end of a read: finished requests that are no longer awaited
    // are deleted; the awaited one, once finished, is handed to the caller.
    std::unique_ptr<ReadRequest> takeFinished();
    // Ends the busy dialog's run.
    void closeBusyDialog();
    // A read is awaited (between the request and the end of its busy dialog).
    bool isPending() const;
    // Some read's completion has not arrived yet.
    bool isBusy() const { return !inFlight.isEmpty(); }
    ProgressDialog *busyDialog() const;
    // Number of the latest request (0 before the first).
    int lastRequestNumber() const { return lastNumber; }

signals:
    void busyChanged(bool busy);

private:
    void cancelAwaited();
    ReadRequest *awaitedRequest() const;

    PlayMediaHandler *handler;
    QWidget *window;
    QPointer<ProgressDialog> dialog;
    QList<ReadRequest *> inFlight; // owned until their completion is taken
    int lastNumber = 0;
    int awaitedNumber = 0; // 0: none awaited
};
