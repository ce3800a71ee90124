// The busy dialog's determinate mode: done of total, the bar and the time left.

#include "ui/dialogs/ProgressLine.h"

#include <QtTest>

class TestProgressDialog : public QObject
{
    Q_OBJECT
private slots:
    void secondsLeftFollowsThePace_data()
    {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<qint64>("left");
        QTest::newRow("nothing done yet: unknown") << qint64(0) << qint64(10) << qint64(5000)
                                                   << qint64(-1);
        QTest::newRow("half in 10 s") << qint64(5) << qint64(10) << qint64(10000) << qint64(10);
        QTest::newRow("rounded up") << qint64(3) << qint64(4) << qint64(1000) << qint64(1);
        QTest::newRow("done") << qint64(10) << qint64(10) << qint64(9000) << qint64(0);
        QTest::newRow("no total") << qint64(3) << qint64(0) << qint64(9000) << qint64(-1);
        QTest::newRow("huge total, no overflow")
            << qint64(1) << (qint64(1) << 40) << qint64(1000) << (qint64(1) << 40) - 1;
    }

    void secondsLeftFollowsThePace()
    {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QFETCH(qint64, elapsedMs);
        QFETCH(qint64, left);
        QCOMPARE(ProgressLine::secondsLeft(done, total, elapsedMs), left);
    }
};

QTEST_MAIN(TestProgressDialog)
#include "test_progress_dialog.moc"
