#pragma once

#include <QObject>
#include <QPointer>

#include <mutex>

class HandlerThread;
class Message;

// Sends messages to a loop thread and handles them there. Handlers are plain objects of the
// thread that made them; only handleMessage() runs on the loop thread.
class HandlerMessage : public QObject
{
    Q_OBJECT
public:
    explicit HandlerMessage(HandlerThread *loop, QObject *parent = nullptr);
    // Withdraws this handler's queued messages and waits for one being handled (see
    // detachFromLoop()).
    ~HandlerMessage() override;
    Q_DISABLE_COPY_MOVE(HandlerMessage)

    // Queues msg (ownership passes to the loop); it keeps its dueTime. Without a loop the
    // message is logged and deleted.
    void sendHandlerMessage(Message *msg);
    void sendHandlerMessageAfter(Message *msg, int ms);
    void sendCode(int code);
    void sendCodeAfter(int code, int ms);
    // Withdraws and deletes every queued message with this code, whatever its target;
    // returns how many there were.
    int removeQueued(int code);
    // Withdraws and deletes every queued message whose object is obj, whatever its target,
    // and waits until a message naming obj that the loop is handling right now has been
    // handled (an object being destroyed must not be named by a message that runs later).
    void removeQueuedFor(QObject *obj);

    // Null once the loop has been destroyed (after HandlerThread::shutdownShared()).
    HandlerThread *loop() const;

    // Runs on the loop thread; must not delete msg.
    virtual void handleMessage(Message *msg);

protected:
    // Withdraws every queued message addressed to this handler and waits until the loop is
    // no longer inside its handleMessage(). A derived class with state of its own calls it
    // first thing in its destructor, so the loop never runs a half-destroyed handler.
    void detachFromLoop();

private:
    QPointer<HandlerThread> m_loop;
    std::mutex m_mutex;  // taken before the loop's queue mutex, never after
};
