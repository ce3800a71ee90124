// The decode budget shared by the import workers: a request waits until its bytes fit, an
// oversized one is admitted alone, requests are served in order, a stopped wait gives up,
// and many threads together never hold more than the budget.
#include "model/DecodeBudget.h"

#include <QList>
#include <QtTest>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace {

// One acquire on a thread of its own; the ticket is handed over when the thread is joined.
class Request
{
public:
    Request(DecodeBudget &budget, qint64 bytes)
        : thread([this, &budget, bytes] {
              DecodeBudget::Ticket got = budget.acquire(bytes, &stop);
              ticket = std::move(got);
              finished = true;
          })
    {
    }
    ~Request() { join(); }

    void join()
    {
        if (thread.joinable())
            thread.join();
    }
    void cancel(DecodeBudget &budget)
    {
        stop = true;
        budget.wakeWaiters();
    }

    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    DecodeBudget::Ticket ticket;  // read only after join()

private:
    std::thread thread;
};

} // namespace

class TestDecodeBudget : public QObject
{
    Q_OBJECT

private slots:
    void admission_data()
    {
        QTest::addColumn<qint64>("capacity");
        QTest::addColumn<QList<qint64>>("held");
        QTest::addColumn<qint64>("request");
        QTest::addColumn<bool>("waits");
        QTest::newRow("fits beside what is held") << qint64(1000) << QList<qint64>{600} << qint64(400) << false;
        QTest::newRow("one byte too many") << qint64(1000) << QList<qint64>{600} << qint64(401) << true;
        QTest::newRow("two holders, the rest fits")
            << qint64(1000) << QList<qint64>{300, 300} << qint64(400) << false;
        QTest::newRow("larger than the budget, nothing held")
            << qint64(1000) << QList<qint64>{} << qint64(5000) << false;
        QTest::newRow("larger than the budget waits to be alone")
            << qint64(1000) << QList<qint64>{1} << qint64(5000) << true;
        QTest::newRow("an oversized holder keeps out even one byte")
            << qint64(1000) << QList<qint64>{5000} << qint64(1) << true;
        QTest::newRow("nothing, while the budget is full")
            << qint64(1000) << QList<qint64>{1000} << qint64(0) << false;
        QTest::newRow("200 MP beside four phone photos")
            << DecodeBudget::DefaultBytes << QList<qint64>(4, qint64(48) << 20)
            << qint64(800'000'000) << false;
    }

    void admission()
    {
        QFETCH(qint64, capacity);
        QFETCH(QList<qint64>, held);
        QFETCH(qint64, request);
        QFETCH(bool, waits);
        DecodeBudget budget(capacity);
        std::vector<DecodeBudget::Ticket> tickets;
        qint64 heldBytes = 0;
        for (const qint64 bytes : held) {
            tickets.push_back(budget.acquire(bytes));
            QVERIFY(bool(tickets.back()));
            heldBytes += bytes;
        }
        QCOMPARE(budget.heldBytes(), heldBytes);

        Request asked(budget, request);
        if (waits) {
            QTRY_COMPARE(budget.waitingCount(), 1);
            QVERIFY(!asked.finished);
            tickets.clear();
        }
        QTRY_VERIFY(asked.finished);
        asked.join();
        QVERIFY(bool(asked.ticket));
        QCOMPARE(asked.ticket.bytes(), request);
        QCOMPARE(budget.heldBytes(), (waits ? 0 : heldBytes) + request);
        QCOMPARE(budget.waitingCount(), 0);
        asked.ticket.release();
        tickets.clear();
        QCOMPARE(budget.heldBytes(), qint64(0));
    }

    // A large request first in line is not overtaken by a small one that would fit.
    void servedInOrder()
    {
        DecodeBudget budget(1000);
        DecodeBudget::Ticket held = budget.acquire(600);
        Request large(budget, 500);
        QTRY_COMPARE(budget.waitingCount(), 1);
        // 100 more bytes would fit now, but the request waits behind the large one.
        Request small(budget, 100);
        QTRY_COMPARE(budget.waitingCount(), 2);
        QVERIFY(!small.finished);
        QCOMPARE(budget.heldBytes(), qint64(600));
        held.release();
        large.join();
        small.join();
        QVERIFY(bool(large.ticket));
        QVERIFY(bool(small.ticket));
        QCOMPARE(budget.heldBytes(), qint64(600));
    }

    void stopEndsTheWait_data()
    {
        QTest::addColumn<bool>("stopBeforeAsking");
        QTest::newRow("stopped while waiting") << false;
        QTest::newRow("stopped before asking") << true;
    }

    // A cancelled worker gets no ticket and leaves the line; the request behind it goes on.
    void stopEndsTheWait()
    {
        QFETCH(bool, stopBeforeAsking);
        DecodeBudget budget(1000);
        DecodeBudget::Ticket held = budget.acquire(900);
        std::atomic<bool> stop{stopBeforeAsking};
        DecodeBudget::Ticket first;
        std::thread firstThread([&] { first = budget.acquire(500, &stop); });
        if (!stopBeforeAsking) {
            QTRY_COMPARE(budget.waitingCount(), 1);
            Request behind(budget, 100);
            QTRY_COMPARE(budget.waitingCount(), 2);
            stop = true;
            budget.wakeWaiters();
            behind.join();
            QVERIFY(bool(behind.ticket));
        }
        firstThread.join();
        QVERIFY(!first);
        QCOMPARE(first.bytes(), qint64(0));
        QCOMPARE(budget.waitingCount(), 0);
        QCOMPARE(budget.heldBytes(), qint64(900));
    }

    // Moving a ticket moves its share; only the last owner gives it back, once.
    void ticketGivesBackOnce()
    {
        DecodeBudget budget(1000);
        DecodeBudget::Ticket a = budget.acquire(300);
        DecodeBudget::Ticket b = std::move(a);
        QVERIFY(!a);
        QCOMPARE(budget.heldBytes(), qint64(300));
        a.release();
        QCOMPARE(budget.heldBytes(), qint64(300));
        DecodeBudget::Ticket c = budget.acquire(200);
        b = std::move(c);  // b's 300 go back, c's 200 stay with b
        QCOMPARE(budget.heldBytes(), qint64(200));
        b.release();
        b.release();
        QCOMPARE(budget.heldBytes(), qint64(0));
    }

    // Six threads, sizes from tiny to over the whole budget: what is held together never
    // exceeds the budget, except by one oversized ticket held alone.
    void manyThreadsStayWithinTheBudget()
    {
        constexpr qint64 capacity = 1000;
        DecodeBudget budget(capacity);
        std::atomic<qint64> holding{0};
        std::atomic<int> violations{0};
        std::atomic<int> admitted{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 6; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < 300; ++i) {
                    const qint64 bytes = (t * 131 + i * 97) % 1400;
                    DecodeBudget::Ticket ticket = budget.acquire(bytes);
                    // Counted after admission and uncounted before release, so holding never
                    // exceeds what the budget has handed out.
                    const qint64 now = holding.fetch_add(bytes) + bytes;
                    if (now > capacity && now != bytes)
                        ++violations;
                    ++admitted;
                    std::this_thread::yield();
                    holding.fetch_sub(bytes);
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(admitted.load(), 6 * 300);
        QCOMPARE(violations.load(), 0);
        QCOMPARE(budget.heldBytes(), qint64(0));
        QCOMPARE(budget.waitingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDecodeBudget)
#include "test_decode_budget.moc"
