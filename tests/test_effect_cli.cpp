// hologram-cli build, inspect and preview, run as a separate process: a playlist built from
// files must come back out of the effect file unchanged.

#include "EffectTestSupport.h"

#include "effect/IndexedHeader.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <tuple>

using namespace effecttest;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QString cliPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli");
}

// A run that does not end within timeoutMs is killed and reported with exit code -1.
Run runCli(const QStringList &arguments, int timeoutMs = 60000)
{
    QProcess process;
    process.start(cliPath(), arguments);
    Run run;
    if (!process.waitForFinished(timeoutMs)) {
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

// hologram-cli preview of a long clip of black frames (five seconds of work or more), run in
// the background with a temporary location of its own where the test can watch the command's
// work directory.
struct BackgroundPreview
{
    QTemporaryDir scratch;
    QString input = scratch.filePath(QStringLiteral("long.bin"));
    QString output = scratch.filePath(QStringLiteral("previews"));
    QString temporary = scratch.filePath(QStringLiteral("tmp"));
    QProcess process;

    bool start()
    {
        const IndexedHeader header = clipsHeader({1000});
        if (!QDir().mkpath(temporary)
            || !writeZeroRecords(input, header.toBytes(), header.recordCount,
                                 DataBitCalculation::ledDataLength(112, 430)))
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary);
        process.setProcessEnvironment(environment);
        process.start(cliPath(), {"preview", input, "-o", output});
        return process.waitForStarted();
    }

    // True once the command's work directory holds the files of an item.
    bool hasMadeItems() const
    {
        return QDirIterator(temporary, QDir::Files, QDirIterator::Subdirectories).hasNext();
    }

    bool temporaryIsEmpty() const
    {
        return QDir(temporary).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

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

    // A slotted file of the factory geometry is inspected as that geometry when none is
    // given, and said so; a geometry given is kept.
    void inspectAdoptsTheGeometryASlottedFileFits_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("leds");
        QTest::addColumn<bool>("agrees");
        QTest::addColumn<bool>("noted");
        QTest::newRow("no geometry given") << QStringList{} << 36 << true << true;
        QTest::newRow("geometry given is kept")
            << QStringList{"--leds", "112", "--lines", "430"} << 112 << false << false;
    }

    void inspectAdoptsTheGeometryASlottedFileFits()
    {
        QFETCH(QStringList, options);
        QFETCH(int, leds);
        QFETCH(bool, agrees);
        QFETCH(bool, noted);
        QByteArray bytes(120, '\0');
        bytes[19] = 1;  // one picture
        bytes[20] = 5;  // shown 1 s
        bytes.append(QByteArray(100 * 3 * 36 * 360, '\x11'));
        const QString path = file(QStringLiteral("factory.bin"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(bytes), bytes.size());
        out.close();
        const Run run = runCli(QStringList{"inspect", path, "--json"} + options);
        QCOMPARE(run.exitCode, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json["ledCount"].toInt(), leds);
        QCOMPARE(json["lengthAgrees"].toBool(), agrees);
        QCOMPARE(run.err.contains("36 x 360"), noted);
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

    void zeroTimingsAreTold_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("warning");
        // The records are made here, so the geometry holds here.
        GeometryScope geometry(8, 16);
        const qint64 record = DataBitCalculation::ledDataLength(8, 16);
        auto indexed = [record](int records, const QList<IndexedHeader::Segment> &segments) {
            IndexedHeader header;
            header.recordCount = records;
            header.segments = segments;
            return header.toBytes() + QByteArray(records * record, '\0');
        };
        SlottedShape noTime;
        noTime.pictureCount = 2;
        noTime.timeBase = -1; // slot 1 gets time byte 0
        SlottedShape noLoops;
        noLoops.pictureCount = 1;
        noLoops.frameCounts = {2, 0, 0, 0, 0};
        const QList<std::tuple<const char *, QByteArray, QString>> files{
            {"picture of time 0", indexed(1, {{1, 1, 0, 1}}),
             "segment 1 shows its picture for time 0"},
            {"picture repeated 0 times", indexed(2, {{1, 1, 50, 1}, {2, 2, 50, 0}}),
             "segment 2 shows its picture 0 times"},
            {"clip of 0 loops", indexed(2, {{1, 2, 1, 0}}), "segment 1 is a clip of 0 loops"},
            {"slotted slot of time 0", slottedFile(noTime), "picture slot 1 has a time of 0"},
            {"slotted clip of 0 loops", slottedFile(noLoops), "clip 1 has 2 frames and 0 loops"}};
        for (const QString command : {"inspect", "preview"})
            for (const auto &[name, bytes, warning] : files)
                QTest::addRow("%s %s", qPrintable(command), name)
                    << command << bytes
                    << QStringLiteral("hologram-cli %1: warning: %2").arg(command, warning);
    }

    void zeroTimingsAreTold()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, warning);
        GeometryScope geometry(8, 16);
        QTemporaryDir scratch;
        const QString path = scratch.filePath(QStringLiteral("zero.bin"));
        QVERIFY(writeBytes(path, bytes));
        QStringList arguments{command, path, "--leds", "8", "--lines", "16"};
        if (command == QLatin1String("preview"))
            arguments << "-o" << scratch.filePath(QStringLiteral("previews"));
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(QString::fromUtf8(run.err).split(u'\n').contains(warning), run.err.constData());
    }

    void previewsOfLedDataShowThePicture_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::newRow("white") << 0;
        QTest::newRow("mid grey") << 1;
        QTest::newRow("colour gradients") << 2;
        QTest::newRow("fine detail") << 3;
    }

    // The window's preview of a picture and the one drawn back from its LED data (preview,
    // render, read-back) show the same colours, not the drive values.
    void previewsOfLedDataShowThePicture()
    {
        QFETCH(int, pattern);
        QImage picture(450, 450, QImage::Format_RGB32);
        for (int y = 0; y < 450; ++y)
            for (int x = 0; x < 450; ++x) {
                const QRgb colours[] = {qRgb(255, 255, 255), qRgb(128, 128, 128),
                                        qRgb(x * 255 / 449, y * 255 / 449, 255 - (x + y) * 255 / 898),
                                        qRgb((x * 7 + y * 3) % 256, (x * y) % 256, (x ^ y) % 256)};
                picture.setPixel(x, y, colours[pattern]);
            }
        const QString name = QStringLiteral("shown%1").arg(pattern);
        QVERIFY(picture.save(file(name + QStringLiteral(".png"))));
        const QList<QStringList> runs{
            {"convert", file(name + ".png"), "-o", file(name + ".buf"), "--preview", file(name + "-window.png")},
            {"build", "-o", file(name + ".bin"), file(name + ".png")},
            {"preview", file(name + ".bin"), "-o", file(name)}};
        for (const QStringList &arguments : runs) {
            const Run run = runCli(arguments);
            QVERIFY2(run.exitCode == 0, run.err.constData());
        }
        const QImage window = QImage(file(name + "-window.png")).convertToFormat(QImage::Format_RGB32);
        const QImage drawn = QImage(file(name + "/picture_01.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(drawn.size(), window.size());
        qint64 difference[3] = {0, 0, 0};
        for (int y = 0; y < window.height(); ++y)
            for (int x = 0; x < window.width(); ++x) {
                const QRgb a = window.pixel(x, y), b = drawn.pixel(x, y);
                difference[0] += qAbs(qRed(a) - qRed(b));
                difference[1] += qAbs(qGreen(a) - qGreen(b));
                difference[2] += qAbs(qBlue(a) - qBlue(b));
            }
        for (qint64 channel : difference)
            QVERIFY2(channel < 8 * 450 * 450, qPrintable(QString::number(channel / (450.0 * 450))));
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
        QTest::newRow("undecodable video") << QStringList{"build", "-o", "@out", "clip.mp4"}
                                           << "cannot be decoded as a video";
        QTest::newRow("not a picture") << QStringList{"build", "-o", "@out", "text.png"}
                                       << "not a readable picture";
        QTest::newRow("no files") << QStringList{"build", "-o", "@out"} << "no FILE given";
        QStringList tooMany{"build", "-o", "@out"};
        for (int i = 0; i < 501; ++i)
            tooMany << "yellow.png";
        QTest::newRow("more files than the table holds") << tooMany << "at most 500 pictures";
        QTest::newRow("inspect a file of no geometry")
            << QStringList{"inspect", "zeros.bin"} << "fit the slotted layout at no display geometry";
        QTest::newRow("inspect missing") << QStringList{"inspect", "missing.bin"}
                                         << "cannot open";
        QTest::newRow("inspect directory") << QStringList{"inspect", "@dir"} << "directory";
        QTest::newRow("inspect tiny") << QStringList{"inspect", "tiny.bin"} << "shorter";
        QTest::newRow("preview tiny") << QStringList{"preview", "tiny.bin", "-o", "@outdir"}
                                      << "shorter";
        QTest::newRow("preview wrong geometry")
            << QStringList{"preview", "indexed.bin", "-o", "@outdir", "--leds", "9"}
            << "does not fit";
        QTest::newRow("inspect damaged end magic")
            << QStringList{"inspect", "damaged.bin"} << "damaged indexed header";
        QTest::newRow("preview damaged end magic")
            << QStringList{"preview", "damaged.bin", "-o", "@outdir"} << "damaged indexed header";
        QTest::newRow("preview clip over the limit")
            << QStringList{"preview", "huge.bin", "-o", "@outdir", "--leds", "1", "--lines", "1"}
            << "clip 1 claims 65535 frames, more than the 1000 a clip may hold";
    }

    void errorsAreOneLineAndLeaveNoOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir scratch;
        QVERIFY(writeBytes(scratch.filePath("clip.mp4"), "not a video"));
        QVERIFY(writeBytes(scratch.filePath("text.png"), "not a picture"));
        QVERIFY(writeBytes(scratch.filePath("tiny.bin"), QByteArray(10, '\0')));
        // 1,000 bytes after the header: no geometry gives that for 100 empty slots.
        QVERIFY(writeBytes(scratch.filePath("zeros.bin"), QByteArray(1120, '\0')));
        QVERIFY(QFile::copy(file("yellow.png"), scratch.filePath("yellow.png")));
        QVERIFY(QDir(scratch.path()).mkdir("dir"));
        IndexedHeader header;
        header.recordCount = 1;
        header.segments = {{1, 1, 50, 1}};
        QVERIFY(writeBytes(scratch.filePath("indexed.bin"),
                           header.toBytes()
                               + QByteArray(DataBitCalculation::ledDataLength(112, 430), 0)));
        QByteArray damaged = fileBytes(scratch.filePath("indexed.bin"));
        damaged[3024] = 0;
        QVERIFY(writeBytes(scratch.filePath("damaged.bin"), damaged));
        const IndexedHeader huge = clipsHeader({65535});
        QVERIFY(writeZeroRecords(scratch.filePath("huge.bin"), huge.toBytes(), huge.recordCount,
                                 DataBitCalculation::ledDataLength(1, 1)));
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

    void specialFilesAreRefusedUnopened_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QList<QPair<QString, QString>> kinds{
            {"missing", "no such file"},
            {"directory", "is a directory"},
            {"FIFO", "is not a regular file (a FIFO)"},
            {"device", "is not a regular file (a character device)"}};
        for (const QString command : {"inspect", "preview", "convert", "build"})
            for (const auto &[kind, reason] : kinds)
                QTest::addRow("%s %s", qPrintable(command), qPrintable(kind))
                    << command << kind << reason;
        QTest::newRow("inspect socket") << "inspect" << "socket"
                                        << "is not a regular file (a socket)";
    }

    void specialFilesAreRefusedUnopened()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir scratch;
        const SpecialFile special(scratch.path(), kind);
        const QString out = scratch.filePath(QStringLiteral("out"));
        QStringList arguments{command, special.path};
        if (command == QLatin1String("build"))
            arguments = QStringList{command, "-o", out, file("yellow.png"), special.path};
        else if (command != QLatin1String("inspect"))
            arguments << "-o" << out;
        // A command that opened the FIFO would block: it is stopped and the row fails.
        const Run run = runCli(arguments, 20000);
        QCOMPARE(run.exitCode, 1);
        const QString err = QString::fromUtf8(run.err).trimmed();
        QCOMPARE(err, QStringLiteral("hologram-cli %1: cannot open %2: %3")
                          .arg(command, special.path, reason));
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFileInfo::exists(out));
    }

    void previewOfAFileCutWhileReadCountsTheMissingRecords()
    {
        BackgroundPreview preview;
        QVERIFY(preview.start());
        QTRY_VERIFY_WITH_TIMEOUT(preview.hasMadeItems(), 30000);
        // Down to the header and ten records, as a medium pulled out during the read leaves it.
        QVERIFY(QFile::resize(preview.input,
                              4096 + 10 * DataBitCalculation::ledDataLength(112, 430)));
        QVERIFY(preview.process.waitForFinished(120000));
        QCOMPARE(preview.process.exitCode(), 1);
        const QString out = QString::fromUtf8(preview.process.readAllStandardOutput());
        const QString err = QString::fromUtf8(preview.process.readAllStandardError()).trimmed();
        const auto written = QRegularExpression("^(\\d+) previews written\n$").match(out);
        const auto missing = QRegularExpression("^hologram-cli preview: the file ended early: "
                                                "(\\d+) of 1000 records are missing$")
                                 .match(err);
        QVERIFY2(written.hasMatch(), qPrintable(out));
        QVERIFY2(missing.hasMatch(), qPrintable(err));
        QVERIFY(missing.captured(1).toInt() > 0);
        // The previews of the records read are kept, one file each.
        QCOMPARE(written.captured(1).toInt() + missing.captured(1).toInt(), 1000);
        QCOMPARE(QDir(preview.output).entryList(QDir::Files).size(), written.captured(1).toInt());
        QVERIFY(preview.temporaryIsEmpty());
    }

    void signalsLeaveNoTemporaryDirectory_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void signalsLeaveNoTemporaryDirectory()
    {
        QFETCH(int, signalNumber);
        BackgroundPreview preview;
        QVERIFY(preview.start());
        QTRY_VERIFY_WITH_TIMEOUT(preview.hasMadeItems(), 30000);
        QCOMPARE(::kill(pid_t(preview.process.processId()), signalNumber), 0);
        // Not finished in time: the process is killed with the QProcess and the row fails.
        QVERIFY(preview.process.waitForFinished(60000));
        QCOMPARE(preview.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(preview.process.exitCode(), 128 + signalNumber);
        QCOMPARE(QString::fromUtf8(preview.process.readAllStandardError()).trimmed(),
                 QStringLiteral("hologram-cli preview: interrupted by signal %1").arg(signalNumber));
        QVERIFY(preview.temporaryIsEmpty());
        QVERIFY(!QFileInfo::exists(preview.output));
    }

    void buildSamplesAsAsked_data()
    {
        QTest::addColumn<bool>("smooth");
        QTest::newRow("sharp") << false;
        QTest::newRow("smooth") << true;
    }

    void buildSamplesAsAsked()
    {
        // Pictures and GIF frames of a build are sampled the way convert samples them.
        QFETCH(bool, smooth);
        QImage stripes(300, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                stripes.setPixel(x, y, x % 2 ? 0xffffffffu : 0xff000000u);
        QVERIFY(stripes.save(file("stripes.png")));
        const QStringList geometry{"--leds", "36", "--lines", "360"};
        const QStringList mode = smooth ? QStringList{"--smooth"} : QStringList();
        const QString out = file(QStringLiteral("sampled.bin"));
        Run run = runCli(QStringList{"build", "-o", out} + geometry + mode
                         + QStringList{file("stripes.png"), gifFixture()});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QByteArray bytes = fileBytes(out);
        for (const bool asked : {false, true}) {
            run = runCli(QStringList{"convert", file("stripes.png"), "-o", file("stripes.buf")}
                         + geometry + (asked ? QStringList{"--smooth"} : QStringList()));
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(bytes.mid(4096, 32768) == fileBytes(file("stripes.buf")), asked == smooth);
        }

        QImageReader reader(gifFixture());
        const QImage frame = reader.read();
        ledCount = 36;
        lineNumber = 360;
        ImageObject item(1, QString(), 10.0, ImageObject::KindGifFrame);
        item.sampling = smooth ? SamplingMode::Smooth : SamplingMode::Sharp;
        convertPicture(RoundSquare::cutFrame(frame, RoundSquare::centredRegion(frame.size())), &item,
                       nullptr, ReadImageThread::SamplingPreview::Skip);
        ledCount = kDefaultLedCount;
        lineNumber = kDefaultLineNumber;
        QCOMPARE(bytes.mid(4096 + 32768, 32768), item.readLedData());
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
        const QImage square =
            RoundSquare::cutFrame(frame, RoundSquare::centredRegion(frame.size()));
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
