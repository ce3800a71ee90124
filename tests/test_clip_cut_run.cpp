// A cut run under a busy window: the window's rejection cancels the cut, and the end is
// reported once, never after a cancel.
#include "import/FrameHandOver.h"
#include "import/FrameProducer.h"
#include "import/VideoClipCutter.h"
#include "ui/import/ClipCutRun.h"

#include <QDialog>
#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Hands over nothing; holds its thread until released or until the run is stopped.
class HeldProducer : public FrameProducer
{
public:
    HeldProducer(FrameHandOver *handOver, QSemaphore *release)
        : FrameProducer(handOver, QSize()), release(release)
    {
    }
    ~HeldProducer() override { stopAndWait(); }

protected:
    void produce() override
    {
        while (!buffer->isStopped() && !release->tryAcquire(1, 5)) {
        }
        buffer->finishCutting();
    }

private:
    QSemaphore *release;
};

} // namespace

class TestClipCutRun : public QObject
{
    Q_OBJECT

private slots:
    void endsOnceOrIsCancelled_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("the cut ends, then the window is rejected") << false;
        QTest::newRow("the window is rejected while the cut runs") << true;
    }

    void endsOnceOrIsCancelled()
    {
        QFETCH(bool, cancel);
        QSemaphore release;
        QDialog busy;
        auto cutter = std::make_unique<VideoClipCutter>(
            [&release](FrameHandOver *handOver) {
                return std::make_unique<HeldProducer>(handOver, &release);
            },
            false);
        VideoClipCutter *raw = cutter.get();
        ClipCutRun run(std::move(cutter), &busy);
        QSignalSpy ended(&run, &ClipCutRun::ended);
        run.start();
        QVERIFY(raw->isRunning());
        if (cancel) {
            busy.reject();
            QVERIFY(run.wasCancelled());
            QVERIFY(!raw->isRunning());
            release.release();
            QCoreApplication::processEvents();
            QCOMPARE(ended.count(), 0);
            return;
        }
        release.release();
        QVERIFY(ended.wait(5000));
        // Nothing was handed over: the cut ends without frames.
        QCOMPARE(ended.first().first().toBool(), false);
        busy.reject();
        QVERIFY(!run.wasCancelled());
        QCoreApplication::processEvents();
        QCOMPARE(ended.count(), 1);
    }
};

QTEST_MAIN(TestClipCutRun)
#include "test_clip_cut_run.moc"
