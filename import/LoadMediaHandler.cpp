#include "import/LoadMediaHandler.h"

#include "import/ImportLog.h"
#include "loop/Message.h"

LoadMediaHandler::LoadMediaHandler(HandlerThread *loop, QObject *parent)
    : HandlerMessage(loop, parent)
{
}

LoadMediaHandler::~LoadMediaHandler()
{
    stopping = true;
    detachFromLoop();
}

bool LoadMediaHandler::openVideo(const QString &path)
{
    QMutexLocker lock(&captureMutex);
    stopping = false;
    return video.open(path);
}

QString LoadMediaHandler::errorString() const
{
    QMutexLocker lock(&captureMutex);
    return video.errorString();
}

double LoadMediaHandler::fps() const
{
    QMutexLocker lock(&captureMutex);
    return video.fps();
}

qint64 LoadMediaHandler::frameCount() const
{
    QMutexLocker lock(&captureMutex);
    return video.frameCount();
}

qint64 LoadMediaHandler::claimedFrameCount() const
{
    QMutexLocker lock(&captureMutex);
    return video.claimedFrameCount();
}

bool LoadMediaHandler::claimsMore() const
{
    QMutexLocker lock(&captureMutex);
    return video.claimsMore();
}

QImage LoadMediaHandler::frameAt(qint64 index)
{
    QMutexLocker lock(&captureMutex);
    if (!video.seek(index))
        return {};
    return video.read();
}

void LoadMediaHandler::requestSeek(qint64 index, int delayMs)
{
    // Only the position a slider rests at is decoded.
    removeQueued(CodeSeek);
    auto *msg = new Message(this, CodeSeek);
    msg->text = QString::number(index);
    sendHandlerMessageAfter(msg, delayMs);
}

void LoadMediaHandler::stopPreviews()
{
    stopping = true;
    removeQueued(CodePlaying);
    removeQueued(CodeSeek);
    QMutexLocker lock(&captureMutex);
    video.close();
}

void LoadMediaHandler::handleMessage(Message *msg)
{
    if (msg->code == CodePlaying) {
        announce();
        return;
    }
    if (msg->code != CodeSeek)
        return;
    const qint64 index = msg->text.toLongLong();
    const QImage image = frameAt(index);
    if (image.isNull()) {
        qCDebug(lcImport) << "#LoadMediaHandler# seekMediaToPosition read frame fail! " << index;
        return;
    }
    emit signalSeekMediaPosition(image, int(index));
}

void LoadMediaHandler::announce()
{
    QMutexLocker lock(&captureMutex);
    // Reading a damaged file through to where it breaks may take a while: here, off the
    // window's thread, and cut short when the dialog goes.
    if (video.probeLength([this] { return stopping.load(); })) {
        lock.unlock();
        emit vlcPlaying();
        return;
    }
    if (stopping)
        return;
    qCDebug(lcImport) << "#LoadMediaHandler# no readable frame" << video.errorString();
    lock.unlock();
    emit vlcOpenFileError();
}
