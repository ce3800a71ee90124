#pragma once

#include "loop/HandlerMessage.h"

class Message;
struct ContrastChange;
struct EffectPlaylist;

// The main window's worker on the loop thread: writes and reads effect files, applies
// contrast changes and echoes the steps of the preview playback and of held row buttons back
// to the window, which performs them on the GUI thread. Widget-free and never calling into
// the window: a download message carries the playlist snapshot it writes, a read fills the
// EffectHost it names, the contrast dialog is reached through its invokable
// addImageContract(int). Every report is a signal of its own carrying values, so nothing
// the GUI side receives needs deleting, and a report for a receiver that is gone is simply
// dropped.
class PlayMediaHandler : public HandlerMessage
{
    Q_OBJECT
public:
    enum Code : int {
        PlayFrameCode = 7,
        DownloadCode = 8,
        PictureTimeUpCode = 9,
        PictureTimeDownCode = 10,
        ClipLoopUpCode = 11,
        ClipLoopDownCode = 12,
        PreviewReadCode = 14,
        FactoryReadCode = 15,
        ContrastCode = 16,
    };

    explicit PlayMediaHandler(HandlerThread *loop, QObject *parent = nullptr);
    ~PlayMediaHandler() override;
    Q_DISABLE_COPY_MOVE(PlayMediaHandler)

    void handleMessage(Message *msg) override;

signals:
    // Code 7 came round: the next frame of the clip is due. chain is the sender's number for
    // its run of echoes. The clip is only named: it may be gone by the time this arrives.
    void playFrameDue(QObject *clip, quintptr chain);
    // Codes 9 to 12 came round: the next step of the row editor's held button is due. The
    // editor is only named, as above.
    void rowStepDue(QObject *editor, int code, quintptr chain);
    // Code 8 is done: the effect file at path was written (error empty) or why not.
    void downloadFinished(const QString &path, const QString &error);
    // A download has written done of total records.
    void downloadProgress(qint64 done, qint64 total);
    // Code 16 is done for a change that carried its picture: value applied (ok) or not;
    // serial is the sender's number for the change.
    void contrastFinished(QObject *item, int value, quintptr serial, bool ok);
    void previewUsbOver();
    void restoreFactoryOver();

protected:
    // Loop thread: writes snapshot as an indexed effect file at path. Returns an empty string
    // on success, else the reason.
    virtual QString downToUsb2(const EffectPlaylist &snapshot, const QString &path);

private:
    void echo(const Message *msg);
    static void traceReport(int code);
    void download(const Message *msg);
    void readEffectFile(const Message *msg);
    void applyContrast(const Message *msg);
    // A change that carries its picture (ContrastChange): applied here, then reported back
    // with code 16 naming the item, the value and the sender's serial (extra).
    void applyContrastChange(const Message *msg, const ContrastChange &change);
};
