// Reading effects back into the window (Preview, Reset), the display geometry dialogs and
// contrast changes: what reaches the playlists and the geometry, and what never does.
#include "EffectTestSupport.h"
#include "MainWindowTestSupport.h"

#include "app/AppGlobals.h"
#include "effect/EffectFileCheck.h"
#include "effect/PlayMediaHandler.h"
#include "effect/ReadRequest.h"
#include "loop/HandlerMessage.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"
#include "model/ImageContrast.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/ReadImageThread.h"
#include "disk/DiskMonitor.h"
#include "ui/disk/SelectUsbPathDialog.h"
#include "ui/main/ClipPlayer.h"
#include "ui/main/ContrastJobs.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/dialogs/GeometryNumberDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/main/ReadBackMerge.h"
#include "ui/dialogs/UpdateImageContract.h"

#include <QAction>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QSlider>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace effecttest;

namespace {


// A small geometry keeps the slotted files of these tests a few hundred kilobytes.
constexpr int kLeds = 8;
constexpr int kLines = 16;

} // namespace

class TestReadBackWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    QString path(const QString &name) const { return tempDir->filePath(name); }

    ImageObject *makePicture(int number)
    {
        auto *item = new ImageObject(number, QString(), 5.0, ImageObject::KindPictureFile);
        QImage preview(450, 450, QImage::Format_ARGB32);
        preview.fill(QColor(10 * number % 256, 20, 30));
        item->saveSamplingPreview(preview);
        return item;
    }

    QList<ImageObject *> addPictures(int count)
    {
        QList<ImageObject *> items;
        for (int i = 1; i <= count; ++i)
            items << makePicture(i);
        window->pictureModel()->addItems(items);
        return items;
    }

    // A slotted file of the given geometry: n pictures, clip frame counts as given, time
    // bytes from timeBase.
    static QByteArray slotted(int leds, int lines, int pictures, std::array<int, 5> frames,
                              int timeBase)
    {
        const int oldLeds = ledCount;
        const int oldLines = lineNumber;
        ledCount = leds;
        lineNumber = lines;
        SlottedShape shape;
        shape.pictureCount = pictures;
        shape.frameCounts = frames;
        shape.loopCounts = {3, 1, 1, 1, 1};
        shape.timeBase = timeBase;
        const QByteArray bytes = slottedFile(shape);
        ledCount = oldLeds;
        lineNumber = oldLines;
        return bytes;
    }

    QList<double> pictureTimes() const
    {
        QList<double> times;
        for (const ImageObject *item : window->pictureModel()->itemsAs<ImageObject>())
            times << item->displayTime;
        return times;
    }

    // Cancels the busy dialog of a read stuck behind the blocker; returns the watcher.
    static std::unique_ptr<ModalWatcher> cancelBusyDialog()
    {
        return std::make_unique<ModalWatcher>([](QWidget *modal) {
            if (auto *busy = qobject_cast<ProgressDialog *>(modal))
                busy->reject();
        });
    }

