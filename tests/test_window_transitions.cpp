// Transitions in the window: chosen on the row before, made for the pair they stand between,
// made again when a neighbour changes or moves (and back after an undo), played and counted
// by the show, and downloaded as the command line builds the same show.
#include "CliRun.h"
#include "GifFixtures.h"
#include "MainWindowTestSupport.h"

#include "effect/EffectFormat.h"
#include "effect/EffectPlaylist.h"
#include "effect/ShowTimeline.h"
#include "import/CutRegion.h"
#include "import/GifCut.h"
#include "import/GifCutEnd.h"
#include "import/GifCutThread.h"
#include "import/VideoClipCutter.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/MotionClipMaker.h"
#include "motion/TransitionEnds.h"
#include "motion/TransitionLinks.h"
#include "motion/TextClipDescription.h"
#include "motion/TransitionRenderer.h"
#include "ui/main/ContrastJobs.h"
#include "ui/main/ShowPlayer.h"
#include "ui/main/ShowSession.h"
#include "ui/main/TransitionControls.h"
#include "ui/motion/TextClipDialog.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAction>
#include <QMenu>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

class TestWindowTransitions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    TransitionLinks *links() const { return window->transitionLinks(); }
    QList<ImageObject *> pictures() const
    {
        return window->pictureModel()->itemsAs<ImageObject>();
    }
    QList<MediaObject *> clips() const { return window->clipModel()->itemsAs<MediaObject>(); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }

    // Picture i (1-based) of a size of its own, so every square differs.
    QString picturePath(int i) const
    {
        return tempDir->filePath(QStringLiteral("p%1.png").arg(i));
    }
    void addPictures(int count)
    {
        for (int i = 1; i <= count; ++i) {
            writePicture(tempDir->path(), QStringLiteral("p%1.png").arg(i), 200 + 60 * i,
                         330 - 50 * i);
            window->addPictureFile(picturePath(i));
        }
    }
    // A GIF clip as the window's GIF import makes it with the region left where it is put.
    QString addGif()
    {
        const QString path = tempDir->filePath(QStringLiteral("g.gif"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            !file.write(GifFixtures::encode(GifFixtures::stripedFrames(4, 120, 90))))
            return {};
        file.close();
        GifCut cut;
        cut.path = path;
        cut.shownSize = QSize(120, 90);
        cut.topLeft = CutRegion::centredTopLeft(cut.shownSize);
        cut.maxFrames = EffectFormat::kMaxClipFrames;
        GifCutEnd end;
        VideoClipCutter cutter(GifCutThread::factory(cut, &end), cut.writeFiles);
        if (!cutter.runToEnd())
            return {};
        auto *clip = new MediaObject(1, path);
        clip->isGif = true;
        clip->frames = cutter.takeFrames();
        window->playlist()->addClip(clip);
        return path;
    }

    // Picks kind and length in the menu of the row before, as a user does.
    void choose(QObject *before, const QString &kind, const QString &length)
    {
        std::unique_ptr<QMenu> menu(window->transitionButtons()->menuFor(before, nullptr));
        for (QAction *action : menu->actions()) {
            if (action->text() == kind)
                action->trigger();
            if (QMenu *sub = action->menu()) {
                for (QAction *inner : sub->actions()) {
                    if (inner->text() == length)
                        inner->trigger();
                }
            }
        }
    }

    // The LED data of every frame of the transition made after before, in order.
    QByteArray madeBytes(const QObject *before) const
    {
        QByteArray bytes;
        if (MediaObject *made = links()->madeClip(before)) {
            for (ImageObject *frame : made->frames)
                bytes += frame->readLedData();
        }
        return bytes;
    }

    // The same made apart from the window: end pictures of the two items as they are now.
    static QByteArray expectedBytes(const ImageObject &before, const ImageObject &after,
                                    const TransitionDescription &wanted)
    {
        QImage first, last;
        if (!TransitionEnds::ofItem(before, &first) || !TransitionEnds::ofItem(after, &last))
            return {};
        std::shared_ptr<TransitionRenderer> renderer;
        if (!TransitionRenderer::prepare(wanted, first, last, &renderer))
            return {};
        MotionClipMaker::Options options;
        options.writeFiles = false;
        MotionClipMaker maker(renderer, options);
        if (!maker.runToEnd())
            return {};
        std::unique_ptr<MediaObject> clip(maker.takeClip(0));
        QByteArray bytes;
        for (ImageObject *frame : clip ? clip->frames : QList<ImageObject *>())
            bytes += frame->readLedData();
        return bytes;
    }

    bool settled() const { return links()->isSettled(); }

    QByteArray download(const QString &name)
    {
        ModalWatcher watcher;
        const QString path = tempDir->filePath(name);
        window->startDownload(path);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QVERIFY(openFreshWindow(tempDir, window));
        window->show();
    }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void downloadEqualsTheCommandLine_data()
    {
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("argument");
        QTest::newRow("picture, fade, picture") << "picture" << "Cross-fade" << "0.5 s" << "fade:0.5";
        QTest::newRow("picture, clock, GIF clip") << "gif" << "Clock wipe" << "0.5 s" << "clock:0.5";
        QTest::newRow("picture, spin-in 1 s, picture") << "picture" << "Spin-in" << "1 s" << "spin:1";
        // A text clip keeps no frame pictures: its first frame is drawn again.
        QTest::newRow("picture, fade, ring text") << "text" << "Cross-fade" << "0.5 s" << "fade:0.5";
    }

    void downloadEqualsTheCommandLine()
    {
        QFETCH(QString, after);
        QFETCH(QString, kind);
        QFETCH(QString, length);
        QFETCH(QString, argument);
        addPictures(after == QLatin1String("picture") ? 2 : 1);
        QStringList second{picturePath(2)};
        if (after == QLatin1String("gif")) {
            second = QStringList{addGif()};
        } else if (after == QLatin1String("text")) {
            TextClipDescription wanted;
            wanted.text = QStringLiteral("SALE");
            wanted.motion = TextClipDescription::Motion::RingCounterClockwise;
            wanted.seconds = 1.0;
            TextClipDialog dialog;
            dialog.setDescription(wanted);
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            window->playlist()->addClip(dialog.takeClip(1));
            second = QStringList{QStringLiteral("--text"), wanted.text, QStringLiteral("--motion"),
                                 QStringLiteral("ring"), QStringLiteral("--seconds"),
                                 QStringLiteral("1")};
        }
        QVERIFY(!second.constFirst().isEmpty());
        ImageObject *before = pictures().first();
        choose(before, kind, length);
        QVERIFY(links()->find(before));
        QTRY_VERIFY(settled() && links()->madeClip(before));

        const QByteArray window = download(QStringLiteral("window.bin"));
        const QString out = tempDir->filePath(QStringLiteral("cli.bin"));
        const CliRun run = CliRun::of(QStringList{QStringLiteral("build"), QStringLiteral("-o"),
                                                  out, picturePath(1),
                                                  QStringLiteral("--transition"), argument} +
                                      second);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QFile cli(out);
        QVERIFY(cli.open(QIODevice::ReadOnly));
        const QByteArray expected = cli.readAll();
        QVERIFY(expected.size() > EffectFormat::kHeaderSize);
        QCOMPARE(window.size(), expected.size());
        QVERIFY(window == expected);
    }

    // What happens to the transition after p1 (of p1 p2 p3) when the show changes, and after
    // the change is undone. expected names the pair it stands between then ("" for none).
    void remadeWhenANeighbourChangesOrMoves_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("contrast of the picture before") << "contrast 1" << "12";
        QTest::newRow("contrast of the picture after") << "contrast 2" << "12";
        QTest::newRow("the one after moves away") << "move 2 to 3" << "13";
        QTest::newRow("another comes after it") << "move 3 to 2" << "13";
        QTest::newRow("it moves to the end") << "move 1 to 3" << "";
        QTest::newRow("the one after is deleted") << "delete 2" << "13";
        QTest::newRow("it is deleted") << "delete 1" << "";
    }

    void remadeWhenANeighbourChangesOrMoves()
    {
        QFETCH(QString, edit);
        QFETCH(QString, expected);
        addPictures(3);
        const QList<ImageObject *> items = pictures();
        ImageObject *before = items[0];
        choose(before, QStringLiteral("Cross-fade"), QStringLiteral("0.5 s"));
        QTRY_VERIFY(settled() && links()->madeClip(before));
        const TransitionDescription wanted = *links()->find(before);
        const QByteArray original = madeBytes(before);
        QCOMPARE(original, expectedBytes(*items[0], *items[1], wanted));
        const qint64 originalMs = window->showPlayer()->currentTimeline().totalMs();

        const QStringList words = edit.split(u' ');
        const int item = words[1].toInt() - 1;
        if (words[0] == QLatin1String("contrast")) {
            window->contrastJobs()->post(items[item], 15, QImage(items[item]->sourcePath));
            QTRY_COMPARE(items[item]->contrastFactor, 1.5f);
        } else if (words[0] == QLatin1String("move")) {
            window->onImageIndexChanged(items[item], item + 1, words[3].toInt());
        } else {
            auto *view = window->findChild<QTableView *>(QStringLiteral("tableView"));
            view->selectionModel()->setCurrentIndex(
                view->model()->index(item, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            window->onBtnDelImage();
        }
        QTRY_VERIFY(settled() && !window->playlistInUse());
        // Kept with its item whatever happened, so an undo finds it.
        QVERIFY(links()->find(before));
        if (expected.isEmpty()) {
            QVERIFY(!links()->madeClip(before));
            QCOMPARE(window->showPlayer()->currentTimeline().totalMs(),
                     ShowTimeline::fromPlaylist(EffectPlaylist::capture(pictures(), clips()))
                         .totalMs());
        } else {
            QTRY_VERIFY(links()->madeClip(before));
            const QByteArray now = madeBytes(before);
            const QByteArray apart = expectedBytes(*items[expected[0].digitValue() - 1],
                                                   *items[expected[1].digitValue() - 1], wanted);
            QVERIFY(!apart.isEmpty());
            QVERIFY(now == apart);
            QVERIFY(now != original);
        }

        action("actionUndo")->trigger();
        QTRY_VERIFY(!window->playlistInUse());
        QTRY_VERIFY(pictures() == items && items[item]->contrastFactor == 1.0f);
        QTRY_VERIFY(settled() && links()->madeClip(before));
        QVERIFY(madeBytes(before) == original);
        QCOMPARE(window->showPlayer()->currentTimeline().totalMs(), originalMs);
    }

    // Setting, changing and taking away the transition after p1 (of p1 p2) is one step of the
    // edit history each: undone, the links hold the transition before the change and the
    // download writes the bytes it wrote then; redone, those after it.
    void transitionChoicesAreUndone_data()
    {
        QTest::addColumn<QString>("start");   // kind chosen first, as an earlier edit
        QTest::addColumn<QString>("change");  // kind chosen then; "" takes it away
        QTest::addColumn<bool>("deleteRow");  // p1 deleted after the change
        QTest::newRow("none to fade") << "" << "Cross-fade" << false;
        QTest::newRow("fade to another kind") << "Cross-fade" << "Clock wipe" << false;
        QTest::newRow("fade to none") << "Cross-fade" << "" << false;
        QTest::newRow("changed, then its row deleted") << "Cross-fade" << "Spin-in" << true;
    }

    void transitionChoicesAreUndone()
    {
        QFETCH(QString, start);
        QFETCH(QString, change);
        QFETCH(bool, deleteRow);
        addPictures(2);
        const QList<ImageObject *> items = pictures();
        ImageObject *before = items.first();
        const auto pick = [&](const QString &kind) {
            if (kind.isEmpty()) {
                std::unique_ptr<QMenu> menu(window->transitionButtons()->menuFor(before, nullptr));
                menu->actions().first()->trigger();
            } else {
                choose(before, kind, QString());
            }
        };
        if (!start.isEmpty())
            pick(start);
        QTRY_VERIFY(settled());
        const std::optional<TransitionDescription> was = links()->find(before);
        const QByteArray bytesBefore = download(QStringLiteral("before.bin"));
        QVERIFY(!bytesBefore.isEmpty());
        // Saved, so that the window's modified mark tells whether the show differs.
        ShowSession *session = window->showSession();
        session->prompts.chooseSave = [this] { return tempDir->filePath(QStringLiteral("s")); };
        QVERIFY(session->saveAndWait());
        QVERIFY(!window->isWindowModified());

        QUndoStack *history = window->playlist()->history();
        const int steps = history->count();
        pick(change);
        QCOMPARE(history->count(), steps + 1);
        const std::optional<TransitionDescription> now = links()->find(before);
        QCOMPARE(now.has_value(), !change.isEmpty());
        QVERIFY(now != was);
        QVERIFY(window->isWindowModified());
        QTRY_VERIFY(settled());
        const QByteArray bytesChanged = download(QStringLiteral("changed.bin"));
        QVERIFY(bytesChanged != bytesBefore);
        if (deleteRow) {
            auto *view = window->findChild<QTableView *>(QStringLiteral("tableView"));
            view->selectionModel()->setCurrentIndex(
                view->model()->index(0, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            window->onBtnDelImage();
            QCOMPARE(pictures().size(), 1);
        }

        const int undos = deleteRow ? 2 : 1;
        for (int i = 0; i < undos; ++i)
            action("actionUndo")->trigger();
        QCOMPARE(pictures(), items);
        QCOMPARE(links()->find(before), was);
        QVERIFY(!window->isWindowModified());
        QTRY_VERIFY(settled());
        QCOMPARE(links()->madeClip(before) != nullptr, was.has_value());
        QVERIFY(download(QStringLiteral("undone.bin")) == bytesBefore);

        action("actionRedo")->trigger();
        QCOMPARE(links()->find(before), now);
        QTRY_VERIFY(settled());
        QVERIFY(download(QStringLiteral("redone.bin")) == bytesChanged);
    }

    // The show length and Play show take the transition's frames between their pair.
    void theShowPlaysAndCountsTransitions_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<int>("frames");
        QTest::newRow("none") << QString() << 0;
        QTest::newRow("0.2 s") << "0.2 s" << 2;
        QTest::newRow("1.5 s") << "1.5 s" << 15;
        QTest::newRow("3 s") << "3 s" << 30;
    }

    void theShowPlaysAndCountsTransitions()
    {
        QFETCH(QString, length);
        QFETCH(int, frames);
        addPictures(2);
        ImageObject *first = pictures().first();
        if (!length.isEmpty()) {
            choose(first, QStringLiteral("Iris out"), length);
            QTRY_VERIFY(settled() && links()->madeClip(first));
        }
        ShowPlayer *player = window->showPlayer();
        QCOMPARE(player->currentTimeline().totalMs(), 10000 + frames * 100);
        QVERIFY(player->play());
        QList<ImageObject *> expected{first};
        if (MediaObject *made = links()->madeClip(first))
            expected += made->frames;
        expected << pictures().last();
        QCOMPARE(player->shownItems(), expected);
        player->stop();

        // Taken away, nothing of it plays.
        std::unique_ptr<QMenu> menu(window->transitionButtons()->menuFor(first, nullptr));
        menu->actions().first()->trigger();
        QVERIFY(!links()->find(first));
        QCOMPARE(player->currentTimeline().totalMs(), 10000);
    }

    // Every item with an item after it in the show has its button, whose menu sets the
    // transition; the last has none.
    void buttonsStandBetweenNeighbours_data()
    {
        QTest::addColumn<int>("pictureCount");
        QTest::addColumn<int>("clipCount");
        QTest::addColumn<int>("place");
        QTest::addColumn<bool>("hasButton");
        QTest::newRow("picture before a picture") << 2 << 0 << 0 << true;
        QTest::newRow("last picture before the first clip") << 1 << 1 << 0 << true;
        QTest::newRow("clip before a clip") << 0 << 2 << 0 << true;
        QTest::newRow("the last clip") << 2 << 1 << 2 << false;
        QTest::newRow("the only picture") << 1 << 0 << 0 << false;
    }

    void buttonsStandBetweenNeighbours()
    {
        QFETCH(int, pictureCount);
        QFETCH(int, clipCount);
        QFETCH(int, place);
        QFETCH(bool, hasButton);
        addPictures(pictureCount);
        for (int i = 0; i < clipCount; ++i)
            window->playlist()->addClip(new MediaObject(i + 1, QString()));
        QList<QObject *> sequence;
        for (ImageObject *item : pictures())
            sequence << item;
        for (MediaObject *clip : clips())
            sequence << clip;
        QObject *item = sequence[place];
        QToolButton *button = window->transitionButtons()->buttonOf(item);
        QCOMPARE(button != nullptr, hasButton);
        if (!button)
            return;
        QMenu *menu = button->menu();
        QVERIFY(menu);
        emit menu->aboutToShow();
        QAction *clock = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text() == QLatin1String("Clock wipe"))
                clock = action;
        }
        QVERIFY(clock);
        clock->trigger();
        QCOMPARE(links()->find(item)->kind, TransitionDescription::Kind::ClockWipe);
        // Opened again, the menu shows the choice.
        emit menu->aboutToShow();
        bool checked = false;
        for (QAction *action : menu->actions())
            checked = checked || (action->text() == QLatin1String("Clock wipe") && action->isChecked());
        QVERIFY(checked);
    }

    // A transition being made when its item goes, or the window closes, leaves nothing behind.
    void itemsGoingWhileMakingLeaveNothing_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("lists emptied") << "clear";
        QTest::newRow("window closed") << "close";
    }

    void itemsGoingWhileMakingLeaveNothing()
    {
        QFETCH(QString, end);
        addPictures(2);
        QPointer<ImageObject> first = pictures().first();
        choose(first, QStringLiteral("Cross-fade"), QStringLiteral("3 s"));
        QVERIFY(!settled());
        if (end == QLatin1String("clear")) {
            window->clearPlaylists();
            QVERIFY(!first);
            QVERIFY(!links()->find(first.data()));
            QTRY_VERIFY(settled());
            QCOMPARE(window->showPlayer()->currentTimeline().totalMs(), 0);
        } else {
            window.reset();
        }
        // Only the work directory's own files remain: no frame of the transition.
        QTRY_VERIFY(QDir(workDirectory())
                        .entryList({QStringLiteral("*_2.png")}, QDir::Files)
                        .isEmpty());
    }
};

QTEST_MAIN(TestWindowTransitions)
#include "test_window_transitions.moc"
