// Ordering, withdrawal, wake-up, coalescing and teardown of the message loop.
#include "loop/HandlerMessage.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::atomic<int> messagesAlive{0};
std::atomic<int> messagesDestroyed{0};

// A message that counts its own lifetime and carries a sequence number.
class CountedMessage : public Message
{
public:
    CountedMessage(HandlerMessage *target, int code, int seq = 0) : Message(target, code)
    {
        extra = quintptr(seq);
        ++messagesAlive;
    }
    ~CountedMessage() override
    {
        --messagesAlive;
        ++messagesDestroyed;
    }
};

struct Handled
{
    int code;
    int seq;
    qint64 at;
    QString text;
};

// Records what the loop hands it; tests wait on the record.
class RecordingHandler : public HandlerMessage
{
public:
    using HandlerMessage::HandlerMessage;
    ~RecordingHandler() override { detachFromLoop(); }

    void handleMessage(Message *msg) override
    {
        if (holdMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        std::lock_guard<std::mutex> guard(mutex);
        handled.push_back({msg->code, int(msg->extra), HandlerThread::now(), msg->text});
        changed.notify_all();
    }

    bool waitFor(size_t count, int timeoutMs = 5000)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return handled.size() >= count; });
    }

    std::vector<Handled> snapshot()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return handled;
    }

    std::vector<int> seqs()
    {
        std::vector<int> out;
        for (const Handled &h : snapshot())
            out.push_back(h.seq);
        return out;
    }

    std::atomic<int> holdMs{0};

private:
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Handled> handled;
};

// A handler whose handleMessage blocks until released, to hold the loop inside a message.
class GateHandler : public HandlerMessage
{
public:
    using HandlerMessage::HandlerMessage;
    ~GateHandler() override { detachFromLoop(); }

    void handleMessage(Message *) override
    {
        std::unique_lock<std::mutex> lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        finished = true;
    }
    void waitEntered()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return entered; });
    }
    void release()
    {
        std::lock_guard<std::mutex> guard(mutex);
        open = true;
        changed.notify_all();
    }
    std::atomic<bool> finished{false};

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;
};

std::unique_ptr<HandlerThread> startedLoop()
{
    auto loop = std::make_unique<HandlerThread>();
    loop->start();
    return loop;
}

} // namespace

class TestLoop : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void equalDueTimesRunInSendingOrder_data();
    void equalDueTimesRunInSendingOrder();
    void immediateRunsBeforeEarlierDelayed();
    void removeQueuedAbsentCodeIsHarmless();
    void removeQueuedWithdrawsCodeWhateverTarget();
    void removeQueuedSparesTakenMessage();
    void noLostWakeUp();
    void coalescingRunsOnlyLast();
    void nullTargetIsDeleted();
    void handlerWithoutLoopDropsMessage();
    void nullMessageIsRefused();
    void removeQueuedForWithdrawsByObject();
    void removeQueuedForWaitsForRunningMessage();
    void destroyedHandlerIsNeverRun();
    void destroyingLoopDeletesQueuedAndJoins();
    void destroyingUnstartedLoopDeletesQueued();
    void sharedLoopIsCreatedOnceAndShutDown();
    void delayedMessageIsNotEarly();
};

void TestLoop::init()
{
    messagesDestroyed = 0;
    QCOMPARE(messagesAlive.load(), 0);
}

void TestLoop::cleanup()
{
    QCOMPARE(messagesAlive.load(), 0);
}

void TestLoop::equalDueTimesRunInSendingOrder_data()
{
    QTest::addColumn<bool>("sameStamp");
    QTest::newRow("one due time set by hand") << true;
    QTest::newRow("same delay, sent one after another") << false;
}

