// Playing the whole playlist in the window: what is lit at each moment of the show, the
// position bar, the show's length in the status bar, and every way the show ends.
#include "MainWindowTestSupport.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/main/MainWindow.h"
#include "ui/main/RoundPreviewWidget.h"
#include "ui/playlist/MediaObjectWidget.h"
#include "ui/main/ShowPlayer.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <memory>

class TestShowPlayer : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;
    // Pictures of 0.2 s and 5 s, then a clip of three frames played twice: 5.8 s.
    QList<ImageObject *> shown;

    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

    ImageObject *item(int number, double seconds, int kind)
    {
        auto *item = new ImageObject(number, QString(), seconds, kind);
        QImage preview(450, 450, QImage::Format_ARGB32);
        preview.fill(QColor(40 * number, 255 - 40 * number, kind * 40));
        item->saveSamplingPreview(preview);
        return item;
    }

    void fillPlaylist()
    {
        ImageObject *first = item(1, 0.2, ImageObject::KindPictureFile);
        ImageObject *second = item(2, 5.0, ImageObject::KindPictureFile);
        window->pictureModel()->addItems(QList<ImageObject *>{first, second});
        auto *clip = new MediaObject(1, QString());
        clip->loopCount = 2;
        for (int k = 1; k <= 3; ++k)
            clip->frames << item(k, 10.0, ImageObject::KindVideoFrame);
        window->clipModel()->addItem(clip);
        shown = QList<ImageObject *>{first, second} + clip->frames;
    }

    ShowPlayer *player() const { return window->showPlayer(); }

    void play()
    {
        child<QAction>("actionPlayShow")->trigger();
    }

