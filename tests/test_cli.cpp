// hologram-cli, run as a separate process next to this test binary.
#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString cliPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli");
}

struct Run {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(cliPath(), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void help();
    void convertMatchesItemBuf_data();
    void convertMatchesItemBuf();
    void previewOnlyWhenAsked_data();
    void previewOnlyWhenAsked();
    void errorsLeaveNothing_data();
    void errorsLeaveNothing();

private:
    QTemporaryDir dir;
    QString picture;
};

void TestCli::initTestCase()
{
    QVERIFY(QFile::exists(cliPath()));
    QVERIFY(dir.isValid());
    QImage image(640, 480, QImage::Format_RGB32);
    QRandomGenerator random(17);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, 0xff000000u | random.bounded(0x1000000u));
    picture = dir.filePath(QStringLiteral("picture.png"));
    QVERIFY(image.save(picture));
}

void TestCli::help()
{
    const Run run = runCli({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("convert INPUT -o OUT.buf"));
    QVERIFY(run.out.contains("--leds N"));
    QVERIFY(run.out.contains("--lines L"));
}

void TestCli::convertMatchesItemBuf_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("smooth");
    QTest::newRow("defaults") << 0 << 0 << false;
    QTest::newRow("36 x 360") << 36 << 360 << false;
    QTest::newRow("1 x 1") << 1 << 1 << false;
    QTest::newRow("defaults, smooth") << 0 << 0 << true;
    QTest::newRow("36 x 360, smooth") << 36 << 360 << true;
    QTest::newRow("1 x 1, smooth") << 1 << 1 << true;
}

void TestCli::convertMatchesItemBuf()
{
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(bool, smooth);
    const QString out = dir.filePath(QStringLiteral("out.buf"));
    const QString png = dir.filePath(QStringLiteral("out.png"));
    QStringList arguments{QStringLiteral("convert"), picture, QStringLiteral("-o"), out,
                          QStringLiteral("--preview"), png};
    if (leds)
        arguments << QStringLiteral("--leds") << QString::number(leds) << QStringLiteral("--lines")
                  << QString::number(lines);
    if (smooth)
        arguments << QStringLiteral("--smooth");
    const Run run = runCli(arguments);
    QVERIFY2(run.exitCode == 0, run.err.constData());

    QTemporaryDir work;
    initAppGlobals(work.path());
    if (leds) {
        ledCount = leds;
        lineNumber = lines;
    }
    ImageObject item(0, QString(), 5.0, ImageObject::KindPictureFile);
    item.sampling = smooth ? SamplingMode::Smooth : SamplingMode::Sharp;
    convertPicture(PictureLoader::load(picture), &item);
    QCOMPARE(readFile(out), item.readLedData());
    QCOMPARE(QImage(png), item.loadSamplingPreview());
    QFile::remove(out);
    QFile::remove(png);
}

void TestCli::previewOnlyWhenAsked_data()
{
    QTest::addColumn<QStringList>("geometry");
    QTest::addColumn<bool>("withPreview");
    QTest::newRow("defaults, no preview") << QStringList() << false;
    QTest::newRow("defaults, preview") << QStringList() << true;
    QTest::newRow("36 x 360, no preview") << QStringList{"--leds", "36", "--lines", "360"} << false;
    QTest::newRow("500 x 600, preview") << QStringList{"--leds", "500", "--lines", "600"} << true;
}

void TestCli::previewOnlyWhenAsked()
{
    // The LED data is the same with and without a preview; a preview is written only when
    // asked for, and nothing else lands next to the outputs.
    QFETCH(QStringList, geometry);
    QFETCH(bool, withPreview);
    QTemporaryDir outputs;
    const QString out = outputs.filePath(QStringLiteral("out.buf"));
    const QString png = outputs.filePath(QStringLiteral("out.png"));
    QStringList arguments = QStringList{QStringLiteral("convert"), picture, QStringLiteral("-o"),
                                        out} + geometry;
    if (withPreview)
        arguments << QStringLiteral("--preview") << png;
    const Run run = runCli(arguments);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const Run reference = runCli(QStringList{QStringLiteral("convert"), picture,
                                             QStringLiteral("-o"), dir.filePath("ref.buf"),
                                             QStringLiteral("--preview"), dir.filePath("ref.png")} +
                                 geometry);
    QVERIFY2(reference.exitCode == 0, reference.err.constData());
    QCOMPARE(readFile(out), readFile(dir.filePath("ref.buf")));
    QCOMPARE(QFile::exists(png), withPreview);
    const QStringList expected = withPreview ? QStringList{"out.buf", "out.png"}
                                             : QStringList{"out.buf"};
    QCOMPARE(QDir(outputs.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             expected);
}

void TestCli::errorsLeaveNothing_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("writableOutput");
    QTest::newRow("missing input") << QStringList() << QStringLiteral("nope.png") << true;
    QTest::newRow("not a picture") << QStringList() << QStringLiteral("text.png") << true;
    QTest::newRow("unwritable output") << QStringList() << QString() << false;
    QTest::newRow("leds 0") << QStringList{"--leds", "0"} << QString() << true;
    QTest::newRow("leds 501") << QStringList{"--leds", "501"} << QString() << true;
    QTest::newRow("leds not a number") << QStringList{"--leds", "many"} << QString() << true;
    QTest::newRow("lines 0") << QStringList{"--lines", "0"} << QString() << true;
    QTest::newRow("lines 601") << QStringList{"--lines", "601"} << QString() << true;
    QTest::newRow("unknown option") << QStringList{"--colour"} << QString() << true;
}

void TestCli::errorsLeaveNothing()
{
    QFETCH(QStringList, extra);
    QFETCH(QString, input);
    QFETCH(bool, writableOutput);
    QString inputPath = input.isEmpty() ? picture : dir.filePath(input);
    if (input == QLatin1String("text.png")) {
        QFile text(inputPath);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("just text");
    }
    const QString out = writableOutput ? dir.filePath(QStringLiteral("err.buf"))
                                       : dir.filePath(QStringLiteral("no/such/dir/err.buf"));
    const Run run = runCli(QStringList{QStringLiteral("convert"), inputPath, QStringLiteral("-o"), out} + extra);
    QVERIFY(run.exitCode != 0);
    QCOMPARE(run.err.trimmed().count('\n'), 0);
    QVERIFY(!run.err.trimmed().isEmpty());
    QVERIFY(!QFile::exists(out));
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
