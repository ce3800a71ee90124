#include "MainWindowTestSupport.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/main/MainWindow.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/playlist/MediaObjectWidget.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolBox>
#include <QtTest>

// The real window, shown offscreen, driven by clicks and keys on its list rows: what is shown
// selected is what Del removes, once, and a row's controls act on the first click.
class TestPlaylistSelection : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;
    QTableView *view = nullptr;
    CustomTableModel *model = nullptr;
    QPushButton *del = nullptr;

    ImageObject *makePicture(int number, int kind = ImageObject::KindPictureFile)
    {
        auto *item = new ImageObject(number, QString(), 5.0, kind);
        QImage preview(450, 450, QImage::Format_ARGB32);
        preview.fill(QColor(number, 20, 30));
        item->saveSamplingPreview(preview);
        return item;
    }

    // Twelve rows, so that the list scrolls; each item remembers its first number.
    void fill(bool clips)
    {
        window->findChild<QToolBox *>("toolBox")->setCurrentIndex(clips ? 1 : 0);
        view = window->findChild<QTableView *>(clips ? "tableViewMedia" : "tableView");
        model = clips ? window->clipModel() : window->pictureModel();
        del = window->findChild<QPushButton *>(clips ? "btnDelMedia" : "btnDelImage");
        for (int i = 1; i <= 12; ++i) {
            QObject *item = nullptr;
            if (clips) {
                auto *clip = new MediaObject(i, QString());
                clip->loopCount = 5;
                clip->frames << makePicture(i, ImageObject::KindGifFrame);
                item = clip;
            } else {
                item = makePicture(i);
            }
            item->setProperty("first", i);
            model->addItem(item);
        }
    }

    QList<int> firstNumbers() const
    {
        QList<int> numbers;
        for (int row = 0; row < model->itemCount(); ++row)
            numbers << CustomTableModel::itemOf(model->index(row, 0))->property("first").toInt();
        return numbers;
    }

    RowEditorWidget *editorOf(int row) const
    {
        const QModelIndex index = model->index(row, 0);
        view->scrollTo(index);
        return qobject_cast<RowEditorWidget *>(view->indexWidget(index));
    }

    // A click where the user sees the row: on its thumbnail, inside the row's editor.
    void clickRow(int row)
    {
        RowEditorWidget *editor = editorOf(row);
        QVERIFY(editor);
        QTest::mouseClick(editor->thumbnailLabel(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    }

    int selectedRow() const
    {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }

private slots:
    void init()
    {
        QVERIFY(openFreshWindow(tempDir, window));
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void delRemovesExactlyTheRowShownSelected_data()
    {
        QTest::addColumn<bool>("clips");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("removed");
        // Steps: "cN" clicks row N, "d" clicks Del, "k" presses Delete in the row's field or
        // combo box, "K" presses Delete wherever the focus is, "oN" chooses position N in the
        // selected row's combo box, "u" undoes the last edit.
        QTest::newRow("scrolled clip, editor open") << true << "c10 d" << QList<int>{11};
        QTest::newRow("clip, Del, another row, Del") << true << "c10 d c5 d" << QList<int>{11, 6};
        QTest::newRow("picture, Del twice") << false << "c10 d d" << QList<int>{11};
        QTest::newRow("picture, Del, another row, Del") << false << "c10 d c0 d"
                                                        << QList<int>{11, 1};
        QTest::newRow("picture after reorder") << false << "c2 o6 d" << QList<int>{3};
        QTest::newRow("Delete key after reorder") << false << "c2 o6 K" << QList<int>{3};
        QTest::newRow("picture, Del, undo") << false << "c4 d u" << QList<int>{};
        QTest::newRow("Delete key in the combo box") << false << "c4 k" << QList<int>{5};
        QTest::newRow("Delete key on the clip's + button") << true << "c7 k" << QList<int>{8};
        QTest::newRow("nothing selected") << false << "d" << QList<int>{};
    }

    void delRemovesExactlyTheRowShownSelected()
    {
        QFETCH(bool, clips);
        QFETCH(QString, steps);
        QFETCH(QList<int>, removed);
        fill(clips);
        for (const QString &step : steps.split(' ')) {
            const int arg = step.mid(1).toInt();
            if (step.startsWith('c')) {
                clickRow(arg);
                QCOMPARE(selectedRow(), arg);
                QVERIFY(del->isEnabled());
            } else if (step == "d") {
                QTest::mouseClick(del, Qt::LeftButton);
                // Nothing looks selected afterwards, and Del agrees.
                QCOMPARE(selectedRow(), -1);
                QVERIFY(!del->isEnabled());
            } else if (step == "k") {
                RowEditorWidget *editor = editorOf(selectedRow());
                QWidget *field = clips ? static_cast<QWidget *>(editor->plusButton())
                                       : qobject_cast<ImageObjectWidget *>(editor)->orderBox();
                field->setFocus();
                QTRY_VERIFY(field->hasFocus());
                QTest::keyClick(field, Qt::Key_Delete);
                QCOMPARE(selectedRow(), -1);
            } else if (step == "u") {
                window->findChild<QAction *>("actionUndo")->trigger();
            } else if (step == "K") {
                QWidget *focus = QApplication::focusWidget();
                QVERIFY(focus);
                QTest::keyClick(focus, Qt::Key_Delete);
                QCOMPARE(selectedRow(), -1);
            } else if (step.startsWith('o')) {
                const int before = selectedRow();
                auto *editor = qobject_cast<ImageObjectWidget *>(editorOf(before));
                // Chosen as the user does: in the focused combo box, which the move takes away.
                editor->orderBox()->setFocus();
                QTRY_VERIFY(editor->orderBox()->hasFocus());
                editor->orderBox()->setCurrentIndex(arg - 1);
                // The moved item stays the selected one, and Del and Edit say so.
                QCOMPARE(selectedRow(), arg - 1);
                QVERIFY(del->isEnabled());
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QList<int> expected;
        for (int i = 1; i <= 12; ++i) {
            if (!removed.contains(i))
                expected << i;
        }
        QList<int> remaining = firstNumbers();
        std::sort(remaining.begin(), remaining.end());
        QCOMPARE(remaining, expected);
        // Every remaining row carries its editor, renumbered, a picture's order box too.
        for (int row = 0; row < model->itemCount(); ++row) {
            QVERIFY(view->isPersistentEditorOpen(model->index(row, 0)));
            if (auto *editor = qobject_cast<ImageObjectWidget *>(editorOf(row)))
                QCOMPARE(editor->orderBox()->currentIndex(), row);
        }
    }

    void firstClickOnARowControlActs_data()
    {
        QTest::addColumn<bool>("clips");
        QTest::addColumn<bool>("plus");
        QTest::newRow("picture +") << false << true;
        QTest::newRow("picture -") << false << false;
        QTest::newRow("clip +") << true << true;
        QTest::newRow("clip -") << true << false;
    }

    void firstClickOnARowControlActs()
    {
        QFETCH(bool, clips);
        QFETCH(bool, plus);
        fill(clips);
        RowEditorWidget *editor = editorOf(3);
        QObject *item = CustomTableModel::itemOf(model->index(3, 0));
        const auto value = [&] {
            return clips ? double(static_cast<MediaObject *>(item)->loopCount)
                         : static_cast<ImageObject *>(item)->displayTime;
        };
        const double before = value();
        QPushButton *button = plus ? editor->plusButton() : editor->minusButton();
        QTest::mousePress(button, Qt::LeftButton);
        QTRY_VERIFY(value() != before);
        QTest::mouseRelease(button, Qt::LeftButton);
        QCOMPARE(value() > before, plus);
        // The same click chose the row.
        QCOMPARE(selectedRow(), 3);
        QVERIFY(del->isEnabled());
    }

    void firstClickOnTheComboBoxOpensIt()
    {
        fill(false);
        auto *editor = qobject_cast<ImageObjectWidget *>(editorOf(5));
        QTest::mouseClick(editor->orderBox(), Qt::LeftButton);
        QTRY_VERIFY(editor->orderBox()->view()->isVisible());
        QCOMPARE(selectedRow(), 5);
        editor->orderBox()->hidePopup();
    }
};

QTEST_MAIN(TestPlaylistSelection)
#include "test_playlist_selection.moc"
