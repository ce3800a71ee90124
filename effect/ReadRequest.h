#pragma once

#include "effect/EffectFileCheck.h"
#include "effect/EffectHost.h"

#include <QObject>
#include <QSize>

#include <atomic>

// One read of an effect file, from its request to its completion: its own number, stop flag,
// result lists and outcome, so that a read cancelled while it still runs can never mix into
// the next one. Made on the GUI thread and named by the read message; the worker fills it on
// the loop thread and marks it finished before it signals the end of the read.
class ReadRequest : public QObject, public EffectHost
{
    Q_OBJECT
public:
    ReadRequest(int number, int code, const QString &path, const QSize &geometry,
                QObject *parent = nullptr);
    // Destroys whatever was read and not taken.
    ~ReadRequest() override;
    Q_DISABLE_COPY_MOVE(ReadRequest)

    std::atomic<bool> &previewPendingFlag() override { return awaited; }
    QList<ImageObject *> &readImageList() override { return images; }
    QList<MediaObject *> &readMediaList() override { return medias; }
    QSize readGeometry() const override { return geometry; }
    // Loop thread: keeps the outcome and hands the items to this object's thread.
    void readFinished(const EffectFileCheck::Outcome &outcome) override;

    // The reader stops before its next record; the result will be thrown away.
    void cancel() { awaited = false; }
    bool isAwaited() const { return awaited; }
    // True once the worker is done with this request (GUI thread).
    bool isFinished() const { return finished.load(std::memory_order_acquire); }
    // Valid once isFinished().
    const EffectFileCheck::Outcome &outcome() const { return result; }
    QList<ImageObject *> takeImages();
    QList<MediaObject *> takeMedias();

    const int number;
    const int code;
    const QString path;
    const QSize geometry;

private:
    std::atomic<bool> awaited{true};
    std::atomic<bool> finished{false};
    EffectFileCheck::Outcome result;
    QList<ImageObject *> images;
    QList<MediaObject *> medias;
};
