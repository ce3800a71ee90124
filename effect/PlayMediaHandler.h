#pragma once

#include "loop/HandlerMessage.h"

class Message;

// The main window's worker on the loop thread: writes and reads effect files, applies
// contrast changes and echoes the steps of the preview playback and of held row buttons back
// to the window, which performs them on the GUI thread. Widget-free: the window is reached
// through EffectHost, the contrast dialog through its invokable addImageContract(int).
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

private:
    void echo(const Message *msg);
    void download(const Message *msg);
    void readEffectFile(const Message *msg);
    void applyContrast(const Message *msg);
};
