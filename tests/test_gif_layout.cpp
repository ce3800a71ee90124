// The canvas a GIF is judged by, from its blocks alone, is the size the GIF reader decodes
// its frames at; a picture file of GIF content is held to the pixel limit by that canvas.
#include "GifFixtures.h"

#include "model/GifLayout.h"
#include "model/PictureFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

using GifFixtures::Gif;

namespace {

GifLayout layoutOf(const QByteArray &bytes)
{
    return GifLayout::walk(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size());
}

Gif oneFrame(int width, int height, const QRect &rect)
{
    Gif gif = GifFixtures::onePixelFrames(1, width, height);
    gif.frames[0].rect = rect;
    return gif;
}

} // namespace

class TestGifLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void canvasAsDecoded_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("canvas");
        QTest::newRow("whole frames")
            << GifFixtures::encode(GifFixtures::frames(2)) << QSize(40, 30);
        QTest::newRow("one pixel on a 3000 x 2000 canvas")
            << GifFixtures::encode(GifFixtures::onePixelFrames(1, 3000, 2000)) << QSize(3000, 2000);
        QTest::newRow("small frame in a corner of a large canvas")
            << GifFixtures::encode(oneFrame(2500, 1500, QRect(10, 20, 4, 3))) << QSize(2500, 1500);
        QTest::newRow("screen width 0: the first frame's right edge")
            << GifFixtures::encode(oneFrame(0, 30, QRect(5, 0, 20, 30))) << QSize(25, 30);
        QTest::newRow("screen height 0: the first frame's bottom edge")
            << GifFixtures::encode(oneFrame(40, 0, QRect(0, 7, 40, 9))) << QSize(40, 16);
    }

    void canvasAsDecoded()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, canvas);
        QCOMPARE(layoutOf(bytes).canvas(), canvas);
        QBuffer device(&bytes);
        QImageReader reader(&device, "gif");
        QCOMPARE(reader.read().size(), canvas);
        const QString path = GifFixtures::write(dir.path(), QStringLiteral("canvas.gif"), bytes);
        PictureFile picture(path);
        QVERIFY2(picture.open(), qPrintable(picture.error()));
        QCOMPARE(picture.size(), canvas);
        QCOMPARE(picture.decodedBytes(), qint64(canvas.width()) * canvas.height() * 4);
    }

    // A few bytes of GIF claim a canvas over the limit: refused before decoding, by size.
    void canvasOverTheLimit_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("one pixel on a 16000 x 16000 canvas")
            << GifFixtures::encode(GifFixtures::onePixelFrames(1, 16000, 16000))
            << QStringLiteral("16000 x 16000 pixels (256 megapixels) is over the limit of 200 "
                              "megapixels");
        QTest::newRow("one pixel on a 14143 x 14143 canvas")
            << GifFixtures::encode(GifFixtures::onePixelFrames(1, 14143, 14143))
            << QStringLiteral("14143 x 14143 pixels (200.1 megapixels) is over the limit of "
                              "200 megapixels");
        QTest::newRow("one pixel on a 14000 x 14000 canvas")
            << GifFixtures::encode(GifFixtures::onePixelFrames(1, 14000, 14000)) << QString();
    }

    void canvasOverTheLimit()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        const QString path = GifFixtures::write(dir.path(), QStringLiteral("huge.gif"), bytes);
        PictureFile picture(path);
        QCOMPARE(picture.open(), refusal.isEmpty());
        QCOMPARE(picture.error(), refusal);
    }
};

QTEST_GUILESS_MAIN(TestGifLayout)
#include "test_gif_layout.moc"
