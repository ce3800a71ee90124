// The show on the command line: render refuses damaged files with one line and leaves no
// video, writes one frame per 1/fps of the show, inspect tells the show's length, and build
// takes --time and --loops per file.
#include "CliRun.h"

#include "effect/IndexedHeader.h"
#include "effect/LedDataCodec.h"
#include "import/VideoFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// An indexed file of 8 LEDs x 24 lines: red 0.3 s, green 0.2 s, a clip of blue and white
// played twice (0.9 s in all).
QByteArray smallShow()
{
    IndexedHeader header;
    header.languageByte = 0x22;
    header.recordCount = 4;
    header.segments = {{1, 1, 3, 1}, {2, 2, 2, 1}, {3, 4, 1, 2}};
    QByteArray bytes = header.toBytes();
    for (const QColor colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue),
                                QColor(Qt::white)}) {
        QByteArray triples;
        for (int i = 0; i < 8 * 24; ++i)
            triples.append(char(colour.green())).append(char(colour.red()))
                .append(char(colour.blue()));
        bytes += LedDataCodec::codeSlottedRecord(triples, 8, 24);
    }
    return bytes;
}

int framesIn(const QString &path)
{
    VideoFile video;
    if (!video.open(path))
        return -1;
    int frames = 0;
    while (!video.read().isNull())
        ++frames;
    return frames;
}

} // namespace

