// Frame files of a cut clip: what is read back is the frame, pixel for pixel, whatever
// format the cut handed over; a file that cannot be written is reported and not left behind.
#include "import/FramePngFile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestFramePng : public QObject
{
    Q_OBJECT

private slots:
    void readsBackTheFrame_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("side");
        QTest::newRow("RGB32 450") << int(QImage::Format_RGB32) << 450;
        QTest::newRow("ARGB32 450") << int(QImage::Format_ARGB32) << 450;
        QTest::newRow("premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << 450;
        QTest::newRow("RGB888, odd width") << int(QImage::Format_RGB888) << 17;
        QTest::newRow("one pixel") << int(QImage::Format_RGB32) << 1;
    }

    void readsBackTheFrame()
    {
        QFETCH(int, format);
        QFETCH(int, side);
        QImage frame(side, side, QImage::Format_RGB32);
        QRandomGenerator random{quint32(side)};
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                frame.setPixel(x, y, 0xff000000u | (random.generate() & 0xffffffu));
        frame = frame.convertToFormat(QImage::Format(format));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("loadMedia_0.png"));
        QVERIFY(FramePngFile::save(frame, path));
        const QImage back(path);
        QCOMPARE(back.size(), frame.size());
        QCOMPARE(back.convertToFormat(QImage::Format_RGB32), frame.convertToFormat(QImage::Format_RGB32));
    }

    void failureLeavesNoFile_data()
    {
        QTest::addColumn<bool>("nullPicture");
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << false << QStringLiteral("gone/loadMedia_1.png");
        QTest::newRow("path is a folder") << false << QStringLiteral("folder");
        QTest::newRow("null picture") << true << QStringLiteral("loadMedia_2.png");
    }

    void failureLeavesNoFile()
    {
        QFETCH(bool, nullPicture);
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QImage frame(8, 8, QImage::Format_RGB32);
        frame.fill(Qt::red);
        QVERIFY(!FramePngFile::save(nullPicture ? QImage() : frame, dir.filePath(name)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestFramePng)
#include "test_frame_png.moc"
