#include "MainWindowTestSupport.h"

#include "loop/HandlerThread.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/main/ContrastJobs.h"
#include "ui/main/MainWindow.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/playlist/MediaObjectWidget.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>

// Every playlist edit undone and redone through the window's Edit menu restores the exact
// lists: the same items, in the same rows, with the same numbers, times and loop counts.
class TestPlaylistHistory : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    struct Row
    {
        QObject *item;
        int number;
        double value;
        float contrast;
        bool operator==(const Row &o) const
        {
            return item == o.item && number == o.number && value == o.value
                   && contrast == o.contrast;
        }
    };
    using State = QList<Row>;

    State state() const
    {
        State rows;
        for (ImageObject *p : window->pictureModel()->itemsAs<ImageObject>())
            rows << Row{p, p->number, p->displayTime, p->contrastFactor};
        for (MediaObject *c : window->clipModel()->itemsAs<MediaObject>())
            rows << Row{c, c->number, double(c->loopCount), 0.0f};
        return rows;
    }

    QTableView *view(bool clips) const
    {
        return window->findChild<QTableView *>(clips ? "tableViewMedia" : "tableView");
    }

    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }

    void fill()
    {
        for (int i = 1; i <= 4; ++i) {
            const QString file = writePicture(tempDir->path(), QStringLiteral("p%1.png").arg(i),
                                              40, 30);
            auto *picture = new ImageObject(i, file, 5.0, ImageObject::KindPictureFile);
            window->pictureModel()->addItem(picture);
            auto *clip = new MediaObject(i, QString());
            clip->loopCount = 3;
            window->clipModel()->addItem(clip);
        }
    }

    void selectRow(bool clips, int row)
    {
        QTableView *v = view(clips);
        v->selectionModel()->setCurrentIndex(v->model()->index(row, 0),
                                             QItemSelectionModel::ClearAndSelect
                                                 | QItemSelectionModel::Rows);
    }

    // One click of a row's + or -: held until its one step is made, then let go.
    void stepRow(bool clips, int row, bool plus)
    {
        auto *editor = qobject_cast<RowEditorWidget *>(
            view(clips)->indexWidget(view(clips)->model()->index(row, 0)));
        QVERIFY(editor);
        const State before = state();
        QPushButton *button = plus ? editor->plusButton() : editor->minusButton();
        QTest::mousePress(button, Qt::LeftButton);
        QTRY_VERIFY(state() != before);
        QTest::mouseRelease(button, Qt::LeftButton);
    }

    void typeRow(bool clips, int row, const QString &text)
    {
        QWidget *editor = view(clips)->indexWidget(view(clips)->model()->index(row, 0));
        QLineEdit *field = clips ? qobject_cast<MediaObjectWidget *>(editor)->loopField()
                                 : qobject_cast<ImageObjectWidget *>(editor)->timeField();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

private slots:
    void init()
    {
        QVERIFY(openFreshWindow(tempDir, window));
        window->show();
    }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void everyEditIsUndoneAndRedoneExactly_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("clips");
        QTest::newRow("delete picture") << "delete" << false;
        QTest::newRow("delete clip") << "delete" << true;
        QTest::newRow("reorder pictures") << "reorder" << false;
        QTest::newRow("reorder clips") << "reorder" << true;
        QTest::newRow("picture time") << "plus" << false;
        QTest::newRow("picture time down") << "minus" << false;
        QTest::newRow("clip loop count") << "plus" << true;
        QTest::newRow("picture contrast") << "contrast" << false;
    }

    void everyEditIsUndoneAndRedoneExactly()
    {
        QFETCH(QString, edit);
        QFETCH(bool, clips);
        fill();
        const State before = state();
        if (edit == "delete") {
            selectRow(clips, 1);
            clips ? window->onBtnDelMedia() : window->onBtnDelImage();
        } else if (edit == "reorder") {
            QObject *item = CustomTableModel::itemOf(view(clips)->model()->index(0, 0));
            if (clips)
                window->onMediaIndexChanged(static_cast<MediaObject *>(item), 1, 3);
            else
                window->onImageIndexChanged(static_cast<ImageObject *>(item), 1, 3);
        } else if (edit == "contrast") {
            auto *item = window->pictureModel()->itemsAs<ImageObject>().at(2);
            window->contrastJobs()->post(item, 15, QImage(item->sourcePath));
            QTRY_COMPARE(item->contrastFactor, 1.5f);
        } else {
            stepRow(clips, 2, edit == "plus");
        }
        const State after = state();
        QVERIFY(after != before);
        QVERIFY(action("actionUndo")->isEnabled());

        // A contrast is converted anew on the loop thread; the rest at once.
        action("actionUndo")->trigger();
        QTRY_COMPARE(state(), before);
        QVERIFY(action("actionRedo")->isEnabled());
        QTRY_VERIFY(!window->playlistInUse());
        action("actionRedo")->trigger();
        QTRY_COMPARE(state(), after);
        QTRY_VERIFY(!window->playlistInUse());
        action("actionUndo")->trigger();
        QTRY_COMPARE(state(), before);
        QVERIFY(!action("actionUndo")->isEnabled());
        // The editors show the restored values.
        if (!clips && edit != "delete") {
            auto *editor = qobject_cast<ImageObjectWidget *>(
                view(false)->indexWidget(window->pictureModel()->index(2, 0)));
            QCOMPARE(editor->timeField()->text(), QStringLiteral("5"));
        }
    }

    void aDeletedItemLivesUntilItsDeletionCannotBeUndone_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("still undoable") << "none" << false;
        QTest::newRow("history cleared") << "clear" << true;
        QTest::newRow("beyond the undo limit") << "limit" << true;
        QTest::newRow("undone, then another edit") << "undo-edit" << false;
        QTest::newRow("lists emptied") << "empty" << true;
    }

    void aDeletedItemLivesUntilItsDeletionCannotBeUndone()
    {
        QFETCH(QString, end);
        QFETCH(bool, destroyed);
        QUndoStack *history = window->playlist()->history();
        if (end == "limit")
            history->setUndoLimit(1);
        fill();
        QPointer<QObject> gone = window->pictureModel()->itemAt(1);
        selectRow(false, 1);
        window->onBtnDelImage();
        QVERIFY(gone);
        QVERIFY(!window->pictureModel()->itemList().contains(gone.data()));
        if (end == "clear") {
            history->clear();
        } else if (end == "limit") {
            selectRow(false, 0);
            window->onBtnDelImage();
        } else if (end == "undo-edit") {
            action("actionUndo")->trigger();
            selectRow(false, 3);
            window->onBtnDelImage();
        } else if (end == "empty") {
            window->clearPlaylists();
        }
        QCOMPARE(gone.isNull(), destroyed);
        if (end == "undo-edit")
            QCOMPARE(window->pictureModel()->itemAt(1), gone.data());
    }

    void quickChangesOfOneRowAreOneStep_data()
    {
        QTest::addColumn<bool>("clips");
        // Space-separated changes: "+R" / "-R" clicks row R, "tR=V" types V into row R.
        QTest::addColumn<QString>("changes");
        QTest::addColumn<int>("steps");
        QTest::newRow("two clicks merge") << false << "+2 +2" << 1;
        QTest::newRow("two loop clicks merge") << true << "+2 +2" << 1;
        QTest::newRow("click then type") << false << "+2 t2=7" << 2;
        QTest::newRow("type then click") << true << "t2=9 +2" << 2;
        QTest::newRow("keystrokes of one value merge") << false << "t2=2.5" << 1;
        QTest::newRow("clicks on two rows") << false << "+1 +2" << 2;
    }

    void quickChangesOfOneRowAreOneStep()
    {
        QFETCH(bool, clips);
        QFETCH(QString, changes);
        QFETCH(int, steps);
        fill();
        QList<State> states{state()};
        for (const QString &change : changes.split(u' ')) {
            const int row = change.mid(1, 1).toInt();
            if (change.startsWith(u't'))
                typeRow(clips, row, change.mid(3));
            else
                stepRow(clips, row, change.startsWith(u'+'));
            if (QTest::currentTestFailed())
                return;
            states << state();
        }
        QVERIFY(states.last() != states.first());
        QCOMPARE(window->playlist()->history()->count(), steps);
        // Each undo goes back past one whole series: the first to the value before the
        // series' first change.
        QList<State> expected{states.first()};
        if (steps == 2)
            expected.prepend(states.at(states.size() - 2));
        for (const State &back : std::as_const(expected)) {
            QVERIFY(action("actionUndo")->isEnabled());
            action("actionUndo")->trigger();
            QCOMPARE(state(), back);
        }
        QVERIFY(!action("actionUndo")->isEnabled());
        action("actionRedo")->trigger();
        if (steps == 1)
            QCOMPARE(state(), states.last());
    }

    void undoIsRefusedWhileTheItemsAreInUse()
    {
        fill();
        selectRow(false, 1);
        window->onBtnDelImage();
        const State deleted = state();
        auto blocker = std::make_unique<BlockingHandler>(HandlerThread::shared());
        blocker->sendCode(1);
        window->contrastJobs()->post(window->pictureModel()->itemsAs<ImageObject>().first(), 12,
                                     QImage());
        QVERIFY(window->playlistInUse());
        ModalWatcher watcher;
        action("actionUndo")->trigger();
        QCOMPARE(state(), deleted);
        QCOMPARE(watcher.boxes.size(), 1);
        blocker->gate.release();
        QTRY_VERIFY(!window->playlistInUse());
        action("actionUndo")->trigger();
        QCOMPARE(state().size(), deleted.size() + 1);
    }
};

QTEST_MAIN(TestPlaylistHistory)
#include "test_playlist_history.moc"
