// The video import dialog and the main window's video import: a clip in video order with
// the frames the sliders chose, cancel leaving nothing behind, and the refusals a user sees
// instead of a broken or empty clip.
#include "TestEnvironment.h"
#include "MainWindowTestSupport.h"
#include "VideoFixtures.h"

#include "import/FrameHandOver.h"
#include "import/FrameSchedule.h"
#include "RegionDialogDriver.h"
#include "ui/import/GetImgeLocationDialog.h"
#include "ui/import/LoadMediaDialog.h"
#include "model/PictureLoader.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/dialogs/ProgressDialog.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTranslator>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QtTest>

using VideoFixtures::Codec;

namespace {

QStringList frameFiles()
{
    return QDir(workDirectory()).entryList({QStringLiteral("loadMedia_*")}, QDir::Files);
}

// Clicks the region dialog's OK, and Start in the import dialog once it is ready, after
// setting the sliders to the start and end frames (negative: left as they are).
std::function<void(QWidget *)> driver(int start, int end)
{
    return [start, end](QWidget *modal) {
        if (confirmRegionDialog(modal))
            return;
        auto *import = qobject_cast<LoadMediaDialog *>(modal);
        if (!import)
            return;
        // Polls until Start is enabled; the timer goes with the dialog.
        auto *poll = new QTimer(import);
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, import, [import, poll, start, end] {
            auto *ok = import->findChild<QPushButton *>(QStringLiteral("okBut"));
            if (!ok->isEnabled())
                return;
            poll->stop();
            if (start >= 0)
                import->findChild<QSlider *>(QStringLiteral("sliderStartTime"))->setValue(start);
            if (end >= 0)
                import->findChild<QSlider *>(QStringLiteral("sliderEndTime"))->setValue(end);
            ok->click();
        });
        poll->start();
    };
}

} // namespace

class TestLoadMediaDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    QTemporaryDir videos;

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("hologram.*=false"));
        // The file dialog's remembered places (the user's QtProject.conf) may name folders
        // whose listing blocks, such as /proc; the test keeps settings of its own.
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(videos.isValid());
        QVERIFY(TestEnvironment::installEnglishTexts());
    }

    void init()
    {
        QVERIFY(TestEnvironment::enterFreshDirectory(tempDir));
    }

    void cleanup() { tempDir.reset(); }

    // The sliders choose the first and the last frame; the clip holds one frame per 100 ms
    // of that stretch, numbered in video order, cut where the region dialog put the square.
    void cutsTheChosenStretch_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QList<int>>("expected");
        // The clip's origin: the stretch in milliseconds of the 25 fps video.
        QTest::addColumn<int>("startMs");
        QTest::addColumn<int>("lengthMs");
        QTest::newRow("nothing moved: the whole video")
            << -1 << -1 << QList<int>{0, 2, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27} << 0 << 1160;
        QTest::newRow("frames 10 to 25") << 10 << 25 << QList<int>{10, 12, 15, 17, 20, 22, 25}
                                         << 400 << 600;
        QTest::newRow("start moved, end left at the last frame")
            << 20 << -1 << QList<int>{20, 22, 25, 27} << 800 << 360;
        QTest::newRow("start and end on one frame") << 21 << 21 << QList<int>{21} << 840 << 0;
        QTest::newRow("end set before the start: one frame") << 21 << 5 << QList<int>{21} << 840
                                                             << 0;
    }

    void cutsTheChosenStretch()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QList<int>, expected);
        QFETCH(int, startMs);
        QFETCH(int, lengthMs);
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("clip.avi"),
                                                  Codec::Mjpeg, 25.0, 30);
        ModalWatcher watcher(driver(start, end));
        LoadMediaDialog dialog;
        QVERIFY(dialog.openMediaPath(path));
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(watcher.boxes.isEmpty());
        QCOMPARE(dialog.mediaPath(), path);
        const QList<ImageObject *> frames = dialog.takeFrames();
        QList<int> cut;
        const QRect inSquare(-dialog.regionTopLeft(), QSize(160, 120));
        for (int k = 0; k < frames.size(); ++k) {
            QCOMPARE(frames[k]->number, k + 1);
            QVERIFY(!frames[k]->readLedData().isEmpty());
            cut.append(VideoFixtures::indexIn(PictureLoader::load(frames[k]->sourcePath), inSquare));
        }
        QCOMPARE(cut, expected);
        const ClipOrigin origin = dialog.origin();
        QCOMPARE(origin.source, ClipOrigin::Source::Video);
        QCOMPARE(origin.path, path);
        QCOMPARE(origin.startMs, qint64(startMs));
        QCOMPARE(origin.lengthMs, qint64(lengthMs));
        QCOMPARE(origin.zoomSteps, 0);
        QCOMPARE(origin.shownSize, dialog.shownSize());
        QCOMPARE(origin.regionTopLeft, dialog.regionTopLeft());
        for (ImageObject *item : frames)
            FrameHandOver::dispose(item);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("box");
        QTest::newRow("no video") << QStringLiteral("garbage") << QStringLiteral("Failed to play!");
        QTest::newRow("absurd frame rate") << QStringLiteral("rate") << QStringLiteral("Failed to play!");
        QTest::newRow("first frame not saved") << QStringLiteral("unsaved")
            << QStringLiteral("Failed to initialize, cannot play video!");
        QTest::newRow("more frames than a clip holds") << QStringLiteral("long")
            << QStringLiteral("The chosen stretch gives 1001 frames, but a clip holds at most 1000. "
                              "Please choose a shorter stretch.");
    }

    void refusals()
    {
        QFETCH(QString, kind);
        QFETCH(QString, box);
        QString path;
        if (kind == QLatin1String("rate")) {
            const QString fine = VideoFixtures::write(videos.path(), QStringLiteral("rate.avi"),
                                                      Codec::Mjpeg, 25.0, 10);
            path = VideoFixtures::withFrameRate(fine, tempDir->filePath(QStringLiteral("fast.avi")), 1, 5000000);
        } else if (kind == QLatin1String("garbage")) {
            path = tempDir->filePath(QStringLiteral("garbage.mp4"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4000, 'g'));
        } else if (kind == QLatin1String("unsaved")) {
            path = VideoFixtures::write(videos.path(), QStringLiteral("unsaved.avi"), Codec::Mjpeg,
                                        25.0, 10);
            // The work directory's place is taken by a file: nothing can be saved there.
            const QString blocked = tempDir->filePath(QStringLiteral("blocked"));
            QFile file(blocked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            setWorkDirectory(blocked);
        } else {
            path = VideoFixtures::write(videos.path(), QStringLiteral("long.avi"), Codec::Mjpeg,
                                        10.0, 1001, QSize(40, 30));
        }
        LoadMediaDialog dialog;
        ModalWatcher watcher(driver(-1, -1));
        if (kind == QLatin1String("garbage") || kind == QLatin1String("rate")) {
            QVERIFY(!dialog.openMediaPath(path));
            QCOMPARE(watcher.boxes.size(), 1);
            QCOMPARE(watcher.boxes.first().text, box);
            return;
        }
        QVERIFY(dialog.openMediaPath(path));
        if (kind == QLatin1String("long")) {
            dialog.open();
            QTRY_COMPARE(watcher.boxes.size(), 1);
            QCOMPARE(watcher.boxes.first().text, box);
            QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("okBut"))->isEnabled());
            QVERIFY(dialog.isVisible());
            dialog.reject();
            return;
        }
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().text, box);
        QVERIFY(dialog.takeFrames().isEmpty());
        QVERIFY(frameFiles().isEmpty());
    }

    // A file whose container claims more than can be read: the dialog says so, offers only
    // what reads, and the whole offer cuts without a failure.
    void offersWhatCanBeRead()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("cut.avi"),
                                                  Codec::Mjpeg, 25.0, 40);
        QVERIFY(VideoFixtures::cutShort(path));
        const qint64 readable = VideoFixtures::readableInOrder(path);
        QVERIFY(readable > 0 && readable < 30);
        LoadMediaDialog dialog;
        ModalWatcher watcher(driver(-1, -1));
        auto *start = dialog.findChild<QSlider *>(QStringLiteral("sliderStartTime"));
        auto *end = dialog.findChild<QSlider *>(QStringLiteral("sliderEndTime"));
        QVERIFY(dialog.openMediaPath(path));
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(start->maximum(), int(readable - 1));
        QCOMPARE(end->maximum(), int(readable - 1));
        QCOMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().text,
                 QStringLiteral("The file claims to last 1.6 s, but only its first %1 s can be "
                                "read. The sliders offer what can be read.")
                     .arg(double(readable) / 25.0, 0, 'f', 1));
        const QList<ImageObject *> frames = dialog.takeFrames();
        QCOMPARE(frames.size(), FrameSchedule(0, readable - 1, 25.0).sampleCount());
        for (ImageObject *item : frames)
            FrameHandOver::dispose(item);
    }

    // Cancel in the busy dialog stops the run and returns to the sliders with no frames and
    // no frame files left; a second run from there completes.
    void cancelReturnsToTheSliders()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("long.avi"),
                                                  Codec::Mjpeg, 25.0, 250);
        auto start = driver(-1, -1);
        int busySeen = 0;
        ModalWatcher watcher([start, &busySeen](QWidget *modal) {
            if (auto *busy = qobject_cast<ProgressDialog *>(modal)) {
                if (++busySeen == 1)
                    QTimer::singleShot(50, busy, [busy] { busy->reject(); });
                return;
            }
            start(modal);
        });
        LoadMediaDialog dialog;
        QVERIFY(dialog.openMediaPath(path));
        dialog.open();
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("okBut"));
        QTRY_COMPARE(busySeen, 1);
        QTRY_VERIFY(ok->isEnabled());
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.takeFrames().isEmpty());
        QVERIFY(frameFiles().isEmpty());

        dialog.findChild<QSlider *>(QStringLiteral("sliderStartTime"))->setValue(200);
        ok->click();
        QCOMPARE(busySeen, 2);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QList<ImageObject *> frames = dialog.takeFrames();
        QCOMPARE(frames.size(), 20);
        for (ImageObject *item : frames)
            FrameHandOver::dispose(item);
        QVERIFY(watcher.boxes.isEmpty());
    }

    // Cancel in the region dialog ends the import with nothing made.
    void regionCancelledImportsNothing()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("region.avi"),
                                                  Codec::Mjpeg, 25.0, 30);
        ModalWatcher watcher([](QWidget *modal) {
            if (qobject_cast<GetImgeLocationDialog *>(modal))
                modal->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        });
        LoadMediaDialog dialog;
        QVERIFY(dialog.openMediaPath(path));
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(watcher.boxes.isEmpty());
        QVERIFY(dialog.takeFrames().isEmpty());
        QVERIFY(frameFiles().isEmpty());
    }

    // A dialog closed with seek previews queued and the loop perhaps decoding one.
    void closedWithPreviewsPending()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("seek.avi"),
                                                  Codec::Mjpeg, 25.0, 60);
        for (int round = 0; round < 5; ++round) {
            ModalWatcher watcher([](QWidget *modal) { confirmRegionDialog(modal); });
            auto dialog = std::make_unique<LoadMediaDialog>();
            QVERIFY(dialog->openMediaPath(path));
            dialog->open();
            auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("okBut"));
            QTRY_VERIFY(ok->isEnabled());
            auto *slider = dialog->findChild<QSlider *>(QStringLiteral("sliderStartTime"));
            for (int v = 0; v < 50; v += 7)
                slider->setValue(v);
            dialog.reset();
        }
    }

    void mainWindowAddsTheClip()
    {
        std::unique_ptr<MainWindow> window;
        QVERIFY(openFreshWindow(tempDir, window));
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("window.avi"),
                                                  Codec::Mjpeg, 25.0, 30);
        lastBrowseDirectory = videos.path();
        auto start = driver(-1, -1);
        ModalWatcher watcher([start, path](QWidget *modal) {
            if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                    ->setText(QFileInfo(path).fileName());
                // done() rather than accept(): no wait for the dialog's directory listing.
                QMetaObject::invokeMethod(files, "done", Q_ARG(int, QDialog::Accepted));
                return;
            }
            start(modal);
        });
        window->onActionLoadMedia();
        QVERIFY(watcher.boxes.isEmpty());
        CustomTableModel *clips = window->clipModel();
        QCOMPARE(clips->itemCount(), 1);
        auto *clip = clips->itemsAs<MediaObject>().first();
        QCOMPARE(clip->number, 0);
        QCOMPARE(clip->sourcePath, path);
        QCOMPARE(clip->frames.size(), 12);
        for (int k = 0; k < clip->frames.size(); ++k)
            QCOMPARE(clip->frames[k]->number, k + 1);
        closeFreshWindow(tempDir, window);
    }
};

QTEST_MAIN(TestLoadMediaDialog)
#include "test_load_media_dialog.moc"