void TestLoop::equalDueTimesRunInSendingOrder()
{
    QFETCH(bool, sameStamp);
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    const qint64 due = HandlerThread::now() + 60;
    const int count = 20;
    for (int i = 0; i < count; ++i) {
        auto *msg = new CountedMessage(&handler, 1, i);
        if (sameStamp) {
            msg->dueTime = due;
            handler.sendHandlerMessage(msg);
        } else {
            handler.sendHandlerMessageAfter(msg, 60);
        }
    }
    QVERIFY(handler.waitFor(count));
    std::vector<int> expected(count);
    for (int i = 0; i < count; ++i)
        expected[i] = i;
    QCOMPARE(handler.seqs(), expected);
}

void TestLoop::immediateRunsBeforeEarlierDelayed()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    handler.sendHandlerMessageAfter(new CountedMessage(&handler, 1, 1), 150);
    handler.sendHandlerMessage(new CountedMessage(&handler, 2, 2));
    QVERIFY(handler.waitFor(2));
    QCOMPARE(handler.seqs(), (std::vector<int>{2, 1}));
}

void TestLoop::removeQueuedAbsentCodeIsHarmless()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    handler.sendHandlerMessageAfter(new CountedMessage(&handler, 9, 1), 80);
    handler.sendHandlerMessageAfter(new CountedMessage(&handler, 10, 2), 80);
    handler.removeQueued(7);
    QCOMPARE(loop->pendingCount(), 2);
    QCOMPARE(messagesDestroyed.load(), 0);
    QVERIFY(handler.waitFor(2));
    QCOMPARE(handler.seqs(), (std::vector<int>{1, 2}));
}

void TestLoop::removeQueuedWithdrawsCodeWhateverTarget()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler first(loop.get());
    RecordingHandler second(loop.get());
    first.sendHandlerMessageAfter(new CountedMessage(&first, 7, 1), 100);
    second.sendHandlerMessageAfter(new CountedMessage(&second, 7, 2), 100);
    second.sendHandlerMessageAfter(new CountedMessage(&second, 8, 3), 100);
    first.sendHandlerMessageAfter(new CountedMessage(&first, 7, 4), 100);

    first.removeQueued(7);
    QCOMPARE(messagesDestroyed.load(), 3);
    QCOMPARE(loop->pendingCount(), 1);

    QVERIFY(second.waitFor(1));
    QTest::qWait(150);  // nothing else may follow
    QCOMPARE(second.seqs(), (std::vector<int>{3}));
    QVERIFY(first.snapshot().empty());
}

void TestLoop::removeQueuedSparesTakenMessage()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    GateHandler gate(loop.get());
    RecordingHandler handler(loop.get());
    gate.sendHandlerMessage(new CountedMessage(&gate, 7, 1));
    gate.waitEntered();
    handler.sendHandlerMessage(new CountedMessage(&handler, 7, 2));
    gate.removeQueued(7);  // the taken one stays, the queued one goes
    QCOMPARE(messagesDestroyed.load(), 1);
    gate.release();
    QTRY_COMPARE(messagesDestroyed.load(), 2);
    QVERIFY(gate.finished);
    QVERIFY(handler.snapshot().empty());
}

void TestLoop::noLostWakeUp()
{
    // Each message is sent the moment the previous one has been handled, that is while the
    // loop is on its way back to sleep with an empty queue. A lost wake-up would leave a
    // message waiting for good, as the empty-queue wait has no limit.
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    const int rounds = 3000;
    for (int i = 0; i < rounds; ++i) {
        handler.sendHandlerMessage(new CountedMessage(&handler, 1, i));
        QVERIFY2(handler.waitFor(size_t(i) + 1, 2000), qPrintable(QString::number(i)));
    }
    // And from another thread while this one does not wait at all.
    std::thread sender([&] {
        for (int i = 0; i < 500; ++i) {
            handler.sendHandlerMessage(new CountedMessage(&handler, 1, rounds + i));
            std::this_thread::yield();
        }
    });
    sender.join();
    QVERIFY(handler.waitFor(rounds + 500, 5000));
}