private slots:
    void init()
    {
        QVERIFY(openFreshWindow(tempDir, window));
        fillPlaylist();
    }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void showsEveryRecordInFileOrder_data()
    {
        QTest::addColumn<qint64>("at");
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("position");

        QTest::newRow("start: first picture") << qint64(0) << 0 << "0:00.0 / 0:05.8";
        QTest::newRow("end of the 0.2 s picture") << qint64(199) << 0 << "0:00.1 / 0:05.8";
        QTest::newRow("second picture") << qint64(200) << 1 << "0:00.2 / 0:05.8";
        QTest::newRow("second picture, last moment") << qint64(5199) << 1 << "0:05.1 / 0:05.8";
        QTest::newRow("clip frame 1") << qint64(5200) << 2 << "0:05.2 / 0:05.8";
        QTest::newRow("clip frame 3") << qint64(5450) << 4 << "0:05.4 / 0:05.8";
        QTest::newRow("second loop, frame 1") << qint64(5500) << 2 << "0:05.5 / 0:05.8";
        QTest::newRow("last moment") << qint64(5799) << 4 << "0:05.7 / 0:05.8";
    }

    void showsEveryRecordInFileOrder()
    {
        QFETCH(qint64, at);
        QFETCH(int, record);
        QFETCH(QString, position);
        QSignalSpy frames(player(), &ShowPlayer::frameShown);
        play();
        QVERIFY(player()->isPlaying());
        player()->showAt(at);
        QVERIFY(!frames.isEmpty());
        QCOMPARE(frames.last().at(0).value<ImageObject *>(), shown[record]);
        // What the preview area shows is the round preview of that record.
        const QImage background = child<RoundPreviewWidget>("previewWidget")->picture();
        QCOMPARE(background.pixel(225, 225), shown[record]->loadSamplingPreview().pixel(225, 225));
        auto *bar = child<QProgressBar>("showPositionBar");
        QVERIFY(bar->isVisibleTo(window.get()));
        QCOMPARE(bar->maximum(), 5800);
        QCOMPARE(bar->value(), int(at));
        QCOMPARE(bar->format(), position);
        QVERIFY(child<QPushButton>("btnStop")->isVisibleTo(window.get()));
        QVERIFY(!child<QPushButton>("btnPlay")->isVisibleTo(window.get()));
    }

    void showEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("shownAfter"); // record the preview shows afterwards, -1 unchecked
        // The second picture is selected when the show starts with the first.
        QTest::newRow("Stop button") << "stop" << 1;
        QTest::newRow("F5 again") << "f5" << 1;
        QTest::newRow("Esc") << "escape" << 1;
        QTest::newRow("selecting a picture") << "picture" << 1;
        QTest::newRow("selecting a clip") << "clip" << 2;
        QTest::newRow("the show's end") << "end" << 1;
        QTest::newRow("a row removed") << "remove" << 1;
        QTest::newRow("the list reordered") << "reorder" << 1;
        QTest::newRow("the playlists cleared") << "clear" << -1;
    }

    void showEnds()
    {
        QFETCH(QString, how);
        QFETCH(int, shownAfter);
        window->pressImageWidget(window->pictureModel()->index(1, 0));
        play();
        QVERIFY(player()->isPlaying());
        QSignalSpy stopped(player(), &ShowPlayer::stopped);
        if (how == QLatin1String("stop"))
            child<QPushButton>("btnStop")->click();
        else if (how == QLatin1String("f5"))
            play();
        else if (how == QLatin1String("escape")) {
            // A shortcut needs the window on screen and active.
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QTest::keyClick(window.get(), Qt::Key_Escape);
        }
        else if (how == QLatin1String("picture"))
            window->pressImageWidget(window->pictureModel()->index(1, 0));
        else if (how == QLatin1String("clip"))
            window->pressMediaWidget(window->clipModel()->index(0, 0));
        else if (how == QLatin1String("end"))
            player()->showAt(5800);
        else if (how == QLatin1String("remove"))
            window->pictureModel()->delRow(0, 1);
        else if (how == QLatin1String("reorder"))
            window->pictureModel()->setItems(
                QList<ImageObject *>{shown[1], shown[0]});
        else
            window->clearPlaylists();
        QCOMPARE(stopped.size(), 1);
        QVERIFY(!player()->isPlaying());
        QVERIFY(!window->isPlaying());
        QVERIFY(!child<QProgressBar>("showPositionBar")->isVisibleTo(window.get()));
        QVERIFY(!child<QPushButton>("btnStop")->isVisibleTo(window.get()));
        // Play is offered only for a selected clip.
        QCOMPARE(child<QPushButton>("btnPlay")->isVisibleTo(window.get()),
                 how == QLatin1String("clip"));
        // Nothing the show held is shown any more after its items may be gone.
        QVERIFY(player()->shownItems().isEmpty());
        player()->showAt(300);
        QVERIFY(!player()->isPlaying());
        if (shownAfter >= 0) {
            const QImage background = child<RoundPreviewWidget>("previewWidget")->picture();
            QCOMPARE(background.pixel(225, 225),
                     shown[shownAfter]->loadSamplingPreview().pixel(225, 225));
        }
    }

    void statusBarTellsTheLength_data()
    {
        QTest::addColumn<double>("secondTime");
        QTest::addColumn<int>("loops");
        QTest::addColumn<QString>("text");
        QTest::newRow("as filled") << 5.0 << 2 << "Show length: 0:05.8";
        QTest::newRow("longer picture, stored as time x repeat") << 100.0 << 2
                                                                << "Show length: 1:40.8";
        QTest::newRow("clip looped 255 times") << 5.0 << 255 << "Show length: 1:21.7";
    }

    void statusBarTellsTheLength()
    {
        QFETCH(double, secondTime);
        QFETCH(int, loops);
        QFETCH(QString, text);
        // The playlist as filled, every event of the window's start handled.
        QTRY_COMPARE(child<QLabel>("showLengthLabel")->text(), QStringLiteral("Show length: 0:05.8"));
        QCoreApplication::sendPostedEvents();
        // Typed into the row editors, which change the items without telling the models.
        auto *pictures = child<QTableView>("tableView");
        const QModelIndex second = window->pictureModel()->index(1, 0);
        pictures->openPersistentEditor(second);
        auto *timeEditor = qobject_cast<ImageObjectWidget *>(pictures->indexWidget(second));
        QVERIFY(timeEditor);
        timeEditor->timeField()->setText(QString::number(secondTime));
        auto *clips = child<QTableView>("tableViewMedia");
        const QModelIndex clip = window->clipModel()->index(0, 0);
        clips->openPersistentEditor(clip);
        auto *loopEditor = qobject_cast<MediaObjectWidget *>(clips->indexWidget(clip));
        QVERIFY(loopEditor);
        loopEditor->loopField()->setText(QString::number(loops));
        QCOMPARE(shown[1]->displayTime, secondTime);
        QTRY_COMPARE(child<QLabel>("showLengthLabel")->text(), text);
    }

    void noFormatWarningBeforeTheFirstLanguage()
    {
        // The window is built before a catalogue is loaded, as at every start.
        closeFreshWindow(tempDir, window);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QString::arg")));
        QVERIFY(openFreshWindow(tempDir, window));
        fillPlaylist();
        QCOMPARE(child<QLabel>("showLengthLabel")->text(), QStringLiteral("Show length: 0:05.8"));
    }

    void emptyPlaylistDoesNotPlay()
    {
        window->clearPlaylists();
        play();
        QVERIFY(!player()->isPlaying());
        QVERIFY(!child<QProgressBar>("showPositionBar")->isVisibleTo(window.get()));
        QTRY_COMPARE(child<QLabel>("showLengthLabel")->text(), QStringLiteral("Show length: 0:00.0"));
    }
};

QTEST_MAIN(TestShowPlayer)
#include "test_show_player.moc"
