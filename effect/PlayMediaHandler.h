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
// addImageContract(int).
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
    // An echo or completion message for the window, which owns it from then on.
    void handlerMessage(Message *msg);
    void previewUsbOver();
    void restoreFactoryOver();

protected:
    // Loop thread: writes snapshot as an indexed effect file at path. Returns an empty string
    // on success, else the reason.
    virtual QString downToUsb2(const EffectPlaylist &snapshot, const QString &path);

private:
    void echo(const Message *msg);
    void download(const Message *msg);
    void readEffectFile(const Message *msg);
    void applyContrast(const Message *msg);
    // A change that carries its picture (ContrastChange): applied here, then reported back
    // with code 16 naming the item, the value and the sender's serial (extra).
    void applyContrastChange(const Message *msg, const ContrastChange &change);
};
