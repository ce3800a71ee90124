// The reusing decoder must give exactly the pixels of a fresh QImageReader for every file,
// whatever it decoded before: no rows of an earlier picture may survive in a later one.
#include "model/PictureDecoder.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

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

    // A copy kept of an earlier result is never overwritten by a later decode.
    void keptCopyStaysIntact()
    {
        const QString first = writePicture(QStringLiteral("first.jpg"), 120, 100, 8);
        const QString second = writePicture(QStringLiteral("second.jpg"), 120, 100, 9);
        PictureDecoder decoder;
        const QImage kept = decoder.decode(first);
        const QImage next = decoder.decode(second);
        QCOMPARE(kept, fresh(first));
        QCOMPARE(next, fresh(second));
        QVERIFY(kept != next);
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
};

QTEST_GUILESS_MAIN(TestPictureDecoder)
#include "test_picture_decoder.moc"