void TestLoop::coalescingRunsOnlyLast()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    qint64 lastSent = 0;
    for (int i = 1; i <= 3; ++i) {
        handler.removeQueued(16);
        auto *msg = new CountedMessage(&handler, 16, i);
        msg->text = QString::number(i * 10);
        lastSent = HandlerThread::now();
        handler.sendHandlerMessageAfter(msg, 200);
        if (i < 3)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    QVERIFY(handler.waitFor(1));
    QTest::qWait(100);
    const std::vector<Handled> handled = handler.snapshot();
    QCOMPARE(handled.size(), size_t(1));
    QCOMPARE(handled[0].text, QStringLiteral("30"));
    const qint64 after = handled[0].at - lastSent;
    // Generous bounds: this checks the behaviour, the benchmark measures the lateness.
    QVERIFY2(after >= 199 && after < 1000, qPrintable(QString::number(after)));
    QCOMPARE(messagesDestroyed.load(), 3);
}

void TestLoop::nullTargetIsDeleted()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    handler.sendHandlerMessage(new CountedMessage(nullptr, 1, 1));
    handler.sendHandlerMessage(new CountedMessage(&handler, 2, 2));
    QVERIFY(handler.waitFor(1));
    QTRY_COMPARE(messagesDestroyed.load(), 2);
    QCOMPARE(handler.seqs(), (std::vector<int>{2}));
}

void TestLoop::handlerWithoutLoopDropsMessage()
{
    RecordingHandler handler(nullptr);
    QTest::ignoreMessage(QtDebugMsg, "#Handler# sendHandlerMessage() loop is NULL!");
    handler.sendHandlerMessage(new CountedMessage(&handler, 1, 1));
    QTest::ignoreMessage(QtDebugMsg, "#Handler# sendHandlerMessage() loop is NULL!");
    handler.sendHandlerMessageAfter(new CountedMessage(&handler, 1, 2), 10);
    handler.removeQueued(1);
    handler.removeQueuedFor(&handler);
    QCOMPARE(messagesDestroyed.load(), 2);
    QVERIFY(handler.snapshot().empty());
}

void TestLoop::nullMessageIsRefused()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# enqueue() msg is null!");
    handler.sendHandlerMessage(nullptr);
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# enqueue() msg is null!");
    handler.sendHandlerMessageAfter(nullptr, 5);
    QCOMPARE(loop->pendingCount(), 0);
}

void TestLoop::removeQueuedForWithdrawsByObject()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler first(loop.get());
    RecordingHandler second(loop.get());
    QObject gone;
    QObject stays;
    auto send = [](RecordingHandler &h, QObject *obj, int code, int seq) {
        auto *msg = new CountedMessage(&h, code, seq);
        msg->object = obj;
        h.sendHandlerMessageAfter(msg, 100);
    };
    send(first, &gone, 9, 1);
    send(second, &gone, 11, 2);
    send(first, &stays, 9, 3);
    send(second, nullptr, 12, 4);
    first.removeQueuedFor(&gone);
    QCOMPARE(messagesDestroyed.load(), 2);
    QVERIFY(first.waitFor(1));
    QVERIFY(second.waitFor(1));
    QTest::qWait(50);
    QCOMPARE(first.seqs(), (std::vector<int>{3}));
    QCOMPARE(second.seqs(), (std::vector<int>{4}));
}

void TestLoop::removeQueuedForWaitsForRunningMessage()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    GateHandler gate(loop.get());
    QObject dialog;
    auto *msg = new CountedMessage(&gate, 16, 1);
    msg->object = &dialog;
    gate.sendHandlerMessage(msg);
    gate.waitEntered();
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate.release();
    });
    gate.removeQueuedFor(&dialog);
    // Returned only once the message naming the dialog was handled and deleted.
    QVERIFY(gate.finished);
    QCOMPARE(messagesDestroyed.load(), 1);
    opener.join();
}

