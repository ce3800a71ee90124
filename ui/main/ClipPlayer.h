#pragma once

#include <QObject>

class CustomTableModel;
class ImageObject;
class MediaObject;
class PlayMediaHandler;

// Plays a clip in the main window's preview area: one frame per echo of the play code,
// which comes back from the loop thread after each frame's time on the display until stop(). Every play numbers its
// chain of echoes, so a late echo of an earlier chain ends instead of doubling the pace, and
// an echo is matched to the playing clip by comparing pointers only: the clip it names may
// have been deleted while it was on its way.
class ClipPlayer : public QObject
{
    Q_OBJECT
public:
    ClipPlayer(PlayMediaHandler *handler, CustomTableModel *clips, QObject *parent = nullptr);
    ~ClipPlayer() override;
    Q_DISABLE_COPY_MOVE(ClipPlayer)

    // The clip Play starts (playMedia); null for none.
    void setClip(MediaObject *clip) { playMedia = clip; }
    MediaObject *clip() const { return playMedia; }
    bool isPlaying() const { return playing; }

    // Starts the chain at the first frame; false without a clip.
    bool play();
    void stop();
    // The clip leaves the list: stops first when it is the one playing and forgets it.
    void forget(MediaObject *clip);
    // Answers an echo of the play code (the worker's playFrameDue): shows the next frame and
    // sends the play code again 200 ms later, or ends a stale chain.
    void onFrameDue(QObject *clip, quintptr chain);

    // How long the display shows each frame of clip, as the effect file will store it.
    static int frameIntervalMs(MediaObject *clip);

signals:
    void frameShown(ImageObject *frame);

private:
    void send(quintptr chain, int delayMs);

    PlayMediaHandler *handler;
    CustomTableModel *clips;
    bool playing = false;
    int playFrame = 0;
    quintptr playChain = 0;
    MediaObject *playMedia = nullptr;
};
