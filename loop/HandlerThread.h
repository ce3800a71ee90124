#pragma once

#include <QThread>

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class HandlerMessage;
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

    // The process-wide loop thread, created and started on first need. It is stopped and
    // joined by shutdownShared(), which also runs when the application object is destroyed.
    static HandlerThread *shared();
    // Stops and joins the process-wide loop thread, deleting queued messages. Called when the
    // application quits; safe to call when it never existed. Handlers made on it see a null
    // loop afterwards.
    static void shutdownShared();

    void enqueue(Message *msg);
    void stopLoop();
    // Withdraw and delete queued messages with this code / naming this object / addressed
    // to this handler; each returns how many were withdrawn. The last two also wait until a
    // message being handled that names the object / is addressed to the handler has been
    // handled, unless called on the loop thread itself.
    int removeQueuedCode(int code);
    int removeQueuedObject(QObject *obj);
    int removeQueuedTarget(HandlerMessage *target);
    int pendingCount() const;

protected:
    void run() override;

private:
    // Due time -> message; equal due times keep their insertion (sending) order.
    using Queue = std::multimap<qint64, Message *>;

    Message *takeDue(qint64 &waitUntil);
    template<typename Pred>
    int withdraw(Pred pred);
    template<typename Pred>
    void waitWhileHandling(std::unique_lock<std::mutex> &lock, Pred pred);
    static void deleteAll(Queue &messages);

    bool stopRequested = false;
    mutable std::mutex queueMutex;  // guards every field below; also the mutex of the waits
    std::condition_variable wakeUp;
    std::condition_variable handledOne;  // a message has been handled and deleted
    Queue queue;
    // What the loop is handling right now (copied when taken: the handler may change msg).
    HandlerMessage *handlingTarget = nullptr;
    QObject *handlingObject = nullptr;
    std::thread::id loopThreadId;
};
