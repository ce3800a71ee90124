#include "MainWindowTestSupport.h"
#include "PictureFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "ui/playlist/CustomTableModel.h"
#include "model/RoundSquare.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/import/LoadImagesHandler.h"
#include "ui/main/MainWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestLoadImagesDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    QString picturesDir() const { return tempDir->filePath(QStringLiteral("pictures")); }

    // count pictures named p<i>.jpg; picture i is (100 + i) x (80 + i) unless sizes are given.
    QStringList makePictures(int count, int baseWidth = 100, int baseHeight = 80)
    {
        QDir().mkpath(picturesDir());
        QStringList files;
        for (int i = 0; i < count; ++i)
            files << writePicture(picturesDir(), QStringLiteral("p%1.jpg").arg(i),
                                  baseWidth + i, baseHeight + i);
        return files;
    }

    QList<ImageObject *> pictures() const
    {
        return window->pictureModel()->itemsAs<ImageObject>();
    }

    // The sides of the imported squares: one per source picture, whatever the order.
    QList<int> importedSides() const
    {
        QList<int> sides;
        for (const ImageObject *item : pictures())
            sides << item->squareRect.width();
        return sides;
    }

private slots:
    void init() { QVERIFY(openFreshWindow(tempDir, window)); }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void importsEveryFileOnceWithAtMostFiveWorkers_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("expectedWorkers");
        // Workers never wait for the GUI thread: they end before it has handled a report.
        QTest::addColumn<bool>("joinFirst");
        // The first file is this much larger, so that it finishes last: it still comes first.
        QTest::addColumn<int>("firstScale");
        QTest::newRow("one file, one worker") << 1 << 1 << false << 1;
        QTest::newRow("three files, three workers") << 3 << 3 << false << 1;
        QTest::newRow("twelve files, five workers") << 12 << 5 << false << 1;
        QTest::newRow("eleven files, every report after the workers' end") << 11 << 5 << true << 1;
        QTest::newRow("first file slowest, chosen order kept") << 8 << 5 << false << 40;
    }

    void importsEveryFileOnceWithAtMostFiveWorkers()
    {
        QFETCH(int, files);
        QFETCH(int, expectedWorkers);
        QFETCH(bool, joinFirst);
        QFETCH(int, firstScale);
        QStringList paths = makePictures(files);
        if (firstScale > 1)
            paths[0] = writePicture(picturesDir(), QStringLiteral("large.jpg"), 100 * firstScale,
                                    80 * firstScale);
        LoadImagesDialog dialog(paths);
        window->receiveImportsFrom(&dialog);
        QCOMPARE(dialog.workerCount(), expectedWorkers);
        QCOMPARE(dialog.total(), files);
        for (LoadImagesHandler *worker : dialog.findChildren<LoadImagesHandler *>())
            QVERIFY2(!joinFirst || worker->wait(QDeadlineTimer(30000)), "a worker waits");
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(window->pictureModel()->itemCount(), files, 20000);
        QTRY_VERIFY(dialog.loadOverButton()->isEnabled());
        QTRY_COMPARE(dialog.activeWorkerCount(), 0);

        // Each picture exactly once and in the chosen order: the square sides 80 .. 80 +
        // files - 1, whichever worker finished first.
        QList<int> expected;
        for (int i = 0; i < files; ++i)
            expected << (i == 0 ? 80 * firstScale : 80 + i);
        QCOMPARE(importedSides(), expected);

        // Numbered 1..n in list order, with their own copy in the work directory.
        QSet<QString> copies;
        const QList<ImageObject *> items = pictures();
        for (int row = 0; row < items.size(); ++row) {
            ImageObject *item = items.at(row);
            QCOMPARE(item->number, row + 1);
            QCOMPARE(item->kind, int(ImageObject::KindPictureFile));
            QCOMPARE(item->displayTime, 5.0);
            QVERIFY(item->sourcePath.startsWith(workDirectory()));
            QVERIFY(QFileInfo(item->sourcePath).fileName().startsWith(QStringLiteral("image_")));
            QVERIFY(QFile::exists(item->sourcePath));
            QVERIFY(QFile::exists(item->thumbnailPath()));
            QVERIFY(QFile::exists(item->samplingPreviewPath()));
            QVERIFY(!item->readLedData().isEmpty());
            copies.insert(item->sourcePath);
        }
        QCOMPARE(copies.size(), files);
        QCOMPARE(dialog.done(), files);
        const auto *progress = dialog.findChild<QLabel *>(QStringLiteral("lblProgress"));
        QVERIFY(progress);
        QCOMPARE(progress->text(),
                 QStringLiteral("Importing picture %1 of %1").arg(files));
    }

    void emptyListStartsNoWorker()
    {
        LoadImagesDialog dialog{QStringList()};
        window->receiveImportsFrom(&dialog);
        QCOMPARE(dialog.workerCount(), 0);
        QVERIFY(!dialog.loadOverButton()->isEnabled());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Import Image"));
    }

    void portraitPictureIsCutToItsCentredSquare()
    {
        QDir().mkpath(picturesDir());
        const QString path = writePicture(picturesDir(), QStringLiteral("portrait.png"), 300, 500);
        LoadImagesDialog dialog({path});
        window->receiveImportsFrom(&dialog);
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(window->pictureModel()->itemCount(), 1, 10000);
        const ImageObject *item = pictures().first();
        QCOMPARE(item->squareRect, QRect(0, 100, 300, 300));
        // Made from the worker's one decode, the thumbnail is the one an item built from the
        // file itself makes, and it shows rows of the square only (source rows 100 to 399).
        const QImage thumbnail = item->loadThumbnail();
        QCOMPARE(thumbnail.size(), QSize(60, 60));
        const ImageObject reference(0, path, 5.0, ImageObject::KindPictureFile);
        QCOMPARE(thumbnail, reference.loadThumbnail());
        QVERIFY(qRed(thumbnail.pixel(0, 0)) >= 100);
        // The copy keeps the source's suffix.
        QVERIFY(item->sourcePath.endsWith(QStringLiteral("image_1.png")));
    }

    void previewOwnsItsPixels_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("square already preview-sized") << QSize(300, 500);
        QTest::newRow("square scaled down") << QSize(800, 600);
        QTest::newRow("square scaled up") << QSize(120, 90);
    }

    void previewOwnsItsPixels()
    {
        // The dialog keeps showing the preview after the worker's decode buffer has been
        // reused for the next picture or given back.
        QFETCH(QSize, size);
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const int side = qMin(size.width(), size.height());
        const QImage preview = LoadImagesHandler::previewOf(
            RoundSquare::squareView(picture, QRect(0, 0, side, side)));
        const QPixmap shown = QPixmap::fromImage(preview);
        picture.fill(Qt::blue);
        QCOMPARE(preview.pixel(5, 5), qRgb(255, 0, 0));
        QCOMPARE(shown.toImage().pixel(5, 5), qRgb(255, 0, 0));
    }

    void unreadableFilesAreListedWithTheirReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");  // null: a directory of that name
        QTest::addColumn<QString>("reason");
        QTest::newRow("text named .jpg")
            << QStringLiteral("not a picture.jpg") << QByteArray("this is text, not a JPEG")
            << QStringLiteral("not a readable picture (Unsupported image format)");
        QTest::newRow("directory") << QStringLiteral("folder.jpg") << QByteArray()
                                   << QStringLiteral("is a directory");
        QTest::newRow("SVG") << QStringLiteral("drawing.png") << PictureFixtures::svgWithText()
                             << QStringLiteral("svg is not a supported picture format "
                                               "(supported: png, jpeg, bmp, gif, pbm, pgm, ppm)");
        QTest::newRow("truncated BMP")
            << QStringLiteral("cut.bmp") << PictureFixtures::bmp(8, 2054, 16).left(162)
            << QStringLiteral("truncated: its header promises 32918 bytes, the file has 162");
        QTest::newRow("over the pixel limit")
            << QStringLiteral("huge.png") << PictureFixtures::pngHeader(20000, 12000)
            << QStringLiteral("20000 x 12000 pixels (240 megapixels) is over the limit of "
                              "200 megapixels");
    }

    // The box at the end names each refused file with its reason, once; the others import.
    void unreadableFilesAreListedWithTheirReason()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QStringList paths = makePictures(2);
        const QString bad = QDir(picturesDir()).filePath(name);
        if (content.isNull())
            QVERIFY(QDir().mkpath(bad));
        else
            QCOMPARE(PictureFixtures::write(picturesDir(), name, content), bad);
        paths.insert(1, bad);
        ModalWatcher watcher;
        LoadImagesDialog dialog(paths);
        window->receiveImportsFrom(&dialog);
        dialog.show();
        QTRY_COMPARE_WITH_TIMEOUT(dialog.failedFiles(), QStringList{bad}, 10000);
        QTRY_COMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().title, QStringLiteral("Tip"));
        QCOMPARE(watcher.boxes.first().text,
                 QStringLiteral("These files could not be read as pictures:\n%1: %2")
                     .arg(QDir::toNativeSeparators(bad), reason));
        QCOMPARE(window->pictureModel()->itemCount(), 2);
        QCOMPARE(importedSides(), (QList<int>{80, 81}));
        QVERIFY(dialog.loadOverButton()->isEnabled());
        // Closing afterwards does not repeat the box.
        dialog.accept();
        QTest::qWait(100);
        QCOMPARE(watcher.boxes.size(), 1);
    }

    void cancelMidwayJoinsWorkersWithoutLossOrDuplicates()
    {
        // Large enough that the import is still busy when it is cancelled.
        const QStringList paths = makePictures(40, 1200, 900);
        auto dialog = std::make_unique<LoadImagesDialog>(paths);
        window->receiveImportsFrom(dialog.get());
        QCOMPARE(dialog->workerCount(), 5);
        dialog->show();
        QTRY_VERIFY_WITH_TIMEOUT(window->pictureModel()->itemCount() >= 2, 20000);
        dialog->reject();
        QVERIFY(dialog->isStopped());
        QCOMPARE(dialog->activeWorkerCount(), 0);
        const int appended = window->pictureModel()->itemCount();
        QVERIFY(appended < 40);
        QTest::qWait(300);
        QCOMPARE(window->pictureModel()->itemCount(), appended);
        dialog.reset();
        QTest::qWait(100);
        QCOMPARE(window->pictureModel()->itemCount(), appended);
        // No picture twice: every square side is different.
        const QList<int> sides = importedSides();
        QCOMPARE(QSet<int>(sides.begin(), sides.end()).size(), appended);
        // Only the appended items keep temporary files: the dropped ones removed theirs.
        const QStringList buffers = QDir(workDirectory()).entryList({QStringLiteral("*.buf")});
        QCOMPARE(buffers.size(), appended);
    }

    void destroyingTheDialogMidwayIsSafe()
    {
        const QStringList paths = makePictures(20, 1200, 900);
        auto dialog = std::make_unique<LoadImagesDialog>(paths);
        window->receiveImportsFrom(dialog.get());
        dialog->show();
        QTRY_VERIFY_WITH_TIMEOUT(window->pictureModel()->itemCount() >= 1, 20000);
        dialog.reset();  // without done(): the destructor stops and joins the workers
        const int appended = window->pictureModel()->itemCount();
        QTest::qWait(300);
        QCOMPARE(window->pictureModel()->itemCount(), appended);
    }

    void importCompletedKeepsThePicturesStillConverting()
    {
        // Six files on five workers: the queue is empty while up to five still convert.
        const QStringList paths = makePictures(6, 900, 700);
        LoadImagesDialog dialog(paths);
        window->receiveImportsFrom(&dialog);
        dialog.show();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.loadOverButton()->isEnabled(), 20000);
        QTest::mouseClick(dialog.loadOverButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.activeWorkerCount(), 0);
        QCOMPARE(window->pictureModel()->itemCount(), 6);
        QCOMPARE(importedSides(), (QList<int>{700, 701, 702, 703, 704, 705}));
    }

    // However pictures arrive, the list never holds more than its limit, and the user is told
    // how many chosen files were left out.
    void importKeepsThePictureLimit_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("throughWindow"); // the window's import, or a dialog handed over
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("leftOut"); // -1: refused as full, 0: no box
        QTest::newRow("room for all") << 2 << 3 << true << 5 << 0;
        QTest::newRow("three onto 49") << 49 << 3 << true << 50 << 2;
        QTest::newRow("exactly up to the limit") << 47 << 3 << true << 50 << 0;
        QTest::newRow("full list refuses") << 50 << 1 << true << 50 << -1;
        QTest::newRow("handover drops beyond the limit") << 49 << 3 << false << 50 << 0;
    }

    void importKeepsThePictureLimit()
    {
        QFETCH(int, before);
        QFETCH(int, chosen);
        QFETCH(bool, throughWindow);
        QFETCH(int, after);
        QFETCH(int, leftOut);
        QList<ImageObject *> existing;
        for (int i = 1; i <= before; ++i)
            existing << new ImageObject(i, QString(), 5.0, ImageObject::KindPictureFile);
        window->pictureModel()->addItems(existing);
        const QStringList paths = makePictures(chosen);
        ModalWatcher watcher([](QWidget *modal) {
            if (auto *dialog = qobject_cast<LoadImagesDialog *>(modal)) {
                auto *poll = new QTimer(dialog);
                QObject::connect(poll, &QTimer::timeout, dialog, [dialog] {
                    if (dialog->loadOverButton()->isEnabled())
                        dialog->loadOverButton()->click();
                });
                poll->start(20);
            }
        });
        if (throughWindow) {
            window->importPictureFiles(paths);
        } else {
            LoadImagesDialog dialog(paths);
            window->receiveImportsFrom(&dialog);
            dialog.show();
            QTRY_VERIFY_WITH_TIMEOUT(dialog.loadOverButton()->isEnabled(), 20000);
            QTest::mouseClick(dialog.loadOverButton(), Qt::LeftButton);
        }
        QCOMPARE(window->pictureModel()->itemCount(), after);
        QCOMPARE(watcher.boxes.size(), leftOut == 0 ? 0 : 1);
        if (leftOut > 0)
            QVERIFY2(watcher.boxes[0].text.contains(QStringLiteral(" %1 ").arg(leftOut)),
                     qPrintable(watcher.boxes[0].text));
    }

    void windowImportRunsTheDialogAndShowsThePictureList()
    {
        const QStringList paths = makePictures(3);
        ModalWatcher watcher([](QWidget *modal) {
            auto *dialog = qobject_cast<LoadImagesDialog *>(modal);
            if (!dialog)
                return;
            // Finish as the user would: wait for "Import completed", then press it.
            auto *poll = new QTimer(dialog);
            QObject::connect(poll, &QTimer::timeout, dialog, [dialog] {
                if (dialog->loadOverButton()->isEnabled())
                    dialog->loadOverButton()->click();
            });
            poll->start(20);
        });
        window->importPictureFiles(paths);
        QCOMPARE(window->pictureModel()->itemCount(), 3);
        QCOMPARE(importedSides(), (QList<int>{80, 81, 82}));
        QCOMPARE(imageCopyCounter.load(), 4);
    }
};

QTEST_MAIN(TestLoadImagesDialog)
#include "test_load_images_dialog.moc"
