// The window program's signal handling: a signal asks the event loop to quit, and once it
// has, later signals must not end the process while it removes its work directory.
#include "app/ExitSignals.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

class TestExitSignals : public QObject
{
    Q_OBJECT
private slots:
    void laterSignalsDoNotCutTheWindingDown_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void laterSignalsDoNotCutTheWindingDown()
    {
        QFETCH(int, signalNumber);
        {
            ExitSignals signals_;
            QSignalSpy spy(&signals_, &ExitSignals::exitRequested);
            QCOMPARE(::raise(signalNumber), 0);
            QVERIFY(spy.wait(5000));
            QCOMPARE(spy.first().first().toInt(), signalNumber);
            // One more before the object goes: it is only noted.
            QCOMPARE(::raise(signalNumber), 0);
        }
        // The program is winding down now; a signal that ended it here would leave the work
        // directory behind (and end this test).
        QCOMPARE(::raise(signalNumber), 0);
        QCOMPARE(::raise(signalNumber), 0);
        std::signal(signalNumber, SIG_DFL);
    }
};

QTEST_GUILESS_MAIN(TestExitSignals)
#include "test_exit_signals.moc"
