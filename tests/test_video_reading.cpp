// Reading a video as a user's player shows it: frames turned as the stream's rotation tag
// asks (checked against ffmpeg's own output), and the length that can really be read rather
// than what the container claims.
#include "VideoFixtures.h"

#include "import/VideoFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using VideoFixtures::Codec;

namespace {

// Mean difference of the colour channels over two pictures of one size.
double meanDifference(const QImage &a, const QImage &b)
{
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q))
                   + qAbs(qBlue(p) - qBlue(q));
        }
    }
    return double(sum) / (3.0 * a.width() * a.height());
}

} // namespace

class TestVideoReading : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString upright;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        upright = VideoFixtures::writeWithFfmpeg(dir.path(), QStringLiteral("upright.mp4"),
                                                 QSize(160, 90));
    }

    // Whole frames and regions of them come turned as ffmpeg shows them, at the turned size.
    void followsTheRotationTag_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("turn");
        QTest::newRow("no tag") << 0 << 0;
        QTest::newRow("90, as phones write") << 90 << 270;
        QTest::newRow("-90, as phones write") << -90 << 90;
        QTest::newRow("180") << 180 << 180;
        QTest::newRow("270") << 270 << 90;
    }

    void followsTheRotationTag()
    {
        QFETCH(int, tag);
        QFETCH(int, turn);
        if (upright.isEmpty())
            QSKIP("ffmpeg is not installed");
        const QString path =
            tag == 0 ? upright
                     : VideoFixtures::withRotationTag(
                           upright, dir.filePath(QStringLiteral("tag%1.mp4").arg(tag)), tag);
        QVERIFY(!path.isEmpty());
        const QImage shown = VideoFixtures::ffmpegFirstFrame(path);
        QVERIFY(!shown.isNull());

        VideoFile video;
        QVERIFY2(video.open(path), qPrintable(video.errorString()));
        QCOMPARE(video.rotation(), turn);
        QCOMPARE(video.frameSize(), shown.size());
        const QImage frame = video.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(frame.size(), shown.size());
        // Lossy coding and colour conversion differ by a few levels; a wrong turn moves the
        // red and green blocks and differs by far more.
        QVERIFY2(meanDifference(frame, shown) < 4.0,
                 qPrintable(QString::number(meanDifference(frame, shown))));

        // A region, partly outside the frame, is the same part of the turned frame.
        const QRect region(-10, 20, 70, 200);
        QVERIFY(video.seek(0));
        QPoint origin;
        const QImage part = video.readRegion(region, &origin).convertToFormat(QImage::Format_RGB32);
        const QRect inFrame = region.intersected(QRect(QPoint(), frame.size()));
        QCOMPARE(origin, inFrame.topLeft());
        QCOMPARE(part, frame.copy(inFrame));
    }

    // The length offered is what reading in order from the start gets; a file cut short
    // keeps claiming its whole length.
    void findsWhatCanBeRead_data()
    {
        QTest::addColumn<bool>("cutShort");
        QTest::addColumn<bool>("interrupt");
        QTest::newRow("whole file") << false << false;
        QTest::newRow("cut short") << true << false;
        QTest::newRow("cut short, check interrupted") << true << true;
    }

    void findsWhatCanBeRead()
    {
        QFETCH(bool, cutShort);
        QFETCH(bool, interrupt);
        const QString path = VideoFixtures::write(dir.path(), QStringLiteral("claims.avi"),
                                                  Codec::Mjpeg, 25.0, 60);
        QVERIFY(!path.isEmpty() && (!cutShort || VideoFixtures::cutShort(path)));
        const qint64 inOrder = VideoFixtures::readableInOrder(path);
        QVERIFY(inOrder > 0);
        QCOMPARE(inOrder < 60, cutShort);

        VideoFile video;
        QVERIFY(video.open(path));
        QCOMPARE(video.frameCount(), 60);
        int asked = 0;
        const bool probed = video.probeLength([&] { return interrupt && ++asked >= 3; });
        QCOMPARE(probed, !interrupt);
        if (interrupt)
            return;
        QCOMPARE(video.frameCount(), inOrder);
        QCOMPARE(video.claimedFrameCount(), 60);
        QCOMPARE(video.claimsMore(), cutShort);
        // The last frame offered reads.
        QVERIFY(video.seek(video.frameCount() - 1));
        QVERIFY(!video.read().isNull());
    }
};

QTEST_GUILESS_MAIN(TestVideoReading)
#include "test_video_reading.moc"
