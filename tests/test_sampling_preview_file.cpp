// The sampling preview file "%1_2.png" holds exactly the pixels the conversion drew, opaque,
// whatever the alpha of the picture it was sampled from.
#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/ReadImageThread.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSamplingPreviewFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tempDir;

private slots:
    void initTestCase()
    {
        QVERIFY(tempDir.isValid());
        initAppGlobals(tempDir.path());
    }

    void previewIsOpaque_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("opaque RGB32") << QImage::Format_RGB32 << qRgb(200, 100, 50);
        QTest::newRow("translucent ARGB32") << QImage::Format_ARGB32 << qRgba(200, 100, 50, 128);
        QTest::newRow("transparent ARGB32") << QImage::Format_ARGB32 << qRgba(10, 220, 90, 0);
        QTest::newRow("premultiplied") << QImage::Format_ARGB32_Premultiplied
                                       << qRgba(100, 50, 25, 128);
    }

    void previewIsOpaque()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QRgb, colour);
        QImage picture(450, 450, format);
        picture.fill(colour);
        ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
        convertPicture(picture, &item);
        const QImage preview = item.loadSamplingPreview();
        QCOMPARE(preview.size(), QSize(450, 450));
        // The colour of a dot is the sampled pixel's, without its alpha.
        const QRgb sampled = picture.convertToFormat(QImage::Format_ARGB32).pixel(225, 225);
        QCOMPARE(preview.pixel(225, 225), sampled | 0xff000000u);
        QCOMPARE(preview.pixel(1, 1), qRgb(0, 0, 0));
        const QImage argb = preview.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            for (int x = 0; x < argb.width(); ++x) {
                if (qAlpha(argb.pixel(x, y)) != 255)
                    QFAIL(qPrintable(QStringLiteral("pixel %1, %2 not opaque").arg(x).arg(y)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSamplingPreviewFile)
#include "test_sampling_preview_file.moc"
