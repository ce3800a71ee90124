#include "loop/HandlerMessage.h"

#include "loop/HandlerThread.h"
#include "loop/LoopLog.h"
#include "loop/Message.h"

#include <QDebug>

HandlerMessage::HandlerMessage(HandlerThread *loop, QObject *parent)
    : QObject(parent), m_loop(loop)
{
}

HandlerMessage::~HandlerMessage()
{
    detachFromLoop();
}

HandlerThread *HandlerMessage::loop() const
{
    return m_loop.data();
}

void HandlerMessage::sendHandlerMessage(Message *msg)
{
    HandlerThread *loop = m_loop.data();
    if (!loop) {
        qCDebug(lcLoop, "#Handler# sendHandlerMessage() loop is NULL!");
        // The caller handed the message over; nobody else would ever delete it.
        delete msg;
        return;
    }
    std::lock_guard<std::mutex> guard(m_mutex);
    loop->enqueue(msg);
}

void HandlerMessage::sendHandlerMessageAfter(Message *msg, int ms)
{
    if (msg)
        msg->dueTime = HandlerThread::now() + ms;
    sendHandlerMessage(msg);
}

void HandlerMessage::sendCode(int code)
{
    sendHandlerMessage(new Message(this, code));
}

void HandlerMessage::sendCodeAfter(int code, int ms)
{
    sendHandlerMessageAfter(new Message(this, code), ms);
}

int HandlerMessage::removeQueued(int code)
{
    HandlerThread *loop = m_loop.data();
    if (!loop)
        return 0;
    std::lock_guard<std::mutex> guard(m_mutex);
    return loop->removeQueuedCode(code);
}

void HandlerMessage::removeQueuedFor(QObject *obj)
{
    HandlerThread *loop = m_loop.data();
    if (!loop || !obj)
        return;
    // No handler lock while waiting: the message being handled may send through this
    // handler, which takes that lock.
    loop->removeQueuedObject(obj);
}

void HandlerMessage::handleMessage(Message *)
{
}

void HandlerMessage::detachFromLoop()
{
    if (HandlerThread *loop = m_loop.data())
        loop->removeQueuedTarget(this);
}
