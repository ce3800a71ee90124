#pragma once

#include <QList>
#include <QThread>

#include <condition_variable>
#include <mutex>

class Message;

// The loop thread: runs queued messages one at a time in due-time order (then sending order).
class HandlerThread : public QThread
{
    Q_OBJECT
public:
    explicit HandlerThread(QObject *parent = nullptr);
    // Stops the loop, joins the thread and deletes what is still queued.
    ~HandlerThread() override;
    Q_DISABLE_COPY_MOVE(HandlerThread)

    // Monotonic clock in milliseconds used for every due time.
    static qint64 now();

    // The process-wide loop thread, created and started on first need.
    static HandlerThread *shared();
    // Stops and joins the process-wide loop thread, deleting queued messages. Called when the
    // application quits; safe to call when it never existed.
    static void shutdownShared();

    void enqueue(Message *msg);
    void stopLoop();
    // Withdraws and deletes queued messages with this code / naming this object.
    int removeQueuedCode(int code);
    int removeQueuedObject(QObject *obj);
    int pendingCount() const;

protected:
    void run() override;

private:
    Message *takeDue(qint64 &waitMs);

    bool stopRequested = false;
    mutable std::mutex queueMutex;
    std::condition_variable wakeUp;
    QList<Message *> queue;
};
