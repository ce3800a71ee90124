#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that end a session (SIGINT, SIGTERM, SIGHUP) into an orderly quit of
// the event loop, so destructors run and the private work directory is removed. The handler
// only writes one byte into a socket pair; the quit happens on the GUI thread. Further
// signals never interrupt the clean-up: they only repeat the request, and once the object
// goes after a signal they are ignored while the rest of the program winds down. Elsewhere
// than on Unix it does nothing (Windows ends a GUI program through its window messages).
class ExitSignals : public QObject
{
    Q_OBJECT
public:
    explicit ExitSignals(QObject *parent = nullptr);
    ~ExitSignals() override;
    Q_DISABLE_COPY_MOVE(ExitSignals)

    // The last signal that arrived, 0 for none.
    int received() const { return lastSignal; }

signals:
    void exitRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *notifier = nullptr;
    int lastSignal = 0;
};
