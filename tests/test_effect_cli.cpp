// hologram-cli build, inspect and preview, run as a separate process: a playlist built from
// files must come back out of the effect file unchanged.

#include "EffectTestSupport.h"

#include "cli/BuildCommand.h"
#include "effect/IndexedHeader.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace effecttest;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli"),
                  arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QString gifFixture()
{
    return qEnvironmentVariable("HD_TEST_DATA") + QStringLiteral("/effect_3frames_600x300.gif");
}

// Dominant channel at the middle of a preview: 0 red, 1 green, 2 blue.
int dominantChannel(const QImage &image)
{
    const QColor c(image.pixel(image.width() / 2, image.height() / 2));
    if (c.red() > c.green() && c.red() > c.blue())
        return 0;
    return c.green() > c.blue() ? 1 : 2;
}

} // namespace

class TestEffectCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tempDir;

    QString file(const QString &name) const { return tempDir.filePath(name); }

    void makePicture(const QString &name, QSize size, QColor colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(file(name)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tempDir.isValid());
        initAppGlobals(tempDir.path());
        QVERIFY(QFileInfo::exists(gifFixture()));
        makePicture(QStringLiteral("yellow.png"), {320, 240}, Qt::yellow);
        makePicture(QStringLiteral("cyan.jpg"), {200, 300}, Qt::cyan);
    }

    void buildInspectPreviewRoundTrip()
    {
        const QString out = file(QStringLiteral("show.bin"));
        const QStringList geometry{"--leds", "36", "--lines", "360"};
        Run run = runCli(QStringList{"build", "-o", out, "--lang", "zh_HK", "--time", "7.4",
                                     "--loops", "3"}
                         + geometry
                         + QStringList{file("yellow.png"), gifFixture(), file("cyan.jpg")});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY(run.err.isEmpty());

        run = runCli(QStringList{"inspect", out, "--json"} + geometry);
        QCOMPARE(run.exitCode, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json["layout"].toString(), QStringLiteral("indexed"));
        QCOMPARE(json["languageByte"].toInt(), 0x11);
        QCOMPARE(json["recordCount"].toInt(), 5);
        QCOMPARE(json["fileSize"].toInteger(), 4096 + 5 * 32768);
        QVERIFY(json["lengthAgrees"].toBool());
        const QJsonArray segments = json["segments"].toArray();
        QCOMPARE(segments.size(), 3);
        // Pictures first in the order given, then the GIF's frames as a clip.
        const QList<QList<int>> expected{{1, 1, 74, 1}, {2, 2, 74, 1}, {3, 5, 1, 3}};
        for (int i = 0; i < 3; ++i) {
            const QJsonObject s = segments[i].toObject();
            QCOMPARE((QList<int>{s["first"].toInt(), s["last"].toInt(), s["time"].toInt(),
                                 s["repeat"].toInt()}),
                     expected[i]);
        }

        // Each picture record is exactly what converting that picture alone gives.
        const QByteArray bytes = fileBytes(out);
        run = runCli(QStringList{"convert", file("cyan.jpg"), "-o", file("cyan.buf")} + geometry);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(bytes.mid(4096 + 32768, 32768), fileBytes(file("cyan.buf")));

        const QString previews = file(QStringLiteral("previews"));
        run = runCli(QStringList{"preview", out, "-o", previews} + geometry);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QStringList names = QDir(previews).entryList(QDir::Files, QDir::Name);
        QCOMPARE(names, (QStringList{"clip_1_frame_001.png", "clip_1_frame_002.png",
                                     "clip_1_frame_003.png", "picture_01.png",
                                     "picture_02.png"}));
        const QList<int> frameColours{0, 1, 2}; // the GIF's red, green, blue frames
        for (int k = 0; k < 3; ++k) {
            const QImage preview(QDir(previews).filePath(names[k]));
            QCOMPARE(preview.size(), QSize(450, 450));
            QCOMPARE(dominantChannel(preview), frameColours[k]);
            // The 600 x 300 frame is cut to 450 x 450 with black above and below.
            QCOMPARE(QColor(preview.pixel(225, 40)), QColor(Qt::black));
        }
    }

    void inspectSlottedFile()
    {
        GeometryScope geometry(8, 16);
        SlottedShape shape;
        shape.pictureCount = 4;
        shape.frameCounts = {2, 0, 0, 0, 1};
        shape.loopCounts = {5, 0, 0, 0, 9};
        const QString path = file(QStringLiteral("T4.bin"));
        QVERIFY(writeBytes(path, slottedFile(shape)));
        Run run = runCli({"inspect", path, "--json", "--leds", "8", "--lines", "16"});
        QCOMPARE(run.exitCode, 0);
        QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json["layout"].toString(), QStringLiteral("slotted"));
        QCOMPARE(json["pictureCount"].toInt(), 4);
        QCOMPARE(json["clipFrameCounts"].toArray(), (QJsonArray{2, 0, 0, 0, 1}));
        QCOMPARE(json["clipLoopCounts"].toArray(), (QJsonArray{5, 0, 0, 0, 9}));
        QVERIFY(json["lengthAgrees"].toBool());

        run = runCli({"inspect", path, "--json"});
        json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!json["lengthAgrees"].toBool());

        const QString previews = file(QStringLiteral("slotted"));
        run = runCli({"preview", path, "-o", previews, "--leds", "8", "--lines", "16"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(previews).entryList(QDir::Files).size(), 4 + 3);
    }

    void errorsAreOneLineAndLeaveNoOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no output") << QStringList{"build", "yellow.png"} << "-o OUT.bin";
        QTest::newRow("unknown language") << QStringList{"build", "-o", "@out", "--lang", "fr",
                                                         "yellow.png"}
                                          << "--lang";
        QTest::newRow("bad time") << QStringList{"build", "-o", "@out", "--time", "x",
                                                 "yellow.png"}
                                  << "--time";
        QTest::newRow("bad loops") << QStringList{"build", "-o", "@out", "--loops", "0",
                                                  "yellow.png"}
                                   << "--loops";
        QTest::newRow("bad leds") << QStringList{"build", "-o", "@out", "--leds", "501",
                                                 "yellow.png"}
                                  << "--leds";
        QTest::newRow("missing input") << QStringList{"build", "-o", "@out", "yellow.png",
                                                      "missing.png"}
                                       << "no such file";
        QTest::newRow("video") << QStringList{"build", "-o", "@out", "clip.mp4"}
                               << "video import is not available yet";
        QTest::newRow("not a picture") << QStringList{"build", "-o", "@out", "text.png"}
                                       << "not a readable picture";
        QTest::newRow("inspect missing") << QStringList{"inspect", "missing.bin"}
                                         << "cannot open";
        QTest::newRow("inspect directory") << QStringList{"inspect", "@dir"} << "directory";
        QTest::newRow("inspect tiny") << QStringList{"inspect", "tiny.bin"} << "shorter";
        QTest::newRow("preview tiny") << QStringList{"preview", "tiny.bin", "-o", "@outdir"}
                                      << "shorter";
        QTest::newRow("preview wrong geometry")
            << QStringList{"preview", "indexed.bin", "-o", "@outdir", "--leds", "9"}
            << "does not fit";
    }

    void errorsAreOneLineAndLeaveNoOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir scratch;
        QVERIFY(writeBytes(scratch.filePath("clip.mp4"), "not a video"));
        QVERIFY(writeBytes(scratch.filePath("text.png"), "not a picture"));
        QVERIFY(writeBytes(scratch.filePath("tiny.bin"), QByteArray(10, '\0')));
        QVERIFY(QFile::copy(file("yellow.png"), scratch.filePath("yellow.png")));
        QVERIFY(QDir(scratch.path()).mkdir("dir"));
        IndexedHeader header;
        header.recordCount = 1;
        header.segments = {{1, 1, 50, 1}};
        QVERIFY(writeBytes(scratch.filePath("indexed.bin"),
                           header.toBytes()
                               + QByteArray(DataBitCalculation::ledDataLength(112, 430), 0)));
        // An earlier effect at the output path must survive a failed build.
        QVERIFY(writeBytes(scratch.filePath("out.bin"), "earlier"));

        QStringList resolved;
        for (const QString &argument : arguments) {
            if (argument.startsWith('@'))
                resolved << scratch.filePath(argument.mid(1) == "out" ? "out.bin" : argument.mid(1));
            else if (!argument.startsWith('-') && argument.contains('.'))
                resolved << scratch.filePath(argument);
            else
                resolved << argument;
        }
        const QStringList before = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const Run run = runCli(resolved);
        QVERIFY(run.exitCode > 0);
        const QString err = QString::fromUtf8(run.err).trimmed();
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY2(!err.contains('\n'), qPrintable(err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(fileBytes(scratch.filePath("out.bin")), QByteArray("earlier"));
    }

    void gifFramesAreCutAroundTheirCentre_data()
    {
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QRect>("picture"); // where the frame's pixels land in the square
        QTest::newRow("wide") << QSize(600, 300) << QRect(0, 75, 450, 300);
        QTest::newRow("small") << QSize(300, 200) << QRect(75, 125, 300, 200);
        QTest::newRow("odd and small") << QSize(301, 451) << QRect(74, 0, 301, 450);
        QTest::newRow("exact") << QSize(450, 450) << QRect(0, 0, 450, 450);
        QTest::newRow("large") << QSize(1000, 900) << QRect(0, 0, 450, 450);
    }

    void gifFramesAreCutAroundTheirCentre()
    {
        QFETCH(QSize, frameSize);
        QFETCH(QRect, picture);
        // A frame whose pixels encode their own coordinates.
        QImage frame(frameSize, QImage::Format_RGB32);
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                frame.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)));
        const QImage square = BuildCommand::cutGifFrame(frame);
        QCOMPARE(square.size(), QSize(450, 450));
        const int left = (frameSize.width() - 450) / 2;
        const int top = (frameSize.height() - 450) / 2;
        for (int y = 0; y < 450; y += 7)
            for (int x = 0; x < 450; x += 7) {
                const QRgb pixel = square.pixel(x, y);
                if (!picture.contains(x, y)) {
                    QCOMPARE(pixel, qRgb(0, 0, 0));
                    continue;
                }
                // Frame coordinates of this square pixel.
                const int fx = x - picture.x() + qMax(0, left);
                const int fy = y - picture.y() + qMax(0, top);
                QCOMPARE(pixel, frame.pixel(fx, fy));
            }
    }
};

QTEST_GUILESS_MAIN(TestEffectCli)
#include "test_effect_cli.moc"
