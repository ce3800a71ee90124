#pragma once

#include <QMutex>
#include <QObject>

class HandlerThread;
class Message;

// Sends messages to a loop thread and handles them there. Handlers are plain objects of the
// thread that made them; only handleMessage() runs on the loop thread.
class HandlerMessage : public QObject
{
    Q_OBJECT
public:
    explicit HandlerMessage(HandlerThread *loop, QObject *parent = nullptr);
    ~HandlerMessage() override;
    Q_DISABLE_COPY_MOVE(HandlerMessage)

    // Queues msg (ownership passes to the loop); it keeps its dueTime.
    void sendHandlerMessage(Message *msg);
    void sendHandlerMessageAfter(Message *msg, int ms);
    void sendCode(int code);
    void sendCodeAfter(int code, int ms);
    // Withdraws and deletes every queued message with this code, whatever its target.
    void removeQueued(int code);
    // Withdraws and deletes every queued message whose object is obj (an object being
    // destroyed must not be named by a message that runs later).
    void removeQueuedFor(QObject *obj);

    HandlerThread *loop() const { return m_loop; }

    // Runs on the loop thread; must not delete msg.
    virtual void handleMessage(Message *msg);

private:
    HandlerThread *m_loop;
    QMutex m_mutex;  // taken before the loop's queue mutex, never after
};
