// The import workers copy each picture into the work directory themselves: every appended
// item has its own byte-exact copy, and a cancelled import leaves no copy behind for the
// items it dropped, nor touches the user's files. Each worker decodes into a buffer reused
// from picture to picture: the items must be those a fresh decode gives.
#include "MainWindowTestSupport.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/main/MainWindow.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestImportCopies : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    // Picture i is (width + i) x (height + i), so its square side names it.
    QStringList makePictures(int count, int width, int height)
    {
        const QString dir = tempDir->filePath(QStringLiteral("pictures"));
        QDir().mkpath(dir);
        QStringList files;
        for (int i = 0; i < count; ++i)
            files << writePicture(dir, QStringLiteral("p%1.jpg").arg(i), width + i, height + i);
        return files;
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList copiesInWorkDirectory() const
    {
        return QDir(workDirectory()).entryList({QStringLiteral("image_*")}, QDir::Files);
    }

    // Every item's copy exists, is its own, and holds the bytes of the picture it came from.
    void verifyCopies(const QStringList &sources, int height)
    {
        const QList<ImageObject *> items = window->pictureModel()->itemsAs<ImageObject>();
        QSet<QString> seen;
        for (const ImageObject *item : items) {
            QVERIFY(item->sourcePath.startsWith(workDirectory()));
            QVERIFY(!seen.contains(item->sourcePath));
            seen.insert(item->sourcePath);
            const int index = item->squareRect.width() - height;
            QVERIFY(index >= 0 && index < sources.size());
            QCOMPARE(contents(item->sourcePath), contents(sources.at(index)));
        }
        QCOMPARE(copiesInWorkDirectory().size(), items.size());
        for (const QString &source : sources)
            QVERIFY2(QFile::exists(source), qPrintable(source));
    }

    // Same-sized pictures whose pixels differ everywhere, as a camera's series.
    QStringList makeSeries(int count, int width, int height)
    {
        const QString dir = tempDir->filePath(QStringLiteral("series"));
        QDir().mkpath(dir);
        QStringList files;
        for (int i = 0; i < count; ++i) {
            QImage image(width, height, QImage::Format_RGB32);
            for (int y = 0; y < height; ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < width; ++x)
                    line[x] = qRgb((x + 40 * i) % 256, (y * 3 + 70 * i) % 256, (x ^ y ^ i) % 256);
            }
            files << QDir(dir).filePath(QStringLiteral("s%1.jpg").arg(i));
            image.save(files.last(), "JPEG", 90);
        }
        return files;
    }

private slots:
    void init() { QVERIFY(openFreshWindow(tempDir, window)); }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void completeImportCopiesEveryPicture()
    {
        const QStringList paths = makePictures(7, 160, 120);
        LoadImagesDialog dialog(paths);
        window->receiveImportsFrom(&dialog);
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(window->pictureModel()->itemCount(), 7, 20000);
        QTRY_COMPARE(dialog.activeWorkerCount(), 0);
        verifyCopies(paths, 120);
    }

    void cancelledImportKeepsOnlyTheAppendedCopies_data()
    {
        QTest::addColumn<bool>("destroyWithoutClosing");
        QTest::newRow("cancel button") << false;
        QTest::newRow("dialog destroyed") << true;
    }

    void cancelledImportKeepsOnlyTheAppendedCopies()
    {
        QFETCH(bool, destroyWithoutClosing);
        // Large enough that several workers are busy when the import is cancelled.
        const QStringList paths = makePictures(30, 1200, 900);
        auto dialog = std::make_unique<LoadImagesDialog>(paths);
        window->receiveImportsFrom(dialog.get());
        dialog->show();
        QTRY_VERIFY_WITH_TIMEOUT(window->pictureModel()->itemCount() >= 2, 20000);
        if (!destroyWithoutClosing)
            dialog->reject();
        dialog.reset();
        QTest::qWait(100);
        QVERIFY(window->pictureModel()->itemCount() < 30);
        verifyCopies(paths, 900);
    }

    // Without a window to take them, converted items are dropped, copies and all.
    void droppedItemsTakeTheirCopiesAlong()
    {
        const QStringList paths = makePictures(4, 160, 120);
        LoadImagesDialog dialog(paths);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.loadOverButton()->isEnabled(), 20000);
        QTRY_COMPARE(dialog.activeWorkerCount(), 0);
        // Every copy exists once the workers have ended; the reports dropping them follow.
        QTRY_COMPARE(dialog.done(), 4);
        QTRY_COMPARE(copiesInWorkDirectory(), QStringList());
        QCOMPARE(QDir(workDirectory()).entryList({QStringLiteral("*.buf")}), QStringList());
        for (const QString &source : paths)
            QVERIFY(QFile::exists(source));
    }

    void seriesOfSameSizeConvertsAsFreshDecodes()
    {
        const QStringList paths = makeSeries(12, 640, 480);
        LoadImagesDialog dialog(paths);
        window->receiveImportsFrom(&dialog);
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(window->pictureModel()->itemCount(), 12, 20000);
        QTRY_COMPARE(dialog.activeWorkerCount(), 0);
        const QList<ImageObject *> items = window->pictureModel()->itemsAs<ImageObject>();
        QSet<QString> matched;
        for (ImageObject *item : items) {
            // The copy tells which picture the item came from.
            const QByteArray bytes = contents(item->sourcePath);
            QString source;
            for (const QString &path : paths) {
                if (contents(path) == bytes)
                    source = path;
            }
            QVERIFY(!source.isEmpty());
            matched.insert(source);
            ImageObject reference(0, source, 5.0, ImageObject::KindPictureFile);
            convertPicture(QImageReader(source).read(), &reference);
            QCOMPARE(item->squareRect, reference.squareRect);
            QCOMPARE(item->readLedData(), reference.readLedData());
            QCOMPARE(item->loadThumbnail(), reference.loadThumbnail());
            QCOMPARE(item->loadSamplingPreview(), reference.loadSamplingPreview());
        }
        QCOMPARE(matched.size(), 12);
    }

    void importCompletedKeepsTheCopiesOfThePicturesStillConverting()
    {
        const QStringList paths = makePictures(6, 900, 700);
        LoadImagesDialog dialog(paths);
        window->receiveImportsFrom(&dialog);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.loadOverButton()->isEnabled(), 20000);
        QTest::mouseClick(dialog.loadOverButton(), Qt::LeftButton);
        QCOMPARE(window->pictureModel()->itemCount(), 6);
        verifyCopies(paths, 700);
    }
};

QTEST_MAIN(TestImportCopies)
#include "test_import_copies.moc"