void TestLoop::destroyedHandlerIsNeverRun()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    auto handler = std::make_unique<RecordingHandler>(loop.get());
    handler->holdMs = 60;
    handler->sendHandlerMessage(new CountedMessage(handler.get(), 1, 1));
    handler->sendHandlerMessageAfter(new CountedMessage(handler.get(), 1, 2), 30);
    QTRY_COMPARE(loop->pendingCount(), 1);  // the first is being handled
    handler.reset();  // waits for the first, withdraws the second
    QCOMPARE(messagesDestroyed.load(), 2);
    QCOMPARE(loop->pendingCount(), 0);
}

void TestLoop::destroyingLoopDeletesQueuedAndJoins()
{
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    for (int i = 0; i < 5; ++i)
        handler.sendHandlerMessageAfter(new CountedMessage(&handler, 1, i), 10000);
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    HandlerThread *raw = loop.get();
    QPointer<HandlerThread> watch(raw);
    loop.reset();
    QCOMPARE(messagesDestroyed.load(), 5);
    QVERIFY(watch.isNull());
    QVERIFY(handler.loop() == nullptr);
    // The handler outlives its loop: later sends are logged and dropped.
    QTest::ignoreMessage(QtDebugMsg, "#Handler# sendHandlerMessage() loop is NULL!");
    handler.sendCode(1);
    QVERIFY(handler.snapshot().empty());
}

void TestLoop::destroyingUnstartedLoopDeletesQueued()
{
    auto loop = std::make_unique<HandlerThread>();
    RecordingHandler handler(loop.get());
    handler.sendHandlerMessage(new CountedMessage(&handler, 1, 1));
    handler.sendHandlerMessageAfter(new CountedMessage(&handler, 1, 2), 5);
    loop.reset();
    QCOMPARE(messagesDestroyed.load(), 2);
}

void TestLoop::sharedLoopIsCreatedOnceAndShutDown()
{
    HandlerThread::shutdownShared();  // harmless when none exists
    HandlerThread *loop = HandlerThread::shared();
    QVERIFY(loop);
    QCOMPARE(HandlerThread::shared(), loop);
    QTRY_VERIFY(loop->isRunning());
    QCOMPARE(loop->priority(), QThread::currentThread()->priority());

    RecordingHandler handler(loop);
    handler.sendCode(3);
    QVERIFY(handler.waitFor(1));
    handler.sendHandlerMessageAfter(new CountedMessage(&handler, 4, 1), 10000);

    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    HandlerThread::shutdownShared();
    QCOMPARE(messagesDestroyed.load(), 1);
    QVERIFY(handler.loop() == nullptr);
    HandlerThread::shutdownShared();

    // A later need makes a fresh one.
    HandlerThread *again = HandlerThread::shared();
    QVERIFY(again);
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    HandlerThread::shutdownShared();
}

void TestLoop::delayedMessageIsNotEarly()
{
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    auto loop = startedLoop();
    RecordingHandler handler(loop.get());
    // Due times at least 20 ms apart, so a sender descheduled between two sends on a busy
    // machine cannot change which is due first.
    const int delays[] = {20, 340, 800, 100, 0, 460};
    qint64 sent[6];
    for (int i = 0; i < 6; ++i) {
        auto *msg = new CountedMessage(&handler, 1, i);
        sent[i] = msg->dueTime;
        handler.sendHandlerMessageAfter(msg, delays[i]);
        sent[i] = HandlerThread::now();
    }
    QVERIFY(handler.waitFor(6));
    for (const Handled &h : handler.snapshot())
        QVERIFY2(h.at >= sent[h.seq] + delays[h.seq] - 1, qPrintable(QString::number(h.seq)));
    // Due-time order: 0 ms, 20 ms, 100 ms, 340 ms, 460 ms, 800 ms.
    QCOMPARE(handler.seqs(), (std::vector<int>{4, 0, 3, 1, 5, 2}));
}

QTEST_GUILESS_MAIN(TestLoop)
#include "test_loop.moc"
