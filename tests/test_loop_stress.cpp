// Several threads send, withdraw and handle at once: every message is handled exactly once
// or msgsWithdrawn, and every one is deleted.
#include "loop/HandlerMessage.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

std::atomic<int> msgsConstructed{0};
std::atomic<int> msgsDestroyed{0};
std::atomic<int> msgsWithdrawn{0};  // deleted without having been handled
std::atomic<int> msgsHandled{0};
std::atomic<int> nextId{1};
std::atomic<int> handledTwice{0};

class StressMessage : public Message
{
public:
    StressMessage(HandlerMessage *target, int code) : Message(target, code), id(nextId++)
    {
        ++msgsConstructed;
    }
    ~StressMessage() override
    {
        if (!handled)
            ++msgsWithdrawn;
        ++msgsDestroyed;
    }
    const int id;
    bool handled = false;
};

class StressHandler : public HandlerMessage
{
public:
    StressHandler(HandlerThread *loop, StressHandler *relayTo)
        : HandlerMessage(loop), relayTo(relayTo)
    {
    }
    ~StressHandler() override { detachFromLoop(); }

    void handleMessage(Message *msg) override
    {
        auto *m = static_cast<StressMessage *>(msg);
        if (m->handled)
            ++handledTwice;
        m->handled = true;
        ++msgsHandled;
        ids.push_back(m->id);  // only the loop thread writes, read after it is joined
        // Handlers send from the loop thread too.
        if (m->code == 3 && relayTo)
            relayTo->sendHandlerMessageAfter(new StressMessage(relayTo, 4), int(m->id % 3));
    }

    StressHandler *relayTo;
    std::vector<int> ids;
};

} // namespace

class TestLoopStress : public QObject
{
    Q_OBJECT

private slots:
    void everyMessageHandledOnceOrWithdrawn_data();
    void everyMessageHandledOnceOrWithdrawn();
};

void TestLoopStress::everyMessageHandledOnceOrWithdrawn_data()
{
    QTest::addColumn<int>("senders");
    QTest::addColumn<int>("perSender");
    QTest::newRow("2 senders") << 2 << 10000;
    QTest::newRow("4 senders") << 4 << 6000;
}

void TestLoopStress::everyMessageHandledOnceOrWithdrawn()
{
    QFETCH(int, senders);
    QFETCH(int, perSender);
    msgsConstructed = msgsDestroyed = msgsWithdrawn = msgsHandled = handledTwice = 0;

    auto loop = std::make_unique<HandlerThread>();
    loop->start();
    StressHandler sink(loop.get(), nullptr);
    std::vector<std::unique_ptr<StressHandler>> handlers;
    for (int i = 0; i < 3; ++i)
        handlers.push_back(std::make_unique<StressHandler>(loop.get(), &sink));
    QObject objects[4];
    std::atomic<bool> sending{true};
    std::atomic<int> transientMade{0};
    // Threads stay alive until every message they made is gone: a message refers to the
    // Qt data of the thread that made it, and Qt's reference counting of that data is not
    // visible to ThreadSanitizer.
    std::mutex exitMutex;
    std::condition_variable exitChanged;
    bool mayExit = false;
    auto waitToExit = [&] {
        std::unique_lock<std::mutex> lock(exitMutex);
        exitChanged.wait(lock, [&] { return mayExit; });
    };
    std::atomic<int> sendersDone{0};
    std::atomic<int> helpersDone{0};

    std::vector<std::thread> threads;
    for (int s = 0; s < senders; ++s) {
        threads.emplace_back([&, s] {
            std::mt19937 rng(unsigned(s) * 7919u + 1u);
            for (int i = 0; i < perSender; ++i) {
                StressHandler *h = handlers[rng() % handlers.size()].get();
                auto *m = new StressMessage(h, 1 + int(rng() % 6));
                m->object = &objects[rng() % 4];
                const int delay = int(rng() % 4);
                if (delay == 0)
                    h->sendHandlerMessage(m);
                else
                    h->sendHandlerMessageAfter(m, delay);
                if (i % 64 == 0)
                    std::this_thread::yield();
            }
            ++sendersDone;
            waitToExit();
        });
    }
    // Withdrawals by code and by object while the others send.
    threads.emplace_back([&] {
        std::mt19937 rng(4242u);
        while (sending) {
            handlers[rng() % handlers.size()]->removeQueued(1 + int(rng() % 6));
            handlers[rng() % handlers.size()]->removeQueuedFor(&objects[rng() % 4]);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ++helpersDone;
        waitToExit();
    });
    // Short-lived handlers msgsDestroyed with messages queued and maybe one being handled.
    threads.emplace_back([&] {
        std::mt19937 rng(99u);
        while (sending) {
            StressHandler transient(loop.get(), nullptr);
            for (int i = 0; i < 8; ++i)
                transient.sendHandlerMessageAfter(new StressMessage(&transient, 6),
                                                  int(rng() % 3));
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 1500));
            ++transientMade;
        }
        ++helpersDone;
        waitToExit();
    });
    auto releaseThreads = qScopeGuard([&] {
        {
            std::lock_guard<std::mutex> guard(exitMutex);
            mayExit = true;
        }
        exitChanged.notify_all();
        for (std::thread &t : threads)
            t.join();
    });

    while (sendersDone.load() < senders)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sending = false;
    // Nobody may use the loop once it is destroyed below.
    while (helpersDone.load() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    // Nothing may be lost: everything still queued runs within a few milliseconds.
    QTRY_COMPARE_WITH_TIMEOUT(msgsHandled.load() + msgsWithdrawn.load(), msgsConstructed.load(),
                              20000);
    QCOMPARE(loop->pendingCount(), 0);

    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    loop.reset();
    QCOMPARE(msgsDestroyed.load(), msgsConstructed.load());
    QCOMPARE(msgsHandled.load() + msgsWithdrawn.load(), msgsConstructed.load());
    QCOMPARE(handledTwice.load(), 0);
    QVERIFY(msgsHandled > 0);
    QVERIFY(transientMade > 0);
    QVERIFY(msgsWithdrawn > 0);

    std::vector<int> all = sink.ids;
    for (auto &h : handlers)
        all.insert(all.end(), h->ids.begin(), h->ids.end());
    std::sort(all.begin(), all.end());
    QVERIFY(std::adjacent_find(all.begin(), all.end()) == all.end());
    // Transient handlers recorded their own ids; all the others are here.
    QVERIFY(int(all.size()) <= msgsHandled.load());
}

QTEST_GUILESS_MAIN(TestLoopStress)
#include "test_loop_stress.moc"
