#pragma once

#include <QHash>
#include <QImage>
#include <QObject>

class ImageObject;
class PlayMediaHandler;

// Contrast changes on their way through the loop thread. A change is applied 200 ms after
// it is posted, and a newer change for the same picture withdraws the one still waiting, so
// a burst of slider moves costs one conversion with the last value. Each change carries the
// picture, the value and the source picture, never the dialog, so closing the dialog right
// after a move still applies it. A picture counts as in use from its first change until the
// completion of its latest one: it must not be destroyed meanwhile.
class ContrastJobs : public QObject
{
    Q_OBJECT
public:
    static constexpr int DelayMs = 200;

    ContrastJobs(PlayMediaHandler *handler, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ContrastJobs)

    void post(ImageObject *item, int value, const QImage &source);
    // The completion (code 16, the worker's contrastFinished) of a change: for the item's
    // latest change, stores the factor when the rebuild succeeded and emits applied().
    void finish(QObject *item, int value, quintptr changeSerial, bool ok);
    bool isBusy() const { return !latest.isEmpty(); }
    bool uses(const ImageObject *item) const;

signals:
    // The item's latest change has been applied (ok) or could not be (no source picture).
    void applied(ImageObject *item, bool ok);
    void busyChanged(bool busy);

private:
    PlayMediaHandler *handler;
    QHash<const ImageObject *, quintptr> latest; // item -> serial of its latest change
    quintptr serial = 0;
};
