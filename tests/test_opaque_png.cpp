// Frame files and sampling previews: what is read back is the picture, pixel for pixel,
// whatever its format and coding; a file that cannot be written is reported and not left.
#include "model/OpaquePngFile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestOpaquePng : public QObject
{
    Q_OBJECT

private slots:
    void readsBackTheFrame_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("content");
        const int photo = int(OpaquePngFile::Content::Photo);
        const int sparse = int(OpaquePngFile::Content::Sparse);
        QTest::newRow("RGB32 450") << int(QImage::Format_RGB32) << 450 << photo;
        QTest::newRow("ARGB32 450, runs") << int(QImage::Format_ARGB32) << 450 << sparse;
        QTest::newRow("premultiplied") << int(QImage::Format_ARGB32_Premultiplied) << 450 << photo;
        QTest::newRow("RGB888, odd width, runs") << int(QImage::Format_RGB888) << 17 << sparse;
        QTest::newRow("one pixel") << int(QImage::Format_RGB32) << 1 << photo;
    }

    void readsBackTheFrame()
    {
        QFETCH(int, format);
        QFETCH(int, side);
        QFETCH(int, content);
        QImage frame(side, side, QImage::Format_RGB32);
        QRandomGenerator random{quint32(side)};
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                frame.setPixel(x, y, 0xff000000u | (random.generate() & 0xffffffu));
        frame = frame.convertToFormat(QImage::Format(format));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("loadMedia_0.png"));
        QVERIFY(OpaquePngFile::save(frame, path, OpaquePngFile::Content(content)));
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
        QVERIFY(!OpaquePngFile::save(nullPicture ? QImage() : frame, dir.filePath(name)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestOpaquePng)
#include "test_opaque_png.moc"
