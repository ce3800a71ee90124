// Cut clip frames are kept in the program's own lossless form: every pixel comes back,
// damaged files give nothing, a frame's file goes with its item and not before.
#include "app/AppGlobals.h"
#include "model/FrameFile.h"
#include "model/ImageObject.h"
#include "model/PictureLoader.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// grain 255: noise; smaller: smooth gradients with that much grain, as video frames are.
QImage picture(int width, int height, int grain, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(quint32(width * 7 + grain));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int g = int(random.bounded(grain + 1));
            image.setPixel(x, y, qRgb((x / 2 + g) & 255, (y / 2 + g) & 255, ((x + y) / 4 + g) & 255));
        }
    return image.convertToFormat(format);
}

} // namespace

class TestModelFrameFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { setWorkDirectory(dir.path()); }

    void everyPixelComesBack_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("maxBytes");
        QTest::newRow("noise, ARGB32") << picture(450, 450, 255, QImage::Format_ARGB32) << 450 * 450 * 4;
        // A video frame takes at most a third of its raw size.
        QTest::newRow("video-like") << picture(450, 450, 4) << 450 * 450;
        QTest::newRow("odd width, RGB888") << picture(451, 7, 255, QImage::Format_RGB888) << 451 * 7 * 4;
        QTest::newRow("single pixel") << picture(1, 1, 255) << 100;
        QImage extremes(3, 2, QImage::Format_RGB32);  // differences from green at their ends
        const QRgb colours[] = {qRgb(255, 0, 255), qRgb(0, 255, 0), qRgb(255, 0, 0),
                                qRgb(0, 255, 255), qRgb(128, 127, 129), qRgb(255, 255, 255)};
        for (int k = 0; k < 6; ++k)
            extremes.setPixel(k % 3, k / 3, colours[k]);
        QTest::newRow("extreme differences") << extremes << 100;
    }

    void everyPixelComesBack()
    {
        QFETCH(QImage, image);
        QFETCH(int, maxBytes);
        const QString path = dir.filePath(QStringLiteral("frame.frame"));
        QVERIFY(FrameFile::save(image, path));
        QVERIFY(QFile(path).size() <= maxBytes);
        QCOMPARE(PictureLoader::load(path), image.convertToFormat(QImage::Format_RGB32));
    }

    void damagedFilesGiveNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = FrameFile::encode(picture(40, 30, 255));
        QByteArray wider = good, huge = good, garbled = good;
        wider[8] = char(41);
        huge[9] = huge[13] = char(0xff);
        for (int k = 16; k < garbled.size(); k += 3)
            garbled[k] = char(garbled[k] ^ 0x5a);
        QTest::newRow("header only") << good.left(16);
        QTest::newRow("cut short") << good.left(good.size() / 2);
        QTest::newRow("size in the header differs") << wider;
        QTest::newRow("impossible size") << huge;
        QTest::newRow("garbled data") << garbled;
        QTest::newRow("trailing bytes") << good + QByteArray(10, 'x');
    }

    void damagedFilesGiveNothing()
    {
        QFETCH(QByteArray, bytes);
        const QString path = dir.filePath(QStringLiteral("damaged.frame"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QVERIFY(PictureLoader::load(path).isNull());
    }

    void sourceFileGoesWithItsItem_data()
    {
        QTest::addColumn<bool>("inWorkDirectory");
        QTest::newRow("cut frame in the work directory") << true;
        QTest::newRow("the user's picture elsewhere") << false;
    }

    void sourceFileGoesWithItsItem()
    {
        QFETCH(bool, inWorkDirectory);
        QTemporaryDir elsewhere;
        const QString path = inWorkDirectory ? workFilePath(QStringLiteral("loadMedia_9.frame"))
                                             : elsewhere.filePath(QStringLiteral("mine.frame"));
        QVERIFY(FrameFile::save(picture(8, 8, 255), path));
        delete new ImageObject(1, path, 10.0, ImageObject::KindVideoFrame);
        QCOMPARE(QFile::exists(path), !inWorkDirectory);
    }
};

QTEST_GUILESS_MAIN(TestModelFrameFile)
#include "test_model_frame_file.moc"
