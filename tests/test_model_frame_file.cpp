// Cut clip frames are kept in the program's own lossless form: every pixel comes back,
// damaged files give nothing, a frame's files go with its item and not before.
#include "app/AppGlobals.h"
#include "model/FrameFile.h"
#include "model/ImageObject.h"
#include "model/PictureLoader.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage noise(int width, int height, QImage::Format format, quint32 seed)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, random.generate());
    return picture.convertToFormat(format);
}

// A smooth picture with a little grain, as a video frame looks.
QImage videoLike()
{
    QImage picture(450, 450, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 450; ++x) {
            const int grain = int(random.bounded(5)) - 2;
            picture.setPixel(x, y, qRgb(qBound(0, x / 2 + grain, 255), qBound(0, y / 2 + grain, 255),
                                        qBound(0, (x + y) / 4 + grain, 255)));
        }
    return picture;
}

} // namespace

class TestModelFrameFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        setWorkDirectory(dir.path());
    }

    void everyPixelComesBack_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::newRow("450 noise, ARGB32") << noise(450, 450, QImage::Format_ARGB32, 1);
        QTest::newRow("odd width, RGB888") << noise(451, 7, QImage::Format_RGB888, 2);
        QTest::newRow("single pixel") << noise(1, 1, QImage::Format_RGB32, 3);
        QTest::newRow("one column") << noise(1, 9, QImage::Format_RGB32, 4);
        QImage extremes(4, 2, QImage::Format_RGB32);
        // Differences from green at both ends of their range.
        const QRgb colours[] = {qRgb(255, 0, 255), qRgb(0, 255, 0), qRgb(255, 0, 0), qRgb(0, 255, 255),
                                qRgb(0, 0, 255), qRgb(128, 127, 129), qRgb(0, 0, 0), qRgb(255, 255, 255)};
        for (int k = 0; k < 8; ++k)
            extremes.setPixel(k % 4, k / 4, colours[k]);
        QTest::newRow("extreme differences") << extremes;
        QTest::newRow("video-like") << videoLike();
    }

    void everyPixelComesBack()
    {
        QFETCH(QImage, picture);
        const QString path = dir.filePath(QStringLiteral("frame.frame"));
        QVERIFY(FrameFile::save(picture, path));
        QVERIFY(FrameFile::isFrameFile(path));
        const QImage back = PictureLoader::load(path);
        QCOMPARE(back.format(), QImage::Format_RGB32);
        QCOMPARE(back, picture.convertToFormat(QImage::Format_RGB32));
    }

    void videoFramesPackToAThird()
    {
        const QByteArray bytes = FrameFile::encode(videoLike());
        QVERIFY(!bytes.isEmpty());
        QVERIFY2(bytes.size() * 3 < 450 * 450 * 3, QByteArray::number(bytes.size()));
    }

    void damagedFilesGiveNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = FrameFile::encode(noise(40, 30, QImage::Format_RGB32, 5));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << good.left(16);
        QTest::newRow("cut short") << good.left(good.size() / 2);
        QByteArray wider = good;
        wider[8] = char(41);
        QTest::newRow("size in the header differs") << wider;
        QByteArray huge = good;
        huge[8] = huge[9] = huge[12] = huge[13] = char(0xff);
        QTest::newRow("impossible size") << huge;
        QByteArray zero = good;
        zero[8] = zero[9] = char(0);
        QTest::newRow("zero width") << zero;
        QByteArray garbled = good;
        for (int k = 16; k < garbled.size(); k += 3)
            garbled[k] = char(garbled[k] ^ 0x5a);
        QTest::newRow("garbled data") << garbled;
        QTest::newRow("trailing bytes") << good + QByteArray(10, 'x');
    }

    void damagedFilesGiveNothing()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(FrameFile::decode(bytes).isNull());
        const QString path = dir.filePath(QStringLiteral("damaged.frame"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QVERIFY(PictureLoader::load(path).isNull());
    }

    void unwritableGivesNoFile()
    {
        QVERIFY(!FrameFile::save(QImage(), dir.filePath(QStringLiteral("null.frame"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("null.frame"))));
        QVERIFY(!FrameFile::save(noise(4, 4, QImage::Format_RGB32, 6),
                                 dir.filePath(QStringLiteral("gone/x.frame"))));
    }

    void sourceFileGoesWithItsItem_data()
    {
        QTest::addColumn<bool>("inWorkDirectory");
        QTest::addColumn<bool>("removed");
        QTest::newRow("cut frame in the work directory") << true << true;
        QTest::newRow("the user's picture elsewhere") << false << false;
    }

    void sourceFileGoesWithItsItem()
    {
        QFETCH(bool, inWorkDirectory);
        QFETCH(bool, removed);
        QTemporaryDir elsewhere;
        const QString path = inWorkDirectory ? workFilePath(QStringLiteral("loadMedia_9.frame"))
                                             : elsewhere.filePath(QStringLiteral("mine.frame"));
        QVERIFY(FrameFile::save(noise(8, 8, QImage::Format_RGB32, 8), path));
        {
            ImageObject item(1, QString(), 10.0, ImageObject::KindVideoFrame);
            item.sourcePath = path;
            QVERIFY(QFile::exists(path));
        }
        QCOMPARE(QFile::exists(path), !removed);
    }
};

QTEST_GUILESS_MAIN(TestModelFrameFile)
#include "test_model_frame_file.moc"
