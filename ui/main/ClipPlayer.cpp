#include "ui/main/ClipPlayer.h"

#include "effect/PlayMediaHandler.h"
#include "ui/playlist/ClipLength.h"
#include "loop/Message.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"

ClipPlayer::ClipPlayer(PlayMediaHandler *handler, CustomTableModel *clips, QObject *parent)
    : QObject(parent), handler(handler), clips(clips)
{
    connect(handler, &PlayMediaHandler::playFrameDue, this, &ClipPlayer::onFrameDue);
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
    send(++playChain, 0);
    playing = true;
    return true;
}

void ClipPlayer::send(quintptr chain, int delayMs)
{
    auto *msg = new Message(handler, PlayMediaHandler::PlayFrameCode);
    msg->object = playMedia;
    msg->extra = chain;
    handler->sendHandlerMessageAfter(msg, delayMs);
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

void ClipPlayer::onFrameDue(QObject *clip, quintptr chain)
{
    MediaObject *current = playMedia;
    if (!playing || !current || clip != current || chain != playChain
        || !clips->itemsAs<MediaObject>().contains(current) || current->frames.isEmpty())
        return;
    const int n = static_cast<int>(current->frames.size());
    if (playFrame < 0 || playFrame >= n)
        playFrame = 0;
    emit frameShown(current->frames.at(playFrame));
    ++playFrame;
    send(chain, frameIntervalMs(current));
}

int ClipPlayer::frameIntervalMs(MediaObject *clip)
{
    return ClipLength::frameMs(clip);
}
