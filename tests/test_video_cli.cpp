// hologram-cli build with videos: told apart by content, cut as the import dialog cuts when
// nothing is moved, the stretch and region options, and one clear line for what it refuses.
#include "CliRun.h"
#include "VideoFixtures.h"

#include "import/FrameSchedule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using VideoFixtures::Codec;

class TestVideoCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString twoSeconds;

    using Run = CliRun;
    static Run runCli(const QStringList &arguments) { return CliRun::of(arguments); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        twoSeconds = VideoFixtures::write(dir.path(), QStringLiteral("two.avi"), Codec::Mjpeg, 25.0, 50);
        QVERIFY(!twoSeconds.isEmpty());
    }

    void buildsClips_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("segment");

        QTest::newRow("whole video, no options") << QStringLiteral("two.avi") << QStringList{} << 20
                                                 << QStringLiteral("records 1-20 clip, loops 1");
        QTest::newRow("start 1 s, length 0.5 s, 3 loops")
            << QStringLiteral("two.avi")
            << QStringList{"--start", "1", "--length", "0.5", "--loops", "3"} << 5
            << QStringLiteral("records 1-5 clip, loops 3");
        QTest::newRow("length 0: one frame") << QStringLiteral("two.avi")
                                             << QStringList{"--start", "1.5", "--length", "0"} << 1
                                             << QStringLiteral("records 1-1 clip, loops 1");
        QTest::newRow("zoomed, square placed") << QStringLiteral("two.avi")
                                               << QStringList{"--zoom", "5", "--at", "-100,-200"} << 20
                                               << QStringLiteral("records 1-20 clip, loops 1");
        QTest::newRow("video named .dat") << QStringLiteral("video.dat") << QStringList{} << 20
                                          << QStringLiteral("records 1-20 clip, loops 1");
        QTest::newRow("length past the end cuts to the end")
            << QStringLiteral("two.avi") << QStringList{"--start", "1", "--length", "1e300"} << 10
            << QStringLiteral("records 1-10 clip, loops 1");
    }

    void buildsClips()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, options);
        QFETCH(int, records);
        QFETCH(QString, segment);
        const QString path = dir.filePath(input);
        if (!QFile::exists(path))
            QVERIFY(QFile::copy(twoSeconds, path));
        const QString out = dir.filePath(QStringLiteral("out.bin"));
        QFile::remove(out);
        const Run build = runCli(QStringList{"build", path, "-o", out} + options);
        QCOMPARE(build.err, QString());
        QCOMPARE(build.exitCode, 0);
        const Run inspect = runCli({"inspect", out});
        QCOMPARE(inspect.exitCode, 0);
        QVERIFY2(inspect.out.contains(QStringLiteral("records: %1\n").arg(records)), qPrintable(inspect.out));
        QVERIFY2(inspect.out.contains(segment), qPrintable(inspect.out));
        QVERIFY2(inspect.out.contains(QStringLiteral("(agrees)")), qPrintable(inspect.out));
    }

    void smoothReachesTheFrames_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("one frame") << QStringList{"--start", "1.5", "--length", "0"};
        QTest::newRow("one frame zoomed") << QStringList{"--start", "1", "--length", "0", "--zoom", "5"};
    }

    // The frames of a clip built with --smooth are sampled smoothly: their records differ
    // from a sharp build's, the effect file's header and length do not.
    void smoothReachesTheFrames()
    {
        QFETCH(QStringList, options);
        QByteArray built[2];
        for (const int smooth : {0, 1}) {
            const QString out = dir.filePath(QStringLiteral("sampled_%1.bin").arg(smooth));
            const Run build = runCli(QStringList{"build", twoSeconds, "-o", out} + options
                                     + (smooth ? QStringList{"--smooth"} : QStringList()));
            QCOMPARE(build.exitCode, 0);
            QFile file(out);
            QVERIFY(file.open(QIODevice::ReadOnly));
            built[smooth] = file.readAll();
        }
        QCOMPARE(built[1].size(), built[0].size());
        QCOMPARE(built[1].left(4096), built[0].left(4096));
        QVERIFY(built[1].mid(4096) != built[0].mid(4096));
    }

    void refusesWithOneLine_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("reason");

        QTest::newRow("undecodable .mp4") << QStringLiteral("junk.mp4") << QStringList{}
                                          << QStringLiteral("junk.mp4: cannot be decoded as a video");
        QTest::newRow("square outside the frame")
            << QStringLiteral("two.avi") << QStringList{"--at", "160,0"}
            << QStringLiteral("two.avi: the square at 160,0 lies outside the 160 x 120 frame");
        QTest::newRow("start past the end")
            << QStringLiteral("two.avi") << QStringList{"--start", "2"}
            << QStringLiteral("two.avi: --start is past the end of the video (2 s)");
        QTest::newRow("start far past the end")
            << QStringLiteral("two.avi") << QStringList{"--start", "1e300"}
            << QStringLiteral("two.avi: --start is past the end of the video (2 s)");
        QTest::newRow("square at the largest position")
            << QStringLiteral("two.avi") << QStringList{"--at", "2147483647,2147483647"}
            << QStringLiteral("two.avi: the square at 2147483647,2147483647 lies outside the "
                              "160 x 120 frame");
        QTest::newRow("square at the smallest position")
            << QStringLiteral("two.avi") << QStringList{"--at", "-2147483648,-2147483648"}
            << QStringLiteral("two.avi: the square at -2147483648,-2147483648 lies outside the "
                              "160 x 120 frame");
        QTest::newRow("zoom leaves nothing")
            << QStringLiteral("two.avi") << QStringList{"--zoom", "-10"}
            << QStringLiteral("--zoom must be a whole number of steps from -9 to 20");
        QTest::newRow("bad --at") << QStringLiteral("two.avi") << QStringList{"--at", "3"}
                                  << QStringLiteral("--at must be X,Y in whole pixels");
        QTest::newRow("more frames than a clip holds")
            << QStringLiteral("long.avi") << QStringList{}
            << QStringLiteral("long.avi: the stretch gives 1001 frames, more than the 1000 a clip "
                              "can hold (use --start and --length)");
        // A few kilobytes of video whose frames would take 768 MB each: refused by the
        // stream's own size, before a frame is decoded.
        QTest::newRow("frames over the pixel limit")
            << QStringLiteral("huge.avi") << QStringList{}
            << QStringLiteral("huge.avi: each frame of 16000 x 16000 pixels (256 megapixels) is "
                              "over the limit of 200 megapixels");
        // Not named as a video: the decoder's refusal, not a picture reader's.
        QTest::newRow("video named .dat, frames over the pixel limit")
            << QStringLiteral("huge.dat") << QStringList{}
            << QStringLiteral("huge.dat: each frame of 16000 x 16000 pixels (256 megapixels) is "
                              "over the limit of 200 megapixels");
    }

    void refusesWithOneLine()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, options);
        QFETCH(QString, reason);
        QString path = dir.filePath(input);
        if (input == QLatin1String("junk.mp4")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(3000, '\x5a'));
        } else if (input == QLatin1String("long.avi")) {
            path = VideoFixtures::write(dir.path(), input, Codec::Mjpeg, 10.0, 1001, QSize(40, 30));
        } else if (input.startsWith(QLatin1String("huge."))) {
            path = VideoFixtures::withFrameSize(twoSeconds, path, QSize(16000, 16000));
            QVERIFY(!path.isEmpty());
        }
        QTemporaryDir outputs;
        const QString out = outputs.filePath(QStringLiteral("out.bin"));
        const Run run = runCli(QStringList{"build", path, "-o", out} + options);
        QCOMPARE(run.exitCode, 1);
        const QString expected = reason.startsWith(QLatin1String("--")) ? reason : dir.path() + QLatin1Char('/') + reason;
        QCOMPARE(run.err, QStringLiteral("hologram-cli build: %1\n").arg(expected));
        QVERIFY(QDir(outputs.path()).isEmpty());
    }

    // A file whose container claims more than can be read: the build says so and cuts what
    // reads; a start beyond that is refused.
    void saysWhenTheFileClaimsMore()
    {
        const QString path = dir.filePath(QStringLiteral("cut.avi"));
        QFile::remove(path);
        QVERIFY(QFile::copy(twoSeconds, path));
        QVERIFY(VideoFixtures::cutShort(path));
        const qint64 readable = VideoFixtures::readableInOrder(path);
        QVERIFY(readable > 0 && readable < 40);
        const QString warning =
            QStringLiteral("hologram-cli build: warning: %1: the file claims 2.0 s, but only its "
                           "first %2 s can be read\n")
                .arg(path)
                .arg(double(readable) / 25.0, 0, 'f', 1);
        QTemporaryDir outputs;
        const QString out = outputs.filePath(QStringLiteral("out.bin"));
        const Run build = runCli({"build", path, "-o", out});
        QCOMPARE(build.exitCode, 0);
        QCOMPARE(build.err, warning);
        const Run inspect = runCli({"inspect", out});
        const qint64 samples = FrameSchedule(0, readable - 1, 25.0).sampleCount();
        QVERIFY2(inspect.out.contains(QStringLiteral("records: %1\n").arg(samples)),
                 qPrintable(inspect.out));

        const QString start = QString::number(double(readable + 2) / 25.0);
        const Run late = runCli({"build", path, "-o", out, "--start", start});
        QCOMPARE(late.exitCode, 1);
        QVERIFY2(late.err.startsWith(warning), qPrintable(late.err));
        QVERIFY2(late.err.contains(QStringLiteral("--start is past the end")),
                 qPrintable(late.err));
    }
};

QTEST_GUILESS_MAIN(TestVideoCli)
#include "test_video_cli.moc"
