#include "loop/HandlerThread.h"

#include "loop/HandlerMessage.h"
#include "loop/LoopLog.h"
#include "loop/Message.h"

#include <QCoreApplication>
#include <QDebug>

#include <atomic>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// The process-wide loop thread; created under sharedLoopMutex, read without it.
std::mutex sharedLoopMutex;
std::atomic<HandlerThread *> sharedLoop{nullptr};
bool postRoutineAdded = false;  // guarded by sharedLoopMutex

} // namespace

HandlerThread::HandlerThread(QObject *parent) : QThread(parent)
{
}

HandlerThread::~HandlerThread()
{
    stopLoop();
    wait();
    Queue left;
    {
        // Also orders everything the loop thread did before it ended before what follows.
        std::lock_guard<std::mutex> guard(queueMutex);
        left.swap(queue);
    }
    deleteAll(left);
}

qint64 HandlerThread::now()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
                   Clock::now().time_since_epoch())
            .count();
}

HandlerThread *HandlerThread::shared()
{
    if (HandlerThread *loop = sharedLoop.load(std::memory_order_acquire))
        return loop;
    std::lock_guard<std::mutex> guard(sharedLoopMutex);
    if (HandlerThread *loop = sharedLoop.load(std::memory_order_relaxed))
        return loop;
    auto *loop = new HandlerThread;
    loop->start(QThread::InheritPriority);
    sharedLoop.store(loop, std::memory_order_release);
    // Join the thread when the application object goes, so the process never ends with the
    // loop still running a job.
    if (!postRoutineAdded && QCoreApplication::instance()) {
        qAddPostRoutine(&HandlerThread::shutdownShared);
        postRoutineAdded = true;
    }
    return loop;
}

void HandlerThread::shutdownShared()
{
    HandlerThread *loop = nullptr;
    {
        std::lock_guard<std::mutex> guard(sharedLoopMutex);
        loop = sharedLoop.exchange(nullptr, std::memory_order_acq_rel);
    }
    delete loop;
}

void HandlerThread::enqueue(Message *msg)
{
    if (!msg) {
        qCDebug(lcLoop, "#LOOP# enqueue() msg is null!");
        return;
    }
    bool becameFirst = false;
    {
        std::lock_guard<std::mutex> guard(queueMutex);
        auto it = queue.emplace(msg->dueTime, msg);  // after every equal due time
        becameFirst = it == queue.begin();
    }
    // A message behind the first one cannot shorten the loop's current wait.
    if (becameFirst)
        wakeUp.notify_one();
}

void HandlerThread::stopLoop()
{
    {
        std::lock_guard<std::mutex> guard(queueMutex);
        stopRequested = true;
    }
    wakeUp.notify_one();
}

int HandlerThread::removeQueuedCode(int code)
{
    return withdraw([code](const Message *m) { return m->code == code; });
}

int HandlerThread::removeQueuedObject(QObject *obj)
{
    if (!obj)
        return 0;  // an idle loop "handles" a null object: nothing to wait for
    int count = withdraw([obj](const Message *m) { return m->object == obj; });
    std::unique_lock<std::mutex> lock(queueMutex);
    waitWhileHandling(lock, [this, obj] { return handlingObject == obj; });
    return count;
}

int HandlerThread::removeQueuedTarget(HandlerMessage *target)
{
    if (!target)
        return 0;
    int count = withdraw([target](const Message *m) { return m->target == target; });
    std::unique_lock<std::mutex> lock(queueMutex);
    waitWhileHandling(lock, [this, target] { return handlingTarget == target; });
    return count;
}

int HandlerThread::pendingCount() const
{
    std::lock_guard<std::mutex> guard(queueMutex);
    return int(queue.size());
}

template<typename Pred>
int HandlerThread::withdraw(Pred pred)
{
    Queue taken;
    {
        std::lock_guard<std::mutex> guard(queueMutex);
        for (auto it = queue.begin(); it != queue.end();) {
            if (pred(it->second))
                taken.insert(queue.extract(it++));
            else
                ++it;
        }
    }
    // Deleted outside the lock: a message's destructor must not stall the loop.
    int count = int(taken.size());
    deleteAll(taken);
    return count;
}

template<typename Pred>
void HandlerThread::waitWhileHandling(std::unique_lock<std::mutex> &lock, Pred pred)
{
    // The loop thread waiting for itself would never return.
    if (std::this_thread::get_id() == loopThreadId)
        return;
    handledOne.wait(lock, [&] { return !pred(); });
}

void HandlerThread::deleteAll(Queue &messages)
{
    for (auto &entry : messages)
        delete entry.second;
    messages.clear();
}

Message *HandlerThread::takeDue(qint64 &waitUntil)
{
    waitUntil = -1;
    if (queue.empty())
        return nullptr;
    auto first = queue.begin();
    if (first->first <= now()) {
        Message *msg = first->second;
        queue.erase(first);
        return msg;
    }
    waitUntil = first->first;
    return nullptr;
}

void HandlerThread::run()
{
    std::unique_lock<std::mutex> lock(queueMutex);
    loopThreadId = std::this_thread::get_id();
    while (!stopRequested) {
        qint64 waitUntil = -1;
        if (Message *msg = takeDue(waitUntil)) {
            handlingTarget = msg->target;
            handlingObject = msg->object;
            lock.unlock();
            if (msg->target)
                msg->target->handleMessage(msg);
            delete msg;
            lock.lock();
            handlingTarget = nullptr;
            handlingObject = nullptr;
            handledOne.notify_all();
            continue;
        }
        // The queue was checked under the same lock the wait releases, and enqueue() takes
        // it too: a message queued in between is seen, never slept through.
        if (waitUntil < 0)
            wakeUp.wait(lock);
        else
            wakeUp.wait_until(lock, Clock::time_point(std::chrono::milliseconds(waitUntil)));
    }
    Queue left;
    left.swap(queue);
    loopThreadId = std::thread::id();
    lock.unlock();
    deleteAll(left);
    qCDebug(lcLoop, "#LOOP# exit!");
}