private slots:
    void init() { QVERIFY(openFreshWindow(tempDir, window)); }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void resetRefusesABadFactoryFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        const QString tail = QStringLiteral("The playlist was left as it was.");
        QTest::newRow("missing") << "missing" << "The system default file does not exist!";
        QTest::newRow("empty") << "empty" << "too short";
        QTest::newRow("119 bytes") << "119" << "too short";
        QTest::newRow("one byte too long") << "long" << "does not fit a display of 36 LEDs";
        QTest::newRow("made for 112 x 430") << "other" << "does not fit a display of 36 LEDs";
        QTest::newRow("a directory") << "directory" << "cannot be opened";
    }

    void resetRefusesABadFactoryFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString file = path(QStringLiteral("default.bin"));
        const QByteArray good = slotted(36, 360, 2, {}, 10);
        if (kind == QLatin1String("empty"))
            QVERIFY(writeBytes(file, {}));
        else if (kind == QLatin1String("119"))
            QVERIFY(writeBytes(file, good.left(119)));
        else if (kind == QLatin1String("long"))
            QVERIFY(writeBytes(file, good + 'x'));
        else if (kind == QLatin1String("other"))
            QVERIFY(writeBytes(file, slotted(kLeds, kLines, 2, {}, 10)));
        else if (kind == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(file));
        const QList<ImageObject *> before = addPictures(2);

        ModalWatcher watcher;
        window->onActionRestoreFactory();
        QCOMPARE(ledCount.load(), kDefaultLedCount);
        QCOMPARE(lineNumber.load(), kDefaultLineNumber);
        QCOMPARE(window->pictureModel()->itemsAs<ImageObject>(), before);
        // Only the reason: no confirmation is asked and no read is sent for such a file.
        QCOMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().title, QStringLiteral("Tip"));
        QVERIFY2(watcher.boxes.first().text.contains(message),
                 qPrintable(watcher.boxes.first().text));
        QCOMPARE(window->readBack()->lastRequestNumber(), 0);
    }

    void resetReplacesThePlaylistsAndTheGeometryOnlyWhenConfirmed_data()
    {
        QTest::addColumn<int>("picturesBefore");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("empty playlist, no question") << 0 << QMessageBox::Cancel;
        QTest::newRow("confirmed") << 2 << QMessageBox::Ok;
        QTest::newRow("declined") << 2 << QMessageBox::Cancel;
    }

    void resetReplacesThePlaylistsAndTheGeometryOnlyWhenConfirmed()
    {
        QFETCH(int, picturesBefore);
        QFETCH(QMessageBox::StandardButton, answer);
        // All 100 slots, n = 3, clip frames 2, 0, 0, 0, 0.
        QVERIFY(writeBytes(path(QStringLiteral("default.bin")), slotted(36, 360, 3, {2}, 10)));
        const QList<ImageObject *> before = addPictures(picturesBefore);

        ModalWatcher answerer(answer, {});
        window->onActionRestoreFactory();
        const bool replaced = picturesBefore == 0 || answer == QMessageBox::Ok;
        QCOMPARE(answerer.boxes.size(), picturesBefore == 0 ? 0 : 1);
        QVERIFY(!window->readBack()->isBusy());
        if (!replaced) {
            QCOMPARE(window->pictureModel()->itemsAs<ImageObject>(), before);
            QCOMPARE(ledCount.load(), kDefaultLedCount);
            return;
        }
        QCOMPARE(ledCount.load(), 36);
        QCOMPARE(lineNumber.load(), 360);
        const QList<ImageObject *> pictures = window->pictureModel()->itemsAs<ImageObject>();
        QCOMPARE(pictures.size(), 3);
        for (const ImageObject *item : pictures) {
            QCOMPARE(item->kind, int(ImageObject::KindReadPicture));
            QCOMPARE(item->thread(), window->thread());
            QVERIFY(!item->loadThumbnail().isNull());
        }
        QCOMPARE(pictureTimes(), (QList<double>{11 * 0.2, 12 * 0.2, 13 * 0.2}));
        const QList<MediaObject *> clips = window->clipModel()->itemsAs<MediaObject>();
        QCOMPARE(clips.size(), 1);
        QCOMPARE(clips.first()->frames.size(), 2);
        QCOMPARE(clips.first()->loopCount, 3);
        QCOMPARE(clips.first()->frames.first()->kind, int(ImageObject::KindReadClipFrame));
        QCOMPARE(clips.first()->thread(), window->thread());
    }

    void readOutcomeTravelsWithTheCompletion_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("problem");
        QTest::newRow("fits") << "good" << int(EffectFileCheck::None);
        QTest::newRow("missing") << "missing" << int(EffectFileCheck::Missing);
        QTest::newRow("119 bytes") << "119" << int(EffectFileCheck::TooShort);
        QTest::newRow("wrong length") << "long" << int(EffectFileCheck::WrongLength);
        QTest::newRow("directory") << "directory" << int(EffectFileCheck::CannotOpen);
    }

    void readOutcomeTravelsWithTheCompletion()
    {
        // The file may change between the window's look and the read: the worker checks it
        // again and the playlist stays when the read fails.
        QFETCH(QString, kind);
        QFETCH(int, problem);
        ledCount = kLeds;
        lineNumber = kLines;
        const QString file = path(QStringLiteral("T4.bin"));
        const QByteArray good = slotted(kLeds, kLines, 2, {}, 10);
        if (kind == QLatin1String("good"))
            QVERIFY(writeBytes(file, good));
        else if (kind == QLatin1String("119"))
            QVERIFY(writeBytes(file, good.left(119)));
        else if (kind == QLatin1String("long"))
            QVERIFY(writeBytes(file, good + 'x'));
        else if (kind == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(file));

        PlayMediaHandler handler(HandlerThread::shared());
        ReadRequest request(1, PlayMediaHandler::PreviewReadCode, file, QSize(kLeds, kLines));
        auto *msg = new Message(&handler, PlayMediaHandler::PreviewReadCode);
        msg->object = &request;
        msg->text = file;
        handler.sendHandlerMessage(msg);
        QTRY_VERIFY(request.isFinished());
        QCOMPARE(int(request.outcome().problem), problem);
        QCOMPARE(request.readImageList().size(), problem == EffectFileCheck::None ? 2 : 0);

        // Through the window: the same file read in place of two pictures.
        const QList<ImageObject *> before = addPictures(2);
        ModalWatcher watcher;
        window->readBack()->start(PlayMediaHandler::PreviewReadCode, file, QStringLiteral("…"));
        QTRY_VERIFY(!window->readBack()->isBusy());
        if (problem != EffectFileCheck::None)
            QCOMPARE(window->pictureModel()->itemsAs<ImageObject>(), before);
        else
            QCOMPARE(pictureTimes(), (QList<double>{11 * 0.2, 12 * 0.2}));
        QCOMPARE(ledCount.load(), kLeds);
    }

    void previewCancelledThenPreviewAgainLandsOnlyTheSecond()
    {
        ledCount = kLeds;
        lineNumber = kLines;
        const QString first = path(QStringLiteral("first.bin"));
        const QString second = path(QStringLiteral("second.bin"));
        QVERIFY(writeBytes(first, slotted(kLeds, kLines, 5, {4}, 10)));
        QVERIFY(writeBytes(second, slotted(kLeds, kLines, 3, {}, 50)));
        addPictures(1);

        auto blocker = std::make_unique<BlockingHandler>(HandlerThread::shared());
        blocker->sendCode(1);
        {
            auto cancel = cancelBusyDialog();
            window->readBack()->start(PlayMediaHandler::PreviewReadCode, first,
                                      QStringLiteral("…"));
        }
        // The cancelled read has not run yet: the window waits for its completion.
        QVERIFY(!window->readBack()->isPending());
        QVERIFY(window->readBack()->isBusy());
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("actionRestoreFactory"))->isEnabled());
        QVERIFY(!window->findChild<QAction *>(QStringLiteral("actionLedCount"))->isEnabled());
        {
            ModalWatcher refusal;
            window->onActionRestoreFactory();
            QCOMPARE(refusal.boxes.size(), 1);
            QVERIFY(refusal.boxes.first().text.contains(QStringLiteral("still in use")));
        }
        QCOMPARE(window->readBack()->lastRequestNumber(), 1);

        // The second read is sent at once; both complete while its busy dialog is up.
        bool released = false;
        ModalWatcher release([&](QWidget *modal) {
            if (qobject_cast<ProgressDialog *>(modal) && !released) {
                released = true;
                blocker->gate.release();
            }
        });
        window->readBack()->start(PlayMediaHandler::PreviewReadCode, second, QStringLiteral("…"));
        QVERIFY(released);
        QTRY_VERIFY(!window->readBack()->isBusy());
        QCOMPARE(pictureTimes(), (QList<double>{51 * 0.2, 52 * 0.2, 53 * 0.2}));
        QVERIFY(window->clipModel()->itemsAs<MediaObject>().isEmpty());
        QVERIFY(window->findChild<QAction *>(QStringLiteral("actionRestoreFactory"))->isEnabled());
        blocker.reset();
    }

    void previewReadsT4FromTheChosenDisk_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // empty: the read replaces the playlist
        QTest::newRow("T4.bin present") << "good" << "";
        QTest::newRow("no T4.bin") << "missing"
                                   << "There is no effect file on this USB drive; please select another one.";
        QTest::newRow("T4.bin of another geometry") << "other" << "does not fit a display of 8";
    }

    void previewReadsT4FromTheChosenDisk()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        ledCount = kLeds;
        lineNumber = kLines;
        const QString disk = path(QStringLiteral("stick"));
        QVERIFY(QDir().mkpath(disk));
        if (kind == QLatin1String("good"))
            QVERIFY(writeBytes(disk + QStringLiteral("/T4.bin"), slotted(kLeds, kLines, 2, {}, 10)));
        else if (kind == QLatin1String("other"))
            QVERIFY(writeBytes(disk + QStringLiteral("/T4.bin"), slotted(9, kLines, 2, {}, 10)));
        window->disks()->AddDisk(disk);
        const QList<ImageObject *> before = addPictures(1);

        // The disk is chosen, then the replacement of the one picture is confirmed.
        ModalWatcher answerer(QMessageBox::Ok, [](QWidget *modal) {
            if (auto *disks = qobject_cast<SelectUsbPathDialog *>(modal))
                disks->findChild<QPushButton *>(QStringLiteral("okBut"))->click();
        });
        window->onActionPreviewFromUsb();
        QVERIFY(!window->readBack()->isBusy());
        if (message.isEmpty()) {
            QCOMPARE(answerer.boxes.size(), 1); // the confirmation
            QCOMPARE(pictureTimes(), (QList<double>{11 * 0.2, 12 * 0.2}));
            return;
        }
        QCOMPARE(answerer.boxes.size(), 1);
        QVERIFY2(answerer.boxes.first().text.contains(message),
                 qPrintable(answerer.boxes.first().text));
        QCOMPARE(window->pictureModel()->itemsAs<ImageObject>(), before);
        QCOMPARE(window->readBack()->lastRequestNumber(), 0);
    }

    // A file made for the other known display is offered as that geometry: accepted, it is
    // read so and the geometry follows; declined, it is refused as not fitting.
    void previewOffersTheGeometryTheFileFits_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("switch accepted") << int(QMessageBox::Yes);
        QTest::newRow("switch declined") << int(QMessageBox::No);
    }

    void previewOffersTheGeometryTheFileFits()
    {
        QFETCH(int, answer);
        const QString disk = path(QStringLiteral("stick"));
        QVERIFY(QDir().mkpath(disk));
        QVERIFY(writeBytes(disk + QStringLiteral("/T4.bin"), slotted(36, 360, 2, {}, 10)));
        window->disks()->AddDisk(disk);
        ModalWatcher answerer(QMessageBox::StandardButton(answer), [](QWidget *modal) {
            if (auto *disks = qobject_cast<SelectUsbPathDialog *>(modal))
                disks->findChild<QPushButton *>(QStringLiteral("okBut"))->click();
        });
        window->onActionPreviewFromUsb();
        QTRY_VERIFY(!window->readBack()->isBusy());
        QVERIFY(!answerer.boxes.isEmpty());
        QVERIFY2(answerer.boxes.first().text.contains(QStringLiteral("36")),
                 qPrintable(answerer.boxes.first().text));
        const bool switched = answer == QMessageBox::Yes;
        QCOMPARE(answerer.boxes.size(), switched ? 1 : 2);
        QCOMPARE(ledCount.load(), switched ? 36 : kDefaultLedCount);
        QCOMPARE(lineNumber.load(), switched ? 360 : kDefaultLineNumber);
        QCOMPARE(window->pictureModel()->itemCount(), switched ? 2 : 0);
    }

    void readBackClipPlaysAndTheNextReadStopsIt()
    {
        ledCount = kLeds;
        lineNumber = kLines;
        const QString file = path(QStringLiteral("T4.bin"));
        QVERIFY(writeBytes(file, slotted(kLeds, kLines, 1, {3}, 10)));
        window->readBack()->start(PlayMediaHandler::PreviewReadCode, file, QStringLiteral("…"));
        const QList<MediaObject *> clips = window->clipModel()->itemsAs<MediaObject>();
        QCOMPARE(clips.size(), 1);
        const QList<ImageObject *> frames = clips.first()->frames;
        QCOMPARE(frames.size(), 3);

        auto *player = window->findChild<ClipPlayer *>();
        QVERIFY(player);
        qRegisterMetaType<ImageObject *>();
        QSignalSpy shown(player, &ClipPlayer::frameShown);
        window->pressMediaWidget(window->clipModel()->index(0, 0));
        window->onBtnPlayClick();
        QVERIFY(window->isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(shown.count() >= 4, 5000);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(shown.at(i).first().value<QObject *>(), frames.at(i % 3));

        // Replacing the playlists destroys the clip: the playback stops first.
        window->readBack()->start(PlayMediaHandler::PreviewReadCode, file, QStringLiteral("…"));
        QVERIFY(!window->isPlaying());
        QVERIFY(!player->clip());
        QCOMPARE(window->clipModel()->itemCount(), 1);
    }

    void readBackPlaylistDownloadsToTheSameFile()
    {
        for (const char *name : {"a.png", "b.png"})
            window->addPictureFile(writePicture(tempDir->path(), QLatin1String(name), 80, 60));
        window->pictureModel()->itemsAs<ImageObject>().last()->displayTime = 31.7;
        window->clipModel()->addItem(clipItem(3, 7, 1));
        const QString written = path(QStringLiteral("first.bin"));
        const QString again = path(QStringLiteral("again.bin"));
        {
            ModalWatcher outcome;
            window->startDownload(written);
        }
        {
            ModalWatcher any;
            window->readBack()->start(PlayMediaHandler::PreviewReadCode, written,
                                      QStringLiteral("…"));
        }
        QCOMPARE(window->pictureModel()->itemCount(), 2);
        QCOMPARE(window->clipModel()->itemCount(), 1);
        {
            ModalWatcher outcome;
            window->startDownload(again);
        }
        const QByteArray before = fileBytes(written);
        QVERIFY(before.size() > 4096);
        QCOMPARE(fileBytes(again), before);
    }

    void geometryFieldsStayInRange_data()
    {
        QTest::addColumn<bool>("leds");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected"); // -1: unchanged
        QTest::addColumn<bool>("cleared");  // the shown value removed before typing
        QTest::newRow("LEDs empty refused") << true << "" << -1 << true;
        QTest::newRow("LEDs 0") << true << "0" << -1 << true;
        QTest::newRow("LEDs 501") << true << "501" << -1 << true;
        QTest::newRow("LEDs 999") << true << "999" << -1 << true;
        QTest::newRow("LEDs 500") << true << "500" << 500 << true;
        QTest::newRow("LEDs 1") << true << "1" << 1 << true;
        // Typing at once replaces the value shown, as the user expects of a field to change.
        QTest::newRow("LEDs typed over the shown value") << true << "64" << 64 << false;
        QTest::newRow("lines empty refused") << false << "" << -1 << true;
        QTest::newRow("lines 0") << false << "0" << -1 << true;
        QTest::newRow("lines 601") << false << "601" << -1 << true;
        QTest::newRow("lines 999") << false << "999" << -1 << true;
        QTest::newRow("lines 600") << false << "600" << 600 << true;
        QTest::newRow("lines typed over the shown value") << false << "2" << 2 << false;
    }

    void geometryFieldsStayInRange()
    {
        QFETCH(bool, leds);
        QFETCH(QString, typed);
        QFETCH(int, expected);
        QFETCH(bool, cleared);
        std::atomic<int> &number = leds ? ledCount : lineNumber;
        const int before = number;
        addPictures(2);
        bool stayedOpen = false;
        // The lists are cleared rather than converted.
        ModalWatcher watcher(QMessageBox::Discard, [&](QWidget *modal) {
            auto *dialog = qobject_cast<GeometryNumberDialog *>(modal);
            if (!dialog)
                return;
            if (cleared)
                dialog->field()->clear();
            QTest::keyClicks(dialog->field(), typed);
            dialog->findChild<QPushButton *>(QStringLiteral("btnOk"))->click();
            stayedOpen = dialog->isVisible();
            if (stayedOpen)
                dialog->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        });
        if (leds)
            window->onBtnLedCount();
        else
            window->onBtnLineNumber();
        QCOMPARE(number.load(), expected < 0 ? before : expected);
        QCOMPARE(stayedOpen, expected < 0);
        QVERIFY(number >= 1 && number <= (leds ? kMaxLedCount : kMaxLineNumber));
        // A change empties the playlists after the confirmation ("The LED count will be changed.").
        QCOMPARE(window->pictureModel()->itemCount(), expected < 0 ? 2 : 0);
        // A refusal states the allowed range; a change states the new value.
        QCOMPARE(watcher.boxes.size(), 1);
        if (expected < 0)
            QVERIFY2(watcher.boxes[0].text.contains(QString::number(leds ? 500 : 600)),
                     qPrintable(watcher.boxes[0].text));
    }

    void geometryChangeDeclinedKeepsEverything()
    {
        const QList<ImageObject *> before = addPictures(2);
        ModalWatcher answerer(QMessageBox::Cancel, [](QWidget *modal) {
            if (auto *dialog = qobject_cast<GeometryNumberDialog *>(modal)) {
                dialog->field()->setText(QStringLiteral("64"));
                dialog->accept();
            }
        });
        window->onBtnLedCount();
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes.first().text, QStringLiteral("The LED count will be changed."));
        QCOMPARE(ledCount.load(), kDefaultLedCount);
        QCOMPARE(window->pictureModel()->itemsAs<ImageObject>(), before);
    }

    void contrastScalesColoursNotAlpha_data()
    {
        QTest::addColumn<float>("factor");
        QTest::addColumn<QRgb>("in");
        QTest::addColumn<QRgb>("out");
        QTest::newRow("1.0 keeps the colours") << 1.0f << qRgb(10, 128, 255) << qRgb(10, 128, 255);
        QTest::newRow("0.5 rounds ties to even, alpha stays") << 0.5f << qRgb(5, 7, 200)
                                                                << qRgb(2, 4, 100);
        QTest::newRow("2.0 saturates at 255") << 2.0f << qRgb(127, 128, 1) << qRgb(254, 255, 2);
        QTest::newRow("0 is black, opaque") << 0.0f << qRgb(90, 90, 90) << qRgb(0, 0, 0);
        QTest::newRow("translucent alpha kept") << 0.5f << qRgba(100, 50, 20, 77)
                                                  << qRgba(50, 25, 10, 77);
    }

    void contrastScalesColoursNotAlpha()
    {
        QFETCH(float, factor);
        QFETCH(QRgb, in);
        QFETCH(QRgb, out);
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(in);
        const QImage scaled = ImageContrast::scaled(picture, factor);
        QCOMPARE(scaled.format(), QImage::Format_ARGB32);
        QCOMPARE(scaled.pixel(2, 1), out);
    }

    void contrastTenGivesTheFreshConversion_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("10") << 10;
        QTest::newRow("5") << 5;
        QTest::newRow("15") << 15;
    }

    void contrastTenGivesTheFreshConversion()
    {
        QFETCH(int, value);
        window->addPictureFile(writePicture(tempDir->path(), QStringLiteral("p.jpg"), 120, 90));
        ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().first();
        const QByteArray fresh = item->readLedData();
        QVERIFY(!fresh.isEmpty());
        QSignalSpy applied(window->contrastJobs(), &ContrastJobs::applied);
        window->contrastJobs()->post(item, value, QImage(item->sourcePath));
        QVERIFY(window->playlistInUse());
        QTRY_COMPARE(applied.count(), 1);
        QVERIFY(!window->playlistInUse());
        QCOMPARE(item->contrastFactor, value / 10.0f);
        QCOMPARE(item->readLedData() == fresh, value == 10);
        // The thumbnail stays opaque however dark the picture gets.
        const QImage thumbnail = item->loadThumbnail();
        QVERIFY(!thumbnail.isNull());
        QCOMPARE(qAlpha(thumbnail.pixel(30, 30)), 255);
    }

    void contrastBurstAppliesOnceWithTheLastValue()
    {
        window->addPictureFile(writePicture(tempDir->path(), QStringLiteral("p.png"), 100, 100));
        ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().first();
        auto blocker = std::make_unique<BlockingHandler>(HandlerThread::shared());
        blocker->sendCode(1);
        // Every application replies once; counted on this thread.
        int replies = 0;
        QObject counter;
        connect(window->handler(), &PlayMediaHandler::contrastFinished, &counter,
                [&replies] { ++replies; }, Qt::QueuedConnection);
        QSignalSpy applied(window->contrastJobs(), &ContrastJobs::applied);
        {
            UpdateImageContract dialog(window->contrastJobs(), item, window.get());
            QCOMPARE(dialog.slider()->value(), 10);
            for (int value : {11, 14, 3, 27, 19, 6})
                dialog.slider()->setValue(value);
        }
        // The picture is in use until its change is applied: it cannot be deleted.
        auto *view = window->findChild<QTableView *>(QStringLiteral("tableView"));
        view->selectRow(0);
        {
            ModalWatcher refusal;
            window->onBtnDelImage();
            QCOMPARE(refusal.boxes.size(), 1);
        }
        QCOMPARE(window->pictureModel()->itemCount(), 1);
        blocker->gate.release();
        QTRY_COMPARE(applied.count(), 1);
        QCOMPARE(replies, 1);
        QCOMPARE(item->contrastFactor, 0.6f);
        blocker.reset();
        // Reopened, the slider stands at the last value applied.
        UpdateImageContract again(window->contrastJobs(), item, window.get());
        QCOMPARE(again.slider()->value(), 6);
    }

    void contrastClosingRightAfterAMoveStillApplies()
    {
        window->addPictureFile(writePicture(tempDir->path(), QStringLiteral("p.png"), 64, 64));
        ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().first();
        auto *dialog = new UpdateImageContract(window->contrastJobs(), item, window.get());
        dialog->slider()->setValue(15);
        delete dialog;
        QTRY_COMPARE(item->contrastFactor, 1.5f);
        QTRY_VERIFY(!window->playlistInUse());
    }

    void contrastDialogEnd_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("kept");
        QTest::newRow("ok") << "ok" << true;
        QTest::newRow("cancel") << "cancel" << false;
        QTest::newRow("escape") << "escape" << false;
        QTest::newRow("window closed") << "close" << false;
    }

    void contrastDialogEnd()
    {
        QFETCH(QString, end);
        QFETCH(bool, kept);
        window->addPictureFile(writePicture(tempDir->path(), QStringLiteral("p.png"), 64, 64));
        ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().first();
        const QByteArray fresh = item->readLedData();
        QVERIFY(!fresh.isEmpty());
        UpdateImageContract dialog(window->contrastJobs(), item, window.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.slider()->setFocus();
        QTest::keyClick(dialog.slider(), Qt::Key_Home);
        QCOMPARE(dialog.slider()->value(), 0);
        // The black picture is applied before the dialog ends, as the user sees it.
        QTRY_COMPARE(item->contrastFactor, 0.0f);
        QTRY_VERIFY(!window->playlistInUse());
        if (end == QLatin1String("ok"))
            dialog.findChild<QPushButton *>(QStringLiteral("btnOk"))->click();
        else if (end == QLatin1String("cancel"))
            dialog.findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        else if (end == QLatin1String("escape"))
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), kept ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QTRY_COMPARE(item->contrastFactor, kept ? 0.0f : 1.0f);
        QTRY_VERIFY(!window->playlistInUse());
        QCOMPARE(item->readLedData() == fresh, !kept);
        UpdateImageContract again(window->contrastJobs(), item, window.get());
        QCOMPARE(again.slider()->value(), kept ? 0 : 10);
    }
};

QTEST_MAIN(TestReadBackWindow)
#include "test_read_back_window.moc"
