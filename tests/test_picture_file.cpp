// Every way into the picture path (PictureLoader, the import workers' PictureDecoder, an
// item's own thumbnail) takes large photos, decodes what it takes exactly as a fresh
// QImageReader does, and refuses hostile files before decoding them, with the reason.
#include "PictureFixtures.h"

#include "app/AppGlobals.h"
#include "model/DecodeBudget.h"
#include "model/ImageObject.h"
#include "model/PictureDecoder.h"
#include "model/PictureFile.h"
#include "model/PictureLoader.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

using namespace PictureFixtures;

class TestPictureFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    static QString truncated(qint64 promised, qint64 has)
    {
        return QStringLiteral("truncated: its header promises %1 bytes, the file has %2")
            .arg(promised)
            .arg(has);
    }

    // A row whose file is full cut to keep bytes: refused as truncated.
    void cutRow(const char *row, const QString &name, const QByteArray &full, qint64 keep)
    {
        const QString file = write(dir.path(), name, full.left(keep));
        QVERIFY(!file.isEmpty());
        QTest::newRow(row) << file << truncated(full.size(), keep);
    }

    // Fills freed memory with a pattern, so rows a reader leaves unwritten show it.
    static void dirtyTheHeap(const QSize &size)
    {
        std::vector<QImage> images;
        for (int i = 0; i < 20; ++i) {
            images.emplace_back(size, QImage::Format_Indexed8);
            images.back().fill(7);
            images.emplace_back(size, QImage::Format_RGB32);
            images.back().fill(qRgb(1, 2, 3));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        initAppGlobals(dir.path());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a folder.png")));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");

        QTest::newRow("directory") << path(QStringLiteral("a folder.png"))
                                   << QStringLiteral("is a directory");
        QTest::newRow("FIFO") << makeFifo(dir.path(), QStringLiteral("pipe.png"))
                              << QStringLiteral("is not a regular file (a FIFO)");
        QTest::newRow("/dev/zero") << QStringLiteral("/dev/zero")
                                   << QStringLiteral("is not a regular file (a character device)");
        QTest::newRow("missing") << path(QStringLiteral("none.png")) << QStringLiteral("no such file");

        const QString svg = QStringLiteral("svg is not a supported picture format (supported: "
                                           "png, jpeg, bmp, gif, pbm, pgm, ppm)");
        QTest::newRow("SVG with text") << write(dir.path(), QStringLiteral("text.svg"), svgWithText())
                                       << svg;
        QTest::newRow("SVG named .png")
            << write(dir.path(), QStringLiteral("svg.png"), svgWithText()) << svg;
        QTest::newRow("XPM") << write(dir.path(), QStringLiteral("icon.xpm"),
                                      "/* XPM */\nstatic const char *x[] = {\n\"1 1 1 1\",\n"
                                      "\"a c #ff0000\",\n\"a\"};\n")
                             << QStringLiteral("xpm is not a supported picture format (supported: "
                                               "png, jpeg, bmp, gif, pbm, pgm, ppm)");

        QTest::newRow("PNG claiming 20000 x 12000")
            << write(dir.path(), QStringLiteral("huge.png"), pngHeader(20000, 12000))
            << QStringLiteral("20000 x 12000 pixels (240 megapixels) is over the limit of "
                              "200 megapixels");
        QTest::newRow("BMP claiming 20000 x 12000")
            << write(dir.path(), QStringLiteral("huge.bmp"), bmpClaiming(20000, 12000))
            << QStringLiteral("20000 x 12000 pixels (240 megapixels) is over the limit of "
                              "200 megapixels");
        QTest::newRow("16-bit PNG just over the limit")
            << write(dir.path(), QStringLiteral("over.png"), pngHeader(14143, 14143, 16))
            << QStringLiteral("14143 x 14143 pixels (200.1 megapixels) is over the limit of "
                              "200 megapixels");
        // At the limit the size passes; the missing data is what is refused, before any
        // allocation.
        QTest::newRow("BMP of 200 megapixels without its data")
            << write(dir.path(), QStringLiteral("limit.bmp"), bmpClaiming(20000, 10000))
            << truncated(54 + qint64(60000) * 10000, 54);

        cutRow("16-bit BMP, 8 x 2054 in 162 bytes", QStringLiteral("short16.bmp"),
               bmp(8, 2054, 16), 162);
        cutRow("24-bit BMP, one byte short", QStringLiteral("short24.bmp"), bmp(33, 20, 24),
               bmp(33, 20, 24).size() - 1);
        cutRow("32-bit BMP, half the rows", QStringLiteral("short32.bmp"), bmp(40, 40, 32),
               54 + 40 * 40 * 2);
        cutRow("16-bit bit fields, a row short", QStringLiteral("fields16.bmp"),
               bmp(10, 10, 16, BmpLayout::BitFields), bmp(10, 10, 16, BmpLayout::BitFields).size() - 20);
        cutRow("32-bit bit fields, a row short", QStringLiteral("fields32.bmp"),
               bmp(10, 10, 32, BmpLayout::BitFields), bmp(10, 10, 32, BmpLayout::BitFields).size() - 40);
        cutRow("8-bit palette, data cut", QStringLiteral("short8.bmp"), bmp(64, 64, 8),
               14 + 40 + 1024 + 100);
        cutRow("4-bit palette, last byte missing", QStringLiteral("short4.bmp"), bmp(31, 9, 4),
               bmp(31, 9, 4).size() - 1);
        cutRow("1-bit, a row short", QStringLiteral("short1.bmp"), bmp(70, 12, 1),
               bmp(70, 12, 1).size() - 12);
        cutRow("top-down rows, cut", QStringLiteral("topdown.bmp"),
               bmp(16, 16, 24, BmpLayout::TopDown), 400);
        cutRow("OS/2 header, cut", QStringLiteral("core.bmp"), bmp(16, 16, 24, BmpLayout::CoreHeader),
               200);
        QByteArray farOffset = bmp(4, 4, 24);
        farOffset.replace(10, 4, QByteArray("\x88\x13\0\0", 4));  // pixels at 5000
        QTest::newRow("BMP data offset past the end")
            << write(dir.path(), QStringLiteral("offset.bmp"), farOffset)
            << truncated(5000 + 48, farOffset.size());

        cutRow("PPM cut", QStringLiteral("short.ppm"), pnm('6', 100, 100), 500);
        cutRow("PGM a byte short", QStringLiteral("short.pgm"), pnm('5', 30, 20),
               pnm('5', 30, 20).size() - 1);
        cutRow("PBM cut", QStringLiteral("short.pbm"), pnm('4', 100, 100), 100);
        cutRow("16-bit PGM with 8-bit data", QStringLiteral("wide.pgm"),
               pnm('5', 20, 20, 65535), pnm('5', 20, 20, 65535).size() - 400);

        const QString unsupported = QStringLiteral("not a readable picture (Unsupported image format)");
        QTest::newRow("empty") << write(dir.path(), QStringLiteral("empty.png"), QByteArray())
                               << unsupported;
        QTest::newRow("text") << write(dir.path(), QStringLiteral("text.jpg"), "not a JPEG")
                              << unsupported;
        // Refused when decoding fails, instead of handing back the rows it wrote.
        const QString unreadable = QStringLiteral("not a readable picture (Unable to read image data)");
        QTest::newRow("PNG header without data")
            << write(dir.path(), QStringLiteral("nodata.png"), pngHeader(16, 16)) << unreadable;
        const QString png = writeSolid(dir.path(), QStringLiteral("whole.png"), 300, 200);
        QFile whole(png);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QTest::newRow("PNG cut in half")
            << write(dir.path(), QStringLiteral("half.png"), whole.read(whole.size() / 2))
            << unreadable;
    }

    void refused()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QVERIFY(!file.isEmpty());

        QString error;
        QVERIFY(PictureLoader::load(file, &error).isNull());
        QCOMPARE(error, reason);

        // The workers' decoder, holding an earlier picture, gives nothing of it back.
        DecodeBudget budget;
        PictureDecoder decoder(&budget);
        QVERIFY(!decoder.decode(QFINDTESTDATA("data/effect_3frames_600x300.gif")).isNull());
        QVERIFY(decoder.decode(file).isNull());
        QCOMPARE(decoder.error(), reason);
        QCOMPARE(budget.heldBytes(), qint64(0));

        // An item built from the file makes no thumbnail.
        const ImageObject item(0, file, 5.0, ImageObject::KindPictureFile);
        QVERIFY(!QFile::exists(item.thumbnailPath()));
    }

    void decodesLikeAFreshReader_data()
    {
        QTest::addColumn<QString>("file");
        const auto row = [this](const char *name, const QString &file, const QByteArray &bytes) {
            QTest::newRow(name) << write(dir.path(), file, bytes);
        };
        row("1-bit BMP", QStringLiteral("b1.bmp"), bmp(70, 12, 1));
        row("4-bit BMP", QStringLiteral("b4.bmp"), bmp(31, 9, 4));
        row("8-bit BMP", QStringLiteral("b8.bmp"), bmp(64, 64, 8));
        row("16-bit BMP", QStringLiteral("b16.bmp"), bmp(8, 2054, 16));
        row("24-bit BMP, padded rows", QStringLiteral("b24.bmp"), bmp(33, 20, 24));
        row("32-bit BMP", QStringLiteral("b32.bmp"), bmp(40, 40, 32));
        row("16-bit bit fields", QStringLiteral("f16.bmp"), bmp(10, 10, 16, BmpLayout::BitFields));
        row("32-bit bit fields", QStringLiteral("f32.bmp"), bmp(10, 10, 32, BmpLayout::BitFields));
        row("top-down BMP", QStringLiteral("td.bmp"), bmp(16, 16, 24, BmpLayout::TopDown));
        row("OS/2 BMP", QStringLiteral("os2.bmp"), bmp(16, 16, 24, BmpLayout::CoreHeader));
        row("OS/2 8-bit BMP", QStringLiteral("os2p.bmp"), bmp(16, 16, 8, BmpLayout::CoreHeader));
        row("run-length BMP", QStringLiteral("rle.bmp"), bmp(450, 30, 8, BmpLayout::Rle8));
        row("BMP with bytes after its data", QStringLiteral("long.bmp"), bmp(9, 9, 24) + "tail");
        row("PBM", QStringLiteral("p.pbm"), pnm('4', 100, 100));
        row("PGM", QStringLiteral("p.pgm"), pnm('5', 30, 20));
        row("PPM", QStringLiteral("p.ppm"), pnm('6', 100, 100));
        row("16-bit PGM", QStringLiteral("p16.pgm"), pnm('5', 20, 20, 65535));
        row("16-bit PPM", QStringLiteral("p16.ppm"), pnm('6', 20, 20, 65535));
        QTest::newRow("PNG") << writeSolid(dir.path(), QStringLiteral("s.png"), 300, 200);
        QTest::newRow("JPEG") << writeSolid(dir.path(), QStringLiteral("s.jpg"), 300, 200, "JPEG");
        QTest::newRow("JPEG named .png")
            << writeSolid(dir.path(), QStringLiteral("jpeg.png"), 120, 90, "JPEG");
        QTest::newRow("GIF") << QFINDTESTDATA("data/effect_3frames_600x300.gif");
    }

    void decodesLikeAFreshReader()
    {
        QFETCH(QString, file);
        QVERIFY(!file.isEmpty());
        const QImage expected = QImageReader(file).read();
        QVERIFY(!expected.isNull());
        QString error;
        const QImage loaded = PictureLoader::load(file, &error);
        QVERIFY2(!loaded.isNull(), qPrintable(error));
        QCOMPARE(loaded.format(), expected.format());
        QCOMPARE(loaded, expected);
        PictureDecoder decoder;
        QCOMPARE(decoder.decode(file), expected);
    }

    // A run-length BMP may stop before its last row; the rows it skips are cleared, not
    // whatever the memory held.
    void skippedRunLengthRowsAreCleared()
    {
        const QString file = write(dir.path(), QStringLiteral("early.bmp"),
                                   bmp(300, 300, 8, BmpLayout::Rle8EndsEarly));
        dirtyTheHeap(QSize(300, 300));
        const QImage picture = PictureLoader::load(file);
        QCOMPARE(picture.format(), QImage::Format_Indexed8);
        // Rows run bottom-up: only the last one was written.
        for (int y = 0; y < picture.height() - 1; ++y) {
            const uchar *row = picture.constScanLine(y);
            QVERIFY2(std::all_of(row, row + picture.width(), [](uchar i) { return i == 0; }),
                     qPrintable(QStringLiteral("row %1").arg(y)));
        }
    }

    // Phone photos of 48 megapixels are over Qt's default allocation limit of 128 MB.
    void largePhotoDecodes_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("file");
        // One solid colour: 192 MB decoded, a few hundred kB on disk.
        const QString file = writeSolid(dir.path(), QStringLiteral("photo.png"), 8000, 6000);
        QVERIFY(!file.isEmpty());
        QTest::newRow("loader") << QStringLiteral("loader") << file;
        QTest::newRow("workers' decoder") << QStringLiteral("decoder") << file;
        QTest::newRow("item thumbnail") << QStringLiteral("thumbnail") << file;
    }

    void largePhotoDecodes()
    {
        QFETCH(QString, way);
        QFETCH(QString, file);
        const QRgb colour = qRgb(40, 160, 220);
        if (way == QLatin1String("thumbnail")) {
            const ImageObject item(0, file, 5.0, ImageObject::KindPictureFile);
            QCOMPARE(item.squareRect, QRect(1000, 0, 6000, 6000));
            const QImage thumbnail = item.loadThumbnail();
            QCOMPARE(thumbnail.size(), QSize(60, 60));
            QCOMPARE(thumbnail.pixel(30, 30), colour);
            return;
        }
        DecodeBudget budget;
        PictureDecoder decoder(&budget);
        const QImage picture = way == QLatin1String("loader") ? PictureLoader::load(file)
                                                              : decoder.decode(file);
        QCOMPARE(picture.size(), QSize(8000, 6000));
        for (const QPoint at : {QPoint(0, 0), QPoint(7999, 5999), QPoint(4000, 3000)})
            QCOMPARE(picture.pixel(at), colour);
        if (way == QLatin1String("decoder"))
            QCOMPARE(budget.heldBytes(), qint64(8000) * 6000 * 4);
    }
};

QTEST_GUILESS_MAIN(TestPictureFile)
#include "test_picture_file.moc"
