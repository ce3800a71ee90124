#pragma once

#include <QObject>
#include <QPointer>

class PlayMediaHandler;
class ProgressDialog;
class QWidget;
struct EffectPlaylist;

// One download from request to completion: sends the write request (code 8) with the
// playlist snapshot it must write, waits in the busy dialog, and on the echo closes the
// dialog and tells the outcome. The items the snapshot names must stay alive and unchanged
// until then, so the playlist's lock asks isPending() before every change of the playlist.
class DownloadFlow : public QObject
{
    Q_OBJECT
public:
    DownloadFlow(PlayMediaHandler *handler, QWidget *window);
    // Waits for a write under way: the items it reads are destroyed after this.
    ~DownloadFlow() override;
    Q_DISABLE_COPY_MOVE(DownloadFlow)

    // Sends the request and runs the busy dialog; returns once it is closed (by the
    // completion or by the user). Does nothing while another download is pending.
    void start(const QString &path, const EffectPlaylist &snapshot);
    // The completion of the write (code 8, the worker's downloadFinished): ends the wait and
    // tells success (error empty) or failure.
    void finish(const QString &path, const QString &error);
    bool isPending() const { return pending; }
    // While a download is pending: tells the user the playlist cannot change now and
    // returns true.
    bool refuseWhilePending();
    ProgressDialog *busyDialog() const;

    // The file to write in directory: asks for a name (the last one used offered), adds
    // ".bin" unless typed, and asks before an existing file is replaced. Empty when the
    // user cancelled or declined.
    QString askTarget(const QString &directory);
    // The folder of the last local download, offered by the next one (also in the next run).
    QString localFolder() const;
    void setLocalFolder(const QString &directory);

private:
    void closeBusyDialog();

    PlayMediaHandler *handler;
    QWidget *window;
    QPointer<ProgressDialog> dialog;
    bool pending = false;
    QString lastName = QStringLiteral("show");
};
