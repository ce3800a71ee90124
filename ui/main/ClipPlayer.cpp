#include "ui/main/ClipPlayer.h"

#include "effect/PlayMediaHandler.h"
#include "ui/playlist/ClipLength.h"
#include "loop/Message.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"

ClipPlayer::ClipPlayer(PlayMediaHandler *handler, CustomTableModel *clips, QObject *parent)
    : QObject(parent), handler(handler), clips(clips)
{
}

ClipPlayer::~ClipPlayer()
{
    if (handler)
        handler->removeQueued(PlayMediaHandler::PlayFrameCode);
}

bool ClipPlayer::play()
{
    if (!playMedia)
        return false;
    playFrame = 0;
    auto *msg = new Message(handler, PlayMediaHandler::PlayFrameCode);
    msg->object = playMedia;
    msg->extra = ++playChain;
    handler->sendHandlerMessageAfter(msg, 0);
    playing = true;
    return true;
}

void ClipPlayer::stop()
{
    handler->removeQueued(PlayMediaHandler::PlayFrameCode);
    playing = false;
}

void ClipPlayer::forget(MediaObject *clip)
{
    if (clip != playMedia)
        return;
    // A play message must never name a destroyed clip.
    if (playing)
        stop();
    playMedia = nullptr;
}

void ClipPlayer::handleEcho(Message *msg)
{
    MediaObject *clip = playMedia;
    if (!playing || !clip || msg->object != clip || msg->extra != playChain
        || !clips->itemsAs<MediaObject>().contains(clip) || clip->frames.isEmpty()) {
        delete msg;
        return;
    }
    const int n = static_cast<int>(clip->frames.size());
    if (playFrame < 0 || playFrame >= n)
        playFrame = 0;
    emit frameShown(clip->frames.at(playFrame));
    ++playFrame;
    handler->sendHandlerMessageAfter(msg, frameIntervalMs(clip));
}

int ClipPlayer::frameIntervalMs(MediaObject *clip)
{
    return ClipLength::frameMs(clip);
}
