#pragma once

#include "ui/main/ReadBackMerge.h"

#include <QCoreApplication>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

class PlayMediaHandler;
class PlaylistController;
class ProgressDialog;
class QWidget;
class ReadRequest;

// Reading an effect file into the playlists, from the action to the replaced lists: Preview
// reads "T4.bin" from a chosen disk, Reset the factory effect "default.bin" beside the program
// (and switches the geometry to the factory one once it is read whole). The file is checked
// for the geometry before anything changes, a playlist that holds items is replaced only
// after a confirmation, the read runs on the worker under a busy dialog (ReadBackMerge), and
// its end replaces both lists when it is still awaited and nothing uses the items.
class EffectReadFlow : public QObject
{
    Q_OBJECT
public:
    // Geometry of the factory effect "default.bin".
    static constexpr int FactoryLedCount = 36;
    static constexpr int FactoryLineNumber = 360;

    // window is the parent of the boxes and of the busy dialog.
    EffectReadFlow(PlayMediaHandler *handler, PlaylistController *playlists, QWidget *window);
    Q_DISABLE_COPY_MOVE(EffectReadFlow)

    ReadBackMerge *merge() { return &reads; }
    const ReadBackMerge *merge() const { return &reads; }

    // Preview: asks chooseDisk for a disk (empty: cancelled) once the playlist may change.
    void previewFromDisk(const std::function<QString()> &chooseDisk);
    // The same for an effect file anywhere (one dropped on the window): the geometry it fits,
    // the checks and the confirmation before the playlists are replaced.
    void previewFile(const QString &path);
    // Reset to the factory effect.
    void restoreFactory();
    // The worker has ended a read (previewUsbOver, restoreFactoryOver).
    void readEnded(bool factory);

signals:
    // A read is about to be sent, and the flow is over (replaced, refused or cancelled).
    void readStarting();
    void readDone();
    // The lists now hold what was read.
    void playlistsReplaced();

private:
    void preview(const QString &path, const QString &busyText);
    bool checkBeforeRead(const QString &path, const QSize &geometry, bool factory);
    bool confirmReplace();
    // The one known display geometry other than current the file's length fits, when the
    // file does not fit current; invalid otherwise.
    static QSize otherFittingGeometry(const QString &path, const QSize &current);
    void read(int code, const QString &path, const QString &busyText, const QSize &geometry);
    void replacePlaylists(ReadRequest &request);
    void tip(const QString &text);

    QWidget *window;
    PlaylistController *playlists;
    ReadBackMerge reads;
    // Why the awaited read could not replace the playlist; told once its busy dialog is gone.
    QString readFailure;
};
