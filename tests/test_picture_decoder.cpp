// The reusing decoder must give exactly the pixels of a fresh QImageReader for every file,
// whatever it decoded before: no rows of an earlier picture may survive in a later one. Its
// buffer is held on the budget the import workers share.
#include "PictureFixtures.h"

#include "model/JpegRegionReader.h"
#include "model/PictureDecoder.h"
#include "model/RoundSquare.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

class TestPictureDecoder : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    // A picture whose pixels depend on seed everywhere, so that left-over rows show.
    QString writePicture(const QString &name, int width, int height, int seed,
                         QImage::Format format = QImage::Format_RGB32,
                         const char *type = "JPEG")
    {
        QImage image(width, height, format);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int v = (x * 7 + y * 3 + seed * 50) % 256;
                image.setPixelColor(x, y, QColor((v + seed * 90) % 256, v, (255 - v), 255));
            }
        }
        const QString path = dir.filePath(name);
        if (!image.save(path, type, 90))
            return QString();
        return path;
    }

    // The first bytes of a real picture: a header that promises pixels it does not hold.
    QString writeTruncated(const QString &name, const QString &from, qint64 bytes)
    {
        QFile source(from);
        if (!source.open(QIODevice::ReadOnly))
            return QString();
        const QString path = dir.filePath(name);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        out.write(source.read(bytes));
        return path;
    }

    static QImage fresh(const QString &path) { return QImageReader(path).read(); }

    // A JPEG written by cjpeg (or ImageMagick's convert for CMYK) from a noisy picture: the
    // kinds cameras and editors make, which Qt cannot write. With an EXIF orientation block
    // (6: a quarter turn) after the start when asked.
    QString writeWith(const QString &name, const QSize &size, QStringList arguments,
                      bool turned = false)
    {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb((x * 13 + y * y) % 256, (x * x + y * 7) % 256, x ^ y));
        const QString source = dir.filePath(name + QStringLiteral(".ppm"));
        const QString path = dir.filePath(name);
        const bool cmyk = arguments.contains(QStringLiteral("CMYK"));
        arguments = cmyk ? QStringList{source} + arguments + QStringList{path}
                         : arguments + QStringList{QStringLiteral("-outfile"), path, source};
        if (!image.save(source, "PPM")
            || QProcess::execute(cmyk ? QStringLiteral("convert") : QStringLiteral("cjpeg"),
                                 arguments) != 0)
            return QString();
        QFile file(path);
        if (!turned || !file.open(QIODevice::ReadWrite))
            return path;
        const QByteArray bytes = file.readAll();
        const QByteArray exif = QByteArray::fromHex("ffe10022" "457869660000" "49492a0008000000"
                                                    "0100" "120103000100000006000000" "00000000");
        file.seek(0);
        file.write(bytes.left(2) + exif + bytes.mid(2));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // Each row decodes `before` first, then `after`, and compares `after` with a fresh read.
    void decodeAfterAnother_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");

        const QString large = writePicture(QStringLiteral("large.jpg"), 160, 120, 1);
        const QString small = writePicture(QStringLiteral("small.jpg"), 90, 70, 2);
        const QString sameSize = writePicture(QStringLiteral("same.jpg"), 160, 120, 3);
        const QString grey = writePicture(QStringLiteral("grey.jpg"), 160, 120, 4,
                                          QImage::Format_Grayscale8);
        const QString png = writePicture(QStringLiteral("same.png"), 160, 120, 5,
                                         QImage::Format_ARGB32, "PNG");
        const QString gifSized = writePicture(QStringLiteral("gif_sized.jpg"), 600, 300, 6);
        const QString gif = QDir(qEnvironmentVariable("HD_TEST_DATA"))
                                .filePath(QStringLiteral("effect_3frames_600x300.gif"));
        const QString truncated = writeTruncated(QStringLiteral("truncated.jpg"), sameSize,
                                                 QFileInfo(sameSize).size() / 2);
        const QString headerOnly = writeTruncated(QStringLiteral("header.jpg"), sameSize, 200);
        for (const QString &path : {large, small, sameSize, grey, png, gifSized, truncated,
                                    headerOnly})
            QVERIFY(!path.isEmpty());
        QVERIFY(QFile::exists(gif));

        QTest::newRow("larger, then smaller") << large << small;
        QTest::newRow("smaller, then larger") << small << large;
        QTest::newRow("same size, other pixels") << large << sameSize;
        QTest::newRow("same size, greyscale") << large << grey;
        QTest::newRow("greyscale, then colour") << grey << large;
        QTest::newRow("same size, PNG") << large << png;
        QTest::newRow("same size, GIF") << gifSized << gif;
        QTest::newRow("same size, second half missing") << large << truncated;
        QTest::newRow("same size, only the header") << large << headerOnly;
        QTest::newRow("missing file") << large << dir.filePath(QStringLiteral("none.jpg"));
        QTest::newRow("not a picture") << large << QFINDTESTDATA("test_picture_decoder.cpp");
    }

    void decodeAfterAnother()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        PictureDecoder decoder;
        QVERIFY(!decoder.decode(before).isNull());
        const QImage expected = fresh(after);
        const QImage got = decoder.decode(after);
        QCOMPARE(got.isNull(), expected.isNull());
        QCOMPARE(got.format(), expected.format());
        QCOMPARE(got, expected);
    }

    // The centred square alone, decoded straight by libjpeg-turbo, has exactly the pixels of
    // Qt's reader for that square, for every kind of JPEG; so do parts off the centre (their
    // edges cut through chroma blocks and restart intervals). Non-JPEG files take Qt's way.
    void centredSquareAsQtReadsIt_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("direct");
        const QSize wide(203, 131);
        const QSize tall(96, 250);
        const auto args = [](const char *line) { return QString::fromLatin1(line).split(' '); };
        QTest::newRow("Qt's own 4:2:0") << writePicture("qt.jpg", 203, 131, 20) << true;
        QTest::newRow("4:4:4") << writeWith("444.jpg", wide, args("-sample 1x1")) << true;
        QTest::newRow("4:2:2, tall") << writeWith("422.jpg", tall, args("-sample 2x1")) << true;
        QTest::newRow("4:4:0") << writeWith("440.jpg", wide, args("-sample 1x2")) << true;
        QTest::newRow("4:1:1") << writeWith("411.jpg", wide, args("-sample 4x1")) << true;
        QTest::newRow("progressive, tall")
            << writeWith("prog.jpg", tall, args("-sample 2x2 -progressive")) << true;
        QTest::newRow("restart every row, arithmetic coding")
            << writeWith("restart.jpg", wide, args("-restart 1 -arithmetic")) << true;
        QTest::newRow("greyscale") << writeWith("grey.jpg", tall, args("-grayscale")) << true;
        QTest::newRow("RGB without YCbCr") << writeWith("rgb.jpg", wide, args("-rgb")) << true;
        QTest::newRow("CMYK") << writeWith("cmyk.jpg", wide, args("-colorspace CMYK")) << true;
        QTest::newRow("EXIF orientation (Qt does not turn it)")
            << writeWith("exif.jpg", wide, args("-sample 1x1"), true) << true;
        QTest::newRow("progressive cut short: Qt's way")
            << writeTruncated("cut.jpg", dir.filePath("prog.jpg"), 2500) << false;
        QTest::newRow("PNG") << writePicture("sq.png", 150, 90, 21, QImage::Format_ARGB32, "PNG")
                             << false;
    }

    void centredSquareAsQtReadsIt()
    {
        QFETCH(QString, path);
        QFETCH(bool, direct);
        QVERIFY2(!path.isEmpty(), "fixture not written (cjpeg and convert come with setup.sh)");
        const QImage whole = fresh(path);
        const QRect square = RoundSquare::centredSquare(whole.size());
        PictureDecoder decoder;
        QVERIFY(!decoder.decode(path).isNull());
        QCOMPARE(decoder.decodeCentredSquare(path), whole.copy(square));
        QCOMPARE(decoder.pictureSize(), whole.size());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
        const QList<QRect> parts{square, QRect(0, 0, 1, 1), QRect(17, 9, 40, 33),
                                 QRect(whole.width() - 21, whole.height() - 30, 21, 30)};
        for (const QRect &part : parts) {
            QImage image;
            QCOMPARE(JpegRegionReader::read(data, bytes.size(), part, &image), direct);
            if (direct)
                QCOMPARE(image, whole.copy(part));
        }
    }

    // Only the file's own header leaves a failed decode null, and the decoder recovers.
    void failedDecodeIsNullAndRecovers()
    {
        const QString good = writePicture(QStringLiteral("good.jpg"), 120, 100, 7);
        const QString broken = writeTruncated(QStringLiteral("broken.jpg"), good, 200);
        PictureDecoder decoder;
        QVERIFY(!decoder.decode(good).isNull());
        QVERIFY(decoder.decode(broken).isNull());
        QCOMPARE(decoder.decode(good), fresh(good));
    }

    // A copy kept of an earlier result is never overwritten by a later decode, neither of a
    // whole picture nor of a square (a view into the rows the next square is decoded into).
    void keptCopyStaysIntact_data()
    {
        QTest::addColumn<bool>("square");
        QTest::newRow("whole") << false;
        QTest::newRow("centred square") << true;
    }

    void keptCopyStaysIntact()
    {
        QFETCH(bool, square);
        const QString first = writePicture(QStringLiteral("first.jpg"), 120, 100, 8);
        const QString second = writePicture(QStringLiteral("second.jpg"), 120, 100, 9);
        const QRect part(square ? 10 : 0, 0, square ? 100 : 120, 100);
        PictureDecoder decoder;
        const auto decode = [&](const QString &path) {
            return square ? decoder.decodeCentredSquare(path) : decoder.decode(path);
        };
        const QImage kept = decode(first);
        const QImage next = decode(second);
        QCOMPARE(kept, fresh(first).copy(part));
        QCOMPARE(next, fresh(second).copy(part));
        QVERIFY(kept != next);
        QCOMPARE(decode(first), fresh(first).copy(part));
        QCOMPARE(next, fresh(second).copy(part));
    }

    // A run of same-sized pictures, as a camera's, each decoded exactly.
    void sequenceOfSameSize()
    {
        PictureDecoder decoder;
        for (int i = 0; i < 4; ++i) {
            const QString path = writePicture(QStringLiteral("seq%1.jpg").arg(i), 130, 97,
                                              10 + i);
            QCOMPARE(decoder.decode(path), fresh(path));
        }
        decoder.release();
        const QString last = dir.filePath(QStringLiteral("seq0.jpg"));
        QCOMPARE(decoder.decode(last), fresh(last));
    }

    // A file shorter than its header, decoded after a picture of the same size, is refused:
    // the decoder never hands back the earlier picture's rows (for the BMP, Qt's reader
    // leaves the rows it cannot read as whatever the memory held).
    void cutFileShowsNothingOfTheLastPicture_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const auto cut = [this](const QString &name, const QByteArray &full, qsizetype keep) {
            return PictureFixtures::write(dir.path(), name, full.left(keep));
        };
        const auto whole = [this](const QString &name, const QByteArray &full) {
            return PictureFixtures::write(dir.path(), name, full);
        };
        const QByteArray bmp16 = PictureFixtures::bmp(8, 2054, 16);
        QTest::newRow("16-bit BMP of 162 bytes")
            << whole(QStringLiteral("full16.bmp"), bmp16)
            << cut(QStringLiteral("cut16.bmp"), bmp16, 162);
        const QByteArray ppm = PictureFixtures::pnm('6', 160, 120);
        QTest::newRow("PPM cut after the JPEG's size")
            << writePicture(QStringLiteral("ppm_sized.jpg"), 160, 120, 11)
            << cut(QStringLiteral("cut.ppm"), ppm, ppm.size() / 3);
        const QString png = writePicture(QStringLiteral("whole.png"), 160, 120, 12,
                                         QImage::Format_ARGB32, "PNG");
        QFile pngFile(png);
        QVERIFY(pngFile.open(QIODevice::ReadOnly));
        QTest::newRow("PNG cut in half")
            << png << cut(QStringLiteral("cut.png"), pngFile.readAll(), pngFile.size() / 2);
    }

    void cutFileShowsNothingOfTheLastPicture()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QVERIFY(!before.isEmpty() && !after.isEmpty());
        PictureDecoder decoder;
        QVERIFY(!decoder.decode(before).isNull());
        QVERIFY(decoder.decode(after).isNull());
        QVERIFY(!decoder.error().isEmpty());
        QCOMPARE(decoder.decode(before), fresh(before));
    }

    // The decoder holds a ticket for the picture it keeps, at least 4 bytes a pixel, from
    // before the decode until the buffer goes; a reused buffer keeps its ticket.
    void budgetFollowsTheKeptBuffer()
    {
        DecodeBudget budget;
        PictureDecoder decoder(&budget);
        const QString jpeg = writePicture(QStringLiteral("budget1.jpg"), 120, 100, 13);
        const QString sameSize = writePicture(QStringLiteral("budget2.jpg"), 120, 100, 14);
        const QString grey = writePicture(QStringLiteral("budget_grey.png"), 50, 40, 15,
                                          QImage::Format_Grayscale8, "PNG");
        QVERIFY(!decoder.decode(jpeg).isNull());
        QCOMPARE(budget.heldBytes(), qint64(120 * 100 * 4));
        const uchar *buffer = decoder.decode(sameSize).constBits();
        QCOMPARE(decoder.decode(jpeg).constBits(), buffer);
        QCOMPARE(budget.heldBytes(), qint64(120 * 100 * 4));
        QVERIFY(!decoder.decode(grey).isNull());
        QCOMPARE(budget.heldBytes(), qint64(50 * 40 * 4));
        QVERIFY(decoder.decode(dir.filePath(QStringLiteral("none.png"))).isNull());
        QCOMPARE(budget.heldBytes(), qint64(0));
        QVERIFY(!decoder.decode(jpeg).isNull());
        decoder.release();
        QCOMPARE(budget.heldBytes(), qint64(0));
    }

    // A decode waiting for memory that another worker holds gives up when stopped.
    void stoppedWhileWaitingForMemory()
    {
        const QString jpeg = writePicture(QStringLiteral("wait.jpg"), 120, 100, 16);
        DecodeBudget budget(1000);
        DecodeBudget::Ticket other = budget.acquire(1);
        PictureDecoder decoder(&budget);
        std::atomic<bool> stop{false};
        bool isNull = false;
        QString error;
        std::thread worker([&] {
            isNull = decoder.decode(jpeg, &stop).isNull();
            error = decoder.error();
        });
        QTRY_COMPARE(budget.waitingCount(), 1);
        stop = true;
        budget.wakeWaiters();
        worker.join();
        QVERIFY(isNull);
        QCOMPARE(error, QStringLiteral("cancelled"));
        QCOMPARE(budget.heldBytes(), qint64(1));
        other.release();
        QCOMPARE(decoder.decode(jpeg), fresh(jpeg));
    }
};

QTEST_GUILESS_MAIN(TestPictureDecoder)
#include "test_picture_decoder.moc"
