#pragma once

#include "effect/EffectHost.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <atomic>

class ImageObject;
class MediaObject;
class PlayMediaHandler;
class ProgressDialog;
class QWidget;

// One read of an effect file into the playlists: sends the read (code 14 preview, 15
// factory) naming this object, in which the worker collects the items on the loop thread,
// and runs the busy dialog meanwhile. When the worker reports back, the items go to the
// caller if the read is still awaited, and are destroyed otherwise (the user cancelled).
class ReadBackMerge : public QObject, public EffectHost
{
    Q_OBJECT
public:
    ReadBackMerge(PlayMediaHandler *handler, QWidget *window);
    // Stops a read under way at its next record and waits for it; what it read is destroyed.
    ~ReadBackMerge() override;
    Q_DISABLE_COPY_MOVE(ReadBackMerge)

    // EffectHost, used by the worker on the loop thread.
    std::atomic<bool> &previewPendingFlag() override { return previewPending; }
    QList<ImageObject *> &readImageList() override { return readImages; }
    QList<MediaObject *> &readMediaList() override { return readMedias; }

    // Sends the read of path and runs the busy dialog with busyText until the read ends or
    // the user cancels; the read is no longer awaited afterwards.
    void start(int code, const QString &path, const QString &busyText);
    // The worker has finished: when the read is still awaited and mayReplace, hands the items
    // over (the caller owns them) and returns true; otherwise destroys them.
    bool takeResult(bool mayReplace, QList<ImageObject *> &images, QList<MediaObject *> &medias);
    // Ends the busy dialog's run.
    void closeBusyDialog();
    bool isPending() const { return previewPending; }
    ProgressDialog *busyDialog() const { return dialog; }

private:
    void deleteReadItems();

    PlayMediaHandler *handler;
    QWidget *window;
    QPointer<ProgressDialog> dialog;
    std::atomic<bool> previewPending{false};
    QList<ImageObject *> readImages;
    QList<MediaObject *> readMedias;
};