class TestShowCli : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;

    QString file(const QString &name) const { return dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(out.write(bytes), bytes.size());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        writeFile(QStringLiteral("show.bin"), smallShow());
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        QVERIFY(picture.save(file(QStringLiteral("a.png"))));
        QVERIFY(picture.save(file(QStringLiteral("b.png"))));
        QVERIFY(picture.save(file(QStringLiteral("3")), "PNG"));
        QVERIFY(QFile::copy(qEnvironmentVariable("HD_TEST_DATA")
                                + QStringLiteral("/effect_3frames_600x300.gif"),
                            file(QStringLiteral("c.gif"))));
    }

    void renderRefusesWithOneLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");

        const QByteArray good = smallShow();
        QByteArray oneMagic = good;
        oneMagic[3025] = 0;
        const QStringList small{"--leds", "8", "--lines", "24"};
        QTest::newRow("cut short") << good.left(good.size() - 100) << small << "out.mp4"
                                   << "damaged or of another geometry";
        QTest::newRow("another geometry") << good << QStringList{} << "out.mp4"
                                          << "damaged or of another geometry";
        QTest::newRow("end magic damaged") << oneMagic << small << "out.mp4"
                                           << "damaged indexed header";
        QTest::newRow("not a video name") << good << small << "out.mov" << ".mp4 or .avi";
        QTest::newRow("fps out of range") << good << small + QStringList{"--fps", "0"}
                                          << "out.mp4" << "--fps";
        QTest::newRow("size out of range") << good << small + QStringList{"--size", "8"}
                                           << "out.avi" << "--size";
        QTest::newRow("no directory for the video") << good << small << "missing/out.mp4"
                                                    << "cannot write a video";
    }

    void renderRefusesWithOneLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, options);
        QFETCH(QString, output);
        QFETCH(QString, message);
        writeFile(QStringLiteral("bad.bin"), bytes);
        const QString out = file(output);
        const CliRun run =
            CliRun::of(QStringList{"render", file("bad.bin"), "-o", out} + options);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("hologram-cli render: "))
                     && run.err.contains(message) && run.err.count(u'\n') == 1,
                 qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QVERIFY(!QFile::exists(out));
    }

    void renderWritesTheShowInRealTime_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("frames");

        QTest::newRow("defaults: 10 fps, 450 px") << "show.mp4" << QStringList{} << 9;
        QTest::newRow("avi at 20 fps, loop once")
            << "show.avi" << QStringList{"--fps", "20", "--size", "100", "--loop-once"} << 18;
        QTest::newRow("3 fps") << "slow.mp4" << QStringList{"--fps", "3", "--size", "64"} << 3;
    }

    void renderWritesTheShowInRealTime()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, options);
        QFETCH(int, frames);
        const QString out = file(name);
        const CliRun run = CliRun::of(QStringList{"render", file("show.bin"), "-o", out, "--leds",
                                                  "8", "--lines", "24"}
                                      + options);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("%1 frames").arg(frames))
                     && run.out.contains(QStringLiteral("0:00.9")),
                 qPrintable(run.out));
        QCOMPARE(framesIn(out), frames);
    }

    void interruptedRenderLeavesNoVideo_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }

    void interruptedRenderLeavesNoVideo()
    {
        QFETCH(int, signalNumber);
        // One picture of 255 x 255 tenths: 108 minutes, far longer than the test waits.
        IndexedHeader header;
        header.recordCount = 1;
        header.segments = {{1, 1, 255, 255}};
        writeFile(QStringLiteral("long.bin"),
                  header.toBytes() + smallShow().mid(4096, 4096));
        const QString out = file(QStringLiteral("long.mp4"));
        QProcess render;
        render.start(QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli"),
                     {"render", file("long.bin"), "-o", out, "--leds", "8", "--lines", "24",
                      "--size", "32", "--fps", "60", "--max-frames", "400000"});
        QVERIFY(render.waitForStarted());
        // The video grows beside its name until it is complete.
        const auto staged = [this] {
            return QDir(dir.path()).entryInfoList({QStringLiteral(".long.mp4-*")},
                                                  QDir::Files | QDir::Hidden);
        };
        QTRY_VERIFY_WITH_TIMEOUT(!staged().isEmpty() && staged().first().size() > 0, 30000);
        QVERIFY(!QFileInfo::exists(out));
        QCOMPARE(::kill(pid_t(render.processId()), signalNumber), 0);
        QVERIFY(render.waitForFinished(60000));
        QCOMPARE(render.exitCode(), 128 + signalNumber);
        // Past the progress lines: why it stopped, then the signal.
        QStringList lines = QString::fromUtf8(render.readAllStandardError())
                                .split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) { return line.endsWith(QLatin1String("%)")); });
        QCOMPARE(lines.size(), 2);
        QVERIFY2(QRegularExpression("^hologram-cli render: stopped after \\d+ of 390150 "
                                    "frames, nothing kept$")
                     .match(lines[0])
                     .hasMatch(),
                 qPrintable(lines[0]));
        QCOMPARE(lines[1],
                 QStringLiteral("hologram-cli render: interrupted by signal %1").arg(signalNumber));
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(staged().isEmpty());
    }

    void inspectTellsTheShowLength_data()
    {
        QTest::addColumn<bool>("json");
        QTest::newRow("text") << false;
        QTest::newRow("json") << true;
    }

    void inspectTellsTheShowLength()
    {
        QFETCH(bool, json);
        QStringList arguments{"inspect", file("show.bin"), "--leds", "8", "--lines", "24"};
        if (json)
            arguments << "--json";
        const CliRun run = CliRun::of(arguments);
        QCOMPARE(run.exitCode, 0);
        if (json)
            QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8()).object()
                         .value(QStringLiteral("showLengthMs")).toDouble(),
                     900.0);
        else
            QVERIFY2(run.out.contains(QStringLiteral("show length: 0:00.9 (0.9 s)\n")),
                     qPrintable(run.out));
    }

    void buildTakesTimesPerFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("segments");
        QTest::addColumn<QString>("warning");

        QTest::newRow("each option applies to the files after it")
            << QStringList{"--time", "1.5", "a.png", "--time", "0.5", "b.png", "--loops", "2",
                           "c.gif"}
            << QStringList{"records 1-1 picture, 15 x 1", "records 2-2 picture, 5 x 1",
                           "records 3-5 clip, loops 2"}
            << QString();
        QTest::newRow("files before any option get the defaults")
            << QStringList{"a.png", "--time=2", "b.png", "c.gif", "--loops", "3", "c.gif"}
            << QStringList{"records 1-1 picture, 50 x 1", "records 2-2 picture, 20 x 1",
                           "records 3-5 clip, loops 1", "records 6-8 clip, loops 3"}
            << QString();
        QTest::newRow("options after the last file apply to files without one")
            << QStringList{"a.png", "c.gif", "--time", "7", "--loops", "4"}
            << QStringList{"records 1-1 picture, 70 x 1", "records 2-4 clip, loops 4"}
            << QString();
        QTest::newRow("an option value that names a file is still a value")
            << QStringList{"--time", "3", "3"} << QStringList{"records 1-1 picture, 30 x 1"}
            << QString();
        QTest::newRow("a value that starts with a dash is still a value")
            << QStringList{"--at", "-5,3", "--time", "4", "a.png"}
            << QStringList{"records 1-1 picture, 40 x 1"} << QString();
        QTest::newRow("a flag between files takes no value")
            << QStringList{"--time", "2", "a.png", "--smooth", "b.png", "--time", "4", "3"}
            << QStringList{"records 1-1 picture, 20 x 1", "records 2-2 picture, 20 x 1",
                           "records 3-3 picture, 40 x 1"}
            << QString();
        QTest::newRow("after -- every word is a file")
            << QStringList{"--time", "6", "--", "a.png", "3"}
            << QStringList{"records 1-1 picture, 60 x 1", "records 2-2 picture, 60 x 1"}
            << QString();
        QTest::newRow("a time the file cannot hold is told")
            << QStringList{"--time", "0.1", "a.png", "--time", "0.5", "b.png"}
            << QStringList{"records 1-1 picture, 2 x 1", "records 2-2 picture, 5 x 1"}
            << QStringLiteral("hologram-cli build: warning: --time 0.1 is stored as 0.2 s\n");
    }

    void buildTakesTimesPerFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, segments);
        QFETCH(QString, warning);
        QDir::setCurrent(dir.path());
        const QString out = file(QStringLiteral("built.bin"));
        QFile::remove(out);
        const CliRun build = CliRun::of(QStringList{"build", "-o", out} + arguments);
        QCOMPARE(build.err, warning);
        QCOMPARE(build.exitCode, 0);
        const CliRun inspect = CliRun::of({"inspect", out});
        QCOMPARE(inspect.exitCode, 0);
        for (int i = 0; i < segments.size(); ++i)
            QVERIFY2(inspect.out.contains(QStringLiteral("  %1: %2").arg(i + 1).arg(segments[i])),
                     qPrintable(inspect.out));
        QVERIFY(!inspect.out.contains(QStringLiteral("  %1: ").arg(segments.size() + 1)));
    }
};

QTEST_GUILESS_MAIN(TestShowCli)
#include "test_show_cli.moc"
