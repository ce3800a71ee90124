// The ordered pipeline shared by reading effects and rendering shows: results come back in
// the order the jobs were given, on the giving thread, with at most `width` jobs running.

#include "effect/OrderedPipeline.h"

#include <QList>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

class TestOrderedPipeline : public QObject
{
    Q_OBJECT

private slots:
    void keepsOrderUnderThreads_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<bool>("finishByDestruction");
        QTest::newRow("one at a time") << 1 << 20 << false;
        QTest::newRow("two") << 2 << 60 << false;
        QTest::newRow("four") << 4 << 60 << false;
        QTest::newRow("wider than the jobs") << 16 << 5 << false;
        QTest::newRow("left to the destructor") << 4 << 30 << true;
    }

    void keepsOrderUnderThreads()
    {
        QFETCH(int, width);
        QFETCH(int, jobs);
        QFETCH(bool, finishByDestruction);
        QList<int> delivered;
        QList<QThread *> deliveredOn;
        std::atomic<int> running{0};
        std::atomic<int> mostRunning{0};
        auto pipeline = std::make_unique<OrderedPipeline<int>>(
            [&](int value) {
                delivered << value;
                deliveredOn << QThread::currentThread();
            },
            width);
        QCOMPARE(pipeline->width(), width);
        for (int i = 0; i < jobs; ++i) {
            pipeline->submit([i, width, &running, &mostRunning] {
                const int now = ++running;
                int seen = mostRunning;
                while (now > seen && !mostRunning.compare_exchange_weak(seen, now)) {
                }
                // The earlier jobs of each window work longest, so they end last.
                volatile quint64 sink = 0;
                for (quint64 k = 0; k < quint64(width - i % width) * 200000; ++k)
                    sink = sink + k;
                --running;
                return i;
            });
            QVERIFY(pipeline->inFlight() <= width);
        }
        if (finishByDestruction)
            pipeline.reset();
        else
            pipeline->finish();
        QList<int> expected;
        for (int i = 0; i < jobs; ++i)
            expected << i;
        QCOMPARE(delivered, expected);
        QVERIFY(mostRunning <= width);
        for (QThread *thread : deliveredOn)
            QCOMPARE(thread, QThread::currentThread());
        if (pipeline) {
            QCOMPARE(pipeline->inFlight(), 0);
            QVERIFY(!pipeline->deliverOldest());
        }
    }
};

QTEST_GUILESS_MAIN(TestOrderedPipeline)
#include "test_ordered_pipeline.moc"
