// hologram-cli convert and build refuse hostile pictures with one line naming the file and
// the reason, exit 1 and write nothing: no abort on an SVG with text (the tool has no GUI
// application, and fonts), no picture made of stale memory, no "not readable" for a size.
#include "CliRun.h"
#include "PictureFixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace PictureFixtures;

class TestPictureCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    using Run = CliRun;
    static Run runCli(const QStringList &arguments) { return CliRun::of(arguments); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void refusesWithTheReason_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("reason");

        const QString svgReason = QStringLiteral("svg is not a supported picture format "
                                                 "(supported: png, jpeg, bmp, gif, pbm, pgm, ppm)");
        const QString svg = write(dir.path(), QStringLiteral("text.svg"), svgWithText());
        const QString svgAsGif = write(dir.path(), QStringLiteral("text.gif"), svgWithText());
        const QString cut = write(dir.path(), QStringLiteral("cut.bmp"), bmp(8, 2054, 16).left(162));
        const QString cutReason = QStringLiteral("truncated: its header promises 32918 bytes, the file has 162");
        const QString huge = write(dir.path(), QStringLiteral("huge.png"), pngHeader(20000, 12000));
        const QString hugeReason = QStringLiteral("20000 x 12000 pixels (240 megapixels) is over "
                                                  "the limit of 200 megapixels");
        for (const QString &command : {QStringLiteral("convert"), QStringLiteral("build")}) {
            const QByteArray c = command.toLatin1();
            QTest::newRow((c + ", SVG with text").constData()) << command << svg << svgReason;
            QTest::newRow((c + ", truncated BMP").constData()) << command << cut << cutReason;
            QTest::newRow((c + ", over the pixel limit").constData()) << command << huge << hugeReason;
        }
        QTest::newRow("build, SVG named .gif") << QStringLiteral("build") << svgAsGif << svgReason;
    }

    void refusesWithTheReason()
    {
        QFETCH(QString, command);
        QFETCH(QString, input);
        QFETCH(QString, reason);
        QVERIFY(!input.isEmpty());
        QTemporaryDir outputs;
        const QString out = outputs.filePath(QStringLiteral("out"));
        const Run run = runCli({command, input, QStringLiteral("-o"), out});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("hologram-cli %1: %2: %3\n").arg(command, input, reason));
        QVERIFY(QDir(outputs.path()).isEmpty());
    }

    // The same tool takes a photo over Qt's default allocation limit, and a BMP it checked.
    void takesLargeAndCheckedPictures_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("input");
        const QString photo = writeSolid(dir.path(), QStringLiteral("photo.jpg"), 8000, 6000, "JPEG");
        const QString bmp24 = write(dir.path(), QStringLiteral("whole.bmp"), bmp(33, 20, 24));
        QTest::newRow("convert, 48 MP JPEG") << QStringLiteral("convert") << photo;
        QTest::newRow("build, BMP") << QStringLiteral("build") << bmp24;
    }

    void takesLargeAndCheckedPictures()
    {
        QFETCH(QString, command);
        QFETCH(QString, input);
        QVERIFY(!input.isEmpty());
        QTemporaryDir outputs;
        const QString out = outputs.filePath(QStringLiteral("out"));
        const Run run = runCli({command, input, QStringLiteral("-o"), out});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(QFileInfo(out).size() > 0);
    }
};

QTEST_GUILESS_MAIN(TestPictureCli)
#include "test_picture_cli.moc"
