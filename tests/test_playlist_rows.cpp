#include "TestEnvironment.h"
#include "PlaylistFixtures.h"

#include "app/AppGlobals.h"
#include "loop/HandlerMessage.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/playlist/ListImageItemDelegate.h"
#include "ui/playlist/ListMediaItemDelegate.h"
#include "ui/playlist/MediaObjectWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace PlaylistFixtures;

namespace {

// The English catalogue's entries for the row texts, so the tests see the placeholders.
class RowTextTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        const QByteArray key = QByteArray(context) + '/' + source;
        static const QHash<QByteArray, QString> texts{
            {"ImageObjectWidget/imgwidget_lbl_text2", QStringLiteral("%1 ")},
            {"ListImageItemDelegate/imgwidget_lbl_text2", QStringLiteral("%1 ")},
            {"MediaObjectWidget/videowidget_lbl_text", QStringLiteral("%n picture, show %1 s")},
            {"ListMediaItemDelegate/videowidget_lbl_text", QStringLiteral("%n picture, show %1 s")},
            {"MediaObjectWidget/videowidget_lbl_loopcount", QStringLiteral("Cycle times")},
        };
        return texts.value(key);
    }
    bool isEmpty() const override { return false; }
};

// Stands in for the main window's worker: echoes every message back to the GUI thread.
class EchoHandler : public HandlerMessage
{
    Q_OBJECT
public:
    using HandlerMessage::HandlerMessage;
    void handleMessage(Message *msg) override { emit echoed(msg->object, msg->code); }

signals:
    void echoed(QObject *object, int code);
};

// Stands in for the main window's side of press-and-hold: one step per echo, then the same
// code again 200 ms later.
class StepReceiver : public QObject
{
    Q_OBJECT
public:
    enum Mode { HonourResult, AlwaysResend, WidgetRepeats };

    StepReceiver(EchoHandler *handler, Mode mode) : handler(handler), mode(mode)
    {
        connect(handler, &EchoHandler::echoed, this, &StepReceiver::onEcho);
    }

    int steps = 0;
    int staleEchoes = 0;

public slots:
    void onEcho(QObject *object, int code)
    {
        const bool picture = code == 9 || code == 10;
        if (picture ? !ImageObjectWidget::isLive(object) : !MediaObjectWidget::isLive(object)) {
            ++staleEchoes;
            return;
        }
        ++steps;
        if (mode == WidgetRepeats) {
            if (picture)
                static_cast<ImageObjectWidget *>(object)->repeatStep(code);
            else
                static_cast<MediaObjectWidget *>(object)->repeatStep(code);
            return;
        }
        const bool again = picture ? static_cast<ImageObjectWidget *>(object)->applyStep(code)
                                   : static_cast<MediaObjectWidget *>(object)->applyStep(code);
        if (again || mode == AlwaysResend) {
            auto *next = new Message(handler, code);
            next->object = object;
            handler->sendHandlerMessageAfter(next, 200);
        }
    }

private:
    EchoHandler *handler;
    Mode mode;
};

// Receives the editors' order changes like the main window does (string-based slots).
class FakeMainWindow : public QObject
{
    Q_OBJECT
public:
    QList<std::tuple<QObject *, int, int>> moves;

public slots:
    void onImageIndexChanged(ImageObject *item, int oldIndex, int newIndex)
    {
        moves.append({item, oldIndex, newIndex});
    }
    void onMediaIndexChanged(MediaObject *item, int oldIndex, int newIndex)
    {
        moves.append({item, oldIndex, newIndex});
    }
};

QStyleOptionViewItem rowOption(const QRect &rect, bool selected)
{
    QStyleOptionViewItem option;
    option.rect = rect;
    option.palette = QApplication::palette();
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    if (selected)
        option.state |= QStyle::State_Selected;
    return option;
}

} // namespace

Q_DECLARE_METATYPE(StepReceiver::Mode)

class TestPlaylistRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pictureStep_data();
    void pictureStep();
    void loopStep_data();
    void loopStep();
    void stepIgnoresForeignCodesAndDeadItems();
    void stepReportsWhetherToRepeat();
    void holdRepeatsUntilRelease_data();
    void holdRepeatsUntilRelease();
    void clipHoldRepeatsUntilRelease();
    void quickClickStepsOnce_data();
    void quickClickStepsOnce();
    void lateEchoDoesNotRestartTheRepetition();
    void destroyedWhileHeldLeavesNoMessage();
    void rowDeletedWhileHeld();
    void liveRegistry();
    void orderBoxEmitsMove();
    void orderBoxPosition_data();
    void orderBoxPosition();
    void controlsFollowTheKind_data();
    void controlsFollowTheKind();
    void pictureRowLayout();
    void clipLabel_data();
    void clipLabel();
    void paintPictureRow_data();
    void paintPictureRow();
    void paintClipRow();
    void delegateCreatesEditors();
    void typedTextIsStoredOrRefused_data();
    void typedTextIsStoredOrRefused();
    void wheelMovesAPictureOnlyWhenTheUserFocusedItsOrderBox_data();
    void wheelMovesAPictureOnlyWhenTheUserFocusedItsOrderBox();

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    RowTextTranslator translator;
};

void TestPlaylistRows::initTestCase()
{
    QCoreApplication::installTranslator(&translator);
}

void TestPlaylistRows::init()
{
    QVERIFY(TestEnvironment::enterFreshDirectory(tempDir));
}

void TestPlaylistRows::cleanup()
{
    tempDir.reset();
}

void TestPlaylistRows::pictureStep_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("plus from 5") << 5.0 << 9 << QList<double>{5.2};
    QTest::newRow("plus across the ceiling") << 99.9 << 9 << QList<double>{100.1, 100.0, 100.0};
    QTest::newRow("minus across the floor") << 0.3 << 10 << QList<double>{0.1, 0.2, 0.2};
    QTest::newRow("minus from 5") << 5.0 << 10 << QList<double>{4.8, 4.6};
}

void TestPlaylistRows::pictureStep()
{
    QFETCH(double, start);
    QFETCH(int, code);
    QFETCH(QList<double>, expected);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, start));
    ImageObjectWidget widget(nullptr, item.get(), QModelIndex());
    for (double value : expected) {
        widget.applyStep(code);
        QVERIFY2(qAbs(item->displayTime - value) < 1e-9, qPrintable(QString::number(item->displayTime)));
        // The field shows the stored time, and the stored time is what the field reads.
        QCOMPARE(widget.timeField()->text(), QString::number(value, 'g', 6));
        QCOMPARE(widget.timeField()->text().toDouble(), item->displayTime);
    }
}

void TestPlaylistRows::loopStep_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expected");
    QTest::newRow("255 stays on plus") << 255 << 11 << 255;
    QTest::newRow("254 reaches 255") << 254 << 11 << 255;
    QTest::newRow("1 stays on minus") << 1 << 12 << 1;
    QTest::newRow("2 reaches 1") << 2 << 12 << 1;
    QTest::newRow("plus from 7") << 7 << 11 << 8;
    QTest::newRow("minus from 7") << 7 << 12 << 6;
    QTest::newRow("out of range above") << 300 << 11 << 255;
    QTest::newRow("out of range below") << 0 << 12 << 1;
}

void TestPlaylistRows::loopStep()
{
    QFETCH(int, start);
    QFETCH(int, code);
    QFETCH(int, expected);
    std::unique_ptr<MediaObject> clip(makeClip(tempDir->path(), 1, 2));
    clip->loopCount = start;
    MediaObjectWidget widget(nullptr, clip.get(), QModelIndex());
    widget.applyStep(code);
    QCOMPARE(clip->loopCount, expected);
    QCOMPARE(widget.loopField()->text(), QString::number(expected));
}

void TestPlaylistRows::stepIgnoresForeignCodesAndDeadItems()
{
    auto *picture = makePicture(tempDir->path(), 1, 5.0);
    auto *clip = makeClip(tempDir->path(), 1, 1);
    ImageObjectWidget pictureRow(nullptr, picture, QModelIndex());
    MediaObjectWidget clipRow(nullptr, clip, QModelIndex());
    QVERIFY(!pictureRow.applyStep(11));
    QVERIFY(!clipRow.applyStep(9));
    QCOMPARE(picture->displayTime, 5.0);
    QCOMPARE(clip->loopCount, 1);

    // The model destroys an item while its editor may still be open.
    delete picture;
    delete clip;
    emit pictureRow.plusButton()->pressed();
    emit clipRow.plusButton()->pressed();
    QVERIFY(!pictureRow.applyStep(9));
    QVERIFY(!clipRow.applyStep(11));
    QCOMPARE(pictureRow.imageItem(), nullptr);
    QCOMPARE(clipRow.mediaItem(), nullptr);
}

void TestPlaylistRows::stepReportsWhetherToRepeat()
{
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, 5.0));
    ImageObjectWidget widget(nullptr, item.get(), QModelIndex());
    QVERIFY(!widget.applyStep(9));  // no button held: a late echo still steps once
    QCOMPARE(widget.timeField()->text(), QStringLiteral("5.2"));
    emit widget.plusButton()->pressed();
    QCOMPARE(widget.heldButtonCode(), 9);
    QVERIFY(widget.applyStep(9));
    emit widget.plusButton()->released();
    QCOMPARE(widget.heldButtonCode(), 0);
    QVERIFY(!widget.applyStep(9));
    emit widget.minusButton()->pressed();
    QVERIFY(widget.applyStep(10));
    emit widget.minusButton()->released();
}

void TestPlaylistRows::holdRepeatsUntilRelease_data()
{
    QTest::addColumn<StepReceiver::Mode>("mode");
    QTest::newRow("caller honours applyStep") << StepReceiver::HonourResult;
    QTest::newRow("caller always resends") << StepReceiver::AlwaysResend;
    QTest::newRow("widget repeats itself") << StepReceiver::WidgetRepeats;
}

void TestPlaylistRows::holdRepeatsUntilRelease()
{
    QFETCH(StepReceiver::Mode, mode);
    HandlerThread loop;
    loop.start();
    EchoHandler handler(&loop);
    StepReceiver receiver(&handler, mode);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, 5.0));
    ImageObjectWidget widget(&handler, item.get(), QModelIndex());
    widget.resize(400, 60);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QTest::mousePress(widget.plusButton(), Qt::LeftButton);
    QTest::qWait(1000);
    QTest::mouseRelease(widget.plusButton(), Qt::LeftButton);
    const int held = receiver.steps;
    // One step at once, then one every 200 ms: about six in a second on an idle machine.
    QVERIFY2(held >= 3 && held <= 8, qPrintable(QString::number(held)));

    QTest::qWait(700);
    QVERIFY2(receiver.steps <= held + 1, qPrintable(QString::number(receiver.steps)));
    QCOMPARE(loop.pendingCount(), 0);
    QVERIFY(qAbs(item->displayTime - (5.0 + 0.2 * receiver.steps)) < 1e-6);
    QCOMPARE(widget.timeField()->text(), QString::number(item->displayTime, 'g', 6));
}

void TestPlaylistRows::clipHoldRepeatsUntilRelease()
{
    HandlerThread loop;
    loop.start();
    EchoHandler handler(&loop);
    StepReceiver receiver(&handler, StepReceiver::HonourResult);
    std::unique_ptr<MediaObject> clip(makeClip(tempDir->path(), 1, 3));
    clip->loopCount = 10;
    MediaObjectWidget widget(&handler, clip.get(), QModelIndex());
    widget.resize(400, 60);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QTest::mousePress(widget.minusButton(), Qt::LeftButton);
    QTest::qWait(1000);
    QTest::mouseRelease(widget.minusButton(), Qt::LeftButton);
    QTest::qWait(500);
    QVERIFY2(receiver.steps >= 3 && receiver.steps <= 9, qPrintable(QString::number(receiver.steps)));
    QCOMPARE(clip->loopCount, 10 - receiver.steps);
    QCOMPARE(widget.loopField()->text(), QString::number(clip->loopCount));
    QCOMPARE(loop.pendingCount(), 0);
}

void TestPlaylistRows::quickClickStepsOnce_data()
{
    QTest::addColumn<bool>("loopBusy");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("after");

    QTest::newRow("plus, the loop answering") << false << 9 << 5.2;
    QTest::newRow("plus, the loop busy") << true << 9 << 5.2;
    QTest::newRow("minus, the loop busy") << true << 10 << 4.8;
}

// A click is one step, also when it is released before the loop has taken its press.
void TestPlaylistRows::quickClickStepsOnce()
{
    QFETCH(bool, loopBusy);
    QFETCH(int, code);
    QFETCH(double, after);

    HandlerThread loop;
    // Busy: not even running until the click is over.
    if (!loopBusy)
        loop.start();
    EchoHandler handler(&loop);
    StepReceiver receiver(&handler, StepReceiver::WidgetRepeats);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, 5.0));
    ImageObjectWidget widget(&handler, item.get(), QModelIndex());
    widget.resize(400, 60);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QTest::mouseClick(code == 9 ? widget.plusButton() : widget.minusButton(), Qt::LeftButton);
    if (loopBusy)
        loop.start();
    // Whatever the click left on its way is delivered before the echo of a later message.
    QSignalSpy echoes(&handler, &EchoHandler::echoed);
    handler.sendCode(99);
    QTRY_VERIFY(std::any_of(echoes.cbegin(), echoes.cend(),
                            [](const QList<QVariant> &echo) { return echo.at(1).toInt() == 99; }));
    QCoreApplication::processEvents();
    QVERIFY2(qAbs(item->displayTime - after) < 1e-6, qPrintable(QString::number(item->displayTime)));
    QCOMPARE(widget.heldButtonCode(), 0);
    QCOMPARE(loop.pendingCount(), 0);
}

void TestPlaylistRows::lateEchoDoesNotRestartTheRepetition()
{
    HandlerThread loop;
    loop.start();
    EchoHandler handler(&loop);
    StepReceiver receiver(&handler, StepReceiver::AlwaysResend);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, 5.0));
    ImageObjectWidget widget(&handler, item.get(), QModelIndex());

    // An echo that reaches the window after the release (the button is no longer held) to
    // a caller that sends the code again without looking.
    receiver.onEcho(&widget, 9);
    QCOMPARE(receiver.steps, 1);
    QCOMPARE(loop.pendingCount(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(loop.pendingCount(), 0);
    QTest::qWait(500);
    QCOMPARE(receiver.steps, 1);
    QCOMPARE(widget.timeField()->text(), QStringLiteral("5.2"));
}

void TestPlaylistRows::destroyedWhileHeldLeavesNoMessage()
{
    HandlerThread loop;
    loop.start();
    EchoHandler handler(&loop);
    StepReceiver receiver(&handler, StepReceiver::HonourResult);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, 5.0));
    auto *widget = new ImageObjectWidget(&handler, item.get(), QModelIndex());

    emit widget->plusButton()->pressed();
    QTRY_VERIFY(receiver.steps >= 2);
    QTRY_COMPARE(loop.pendingCount(), 1);  // the next repeat waits in the queue
    delete widget;
    QCOMPARE(loop.pendingCount(), 0);
    const int steps = receiver.steps;
    const double time = item->displayTime;
    QTest::qWait(500);
    QCOMPARE(receiver.steps, steps);
    QCOMPARE(item->displayTime, time);
    QCOMPARE(loop.pendingCount(), 0);
}

void TestPlaylistRows::rowDeletedWhileHeld()
{
    HandlerThread loop;
    loop.start();
    EchoHandler handler(&loop);
    StepReceiver receiver(&handler, StepReceiver::AlwaysResend);
    CustomTableModel model({}, 1, -1);
    model.addItems(QList<ImageObject *>{makePicture(tempDir->path(), 1),
                                        makePicture(tempDir->path(), 2)});
    FakeMainWindow window;
    ListImageItemDelegate delegate(&handler, &window);
    QTableView view;
    view.setModel(&model);
    view.setItemDelegate(&delegate);
    view.openPersistentEditor(model.index(1, 0));
    QPointer<ImageObjectWidget> editor =
        qobject_cast<ImageObjectWidget *>(view.indexWidget(model.index(1, 0)));
    QVERIFY(editor);

    emit editor->plusButton()->pressed();
    QTRY_VERIFY(receiver.steps >= 2);
    model.delRow(1, 1);  // the editor closes; its item is gone at once
    QTRY_VERIFY(editor.isNull());
    // Its pending repeat went with it, rather than waiting to come back as a stale echo.
    QCOMPARE(loop.pendingCount(), 0);
    QTest::qWait(400);
    QCOMPARE(loop.pendingCount(), 0);
    QVERIFY(receiver.staleEchoes <= 1);  // at most the echo already on its way
}

void TestPlaylistRows::liveRegistry()
{
    std::unique_ptr<ImageObject> picture(makePicture(tempDir->path(), 1));
    std::unique_ptr<MediaObject> clip(makeClip(tempDir->path(), 1, 1));
    auto *pictureRow = new ImageObjectWidget(nullptr, picture.get(), QModelIndex());
    auto *clipRow = new MediaObjectWidget(nullptr, clip.get(), QModelIndex());
    QVERIFY(ImageObjectWidget::isLive(pictureRow));
    QVERIFY(MediaObjectWidget::isLive(clipRow));
    QVERIFY(!ImageObjectWidget::isLive(clipRow));
    QVERIFY(!MediaObjectWidget::isLive(pictureRow));
    QVERIFY(!ImageObjectWidget::isLive(nullptr));
    QVERIFY(!ImageObjectWidget::isLive(this));
    const QObject *pictureAddress = pictureRow;
    const QObject *clipAddress = clipRow;
    delete pictureRow;
    delete clipRow;
    QVERIFY(!ImageObjectWidget::isLive(pictureAddress));
    QVERIFY(!MediaObjectWidget::isLive(clipAddress));
}

void TestPlaylistRows::orderBoxEmitsMove()
{
    CustomTableModel model({}, 1, -1);
    auto *item = makePicture(tempDir->path(), 1);
    model.addItem(item);
    FakeMainWindow window;
    ListImageItemDelegate delegate(nullptr, &window);
    QWidget parent;
    std::unique_ptr<QWidget> editor(
        delegate.createEditor(&parent, QStyleOptionViewItem(), model.index(0, 0)));
    auto *row = qobject_cast<ImageObjectWidget *>(editor.get());
    QVERIFY(row);
    QSignalSpy spy(row, &ImageObjectWidget::imageIndexChanged);

    row->orderBox()->setCurrentIndex(2);

    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().at(0).value<ImageObject *>(), item);
    QCOMPARE(spy.first().at(1).toInt(), 1);
    QCOMPARE(spy.first().at(2).toInt(), 3);
    QCOMPARE(window.moves.size(), 1);
    QCOMPARE(window.moves.first(), std::make_tuple(static_cast<QObject *>(item), 1, 3));
}

void TestPlaylistRows::orderBoxPosition_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("current");
    QTest::newRow("first") << 1 << 0;
    QTest::newRow("fiftieth") << 50 << 49;
    QTest::newRow("51 has no entry") << 51 << -1;
    QTest::newRow("0 has no entry") << 0 << -1;
}

void TestPlaylistRows::orderBoxPosition()
{
    QFETCH(int, number);
    QFETCH(int, current);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), number));
    ImageObjectWidget widget(nullptr, item.get(), QModelIndex());
    QSignalSpy spy(&widget, &ImageObjectWidget::imageIndexChanged);
    QCOMPARE(widget.orderBox()->count(), ImageObjectWidget::OrderEntries);
    QCOMPARE(widget.orderBox()->currentIndex(), current);
    QCOMPARE(widget.orderBox()->itemText(0), QStringLiteral("1 "));
    QCOMPARE(widget.orderBox()->itemText(49), QStringLiteral("50 "));
    QCOMPARE(spy.size(), 0);  // building the box announces no move
}

void TestPlaylistRows::controlsFollowTheKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("timeControls");
    QTest::newRow("picture file") << 0 << true;
    QTest::newRow("video frame") << 1 << false;
    QTest::newRow("DIY drawing") << 2 << true;
    QTest::newRow("GIF frame") << 3 << false;
    QTest::newRow("read picture") << 4 << true;
    QTest::newRow("read clip frame") << 5 << false;
}

void TestPlaylistRows::controlsFollowTheKind()
{
    QFETCH(int, kind);
    QFETCH(bool, timeControls);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, 5.0, kind));
    ImageObjectWidget widget(nullptr, item.get(), QModelIndex());
    QCOMPARE(widget.orderBox() != nullptr, timeControls);
    QCOMPARE(widget.timeField() != nullptr, timeControls);
    QCOMPARE(widget.plusButton()->isVisibleTo(&widget), timeControls);
    QCOMPARE(widget.minusButton()->isVisibleTo(&widget), timeControls);
}

void TestPlaylistRows::pictureRowLayout()
{
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1));
    ImageObjectWidget widget(nullptr, item.get(), QModelIndex());
    QCOMPARE(widget.thumbnailLabel()->geometry(), QRect(0, 0, 60, 60));
    // The thumbnail is 60 high: the 25-high controls sit at (60 - 25) / 2, side by side.
    const QRect box = widget.orderBox()->geometry();
    QCOMPARE(box, QRect(60, 17, 100, 25));
    const QRect field = widget.timeField()->geometry();
    QCOMPARE(field.left(), box.right() + 1 + 35);
    QCOMPARE(field.width(),
             widget.timeField()->fontMetrics().horizontalAdvance(QStringLiteral("8")) + 40);
    const QRect plus = widget.plusButton()->geometry();
    QCOMPARE(plus, QRect(field.right() + 1 + 25, 17, 20, 25));
    QCOMPARE(widget.minusButton()->geometry(), plus.translated(20, 0));
}

void TestPlaylistRows::clipLabel_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("text");
    // One pass at the display's 100 ms a frame, to a tenth of a second.
    QTest::newRow("7 frames") << 7 << QStringLiteral("7 picture, show 0.7 s");
    QTest::newRow("25 frames") << 25 << QStringLiteral("25 picture, show 2.5 s");
    QTest::newRow("46 frames") << 46 << QStringLiteral("46 picture, show 4.6 s");
    QTest::newRow("1 frame") << 1 << QStringLiteral("1 picture, show 0.1 s");
    QTest::newRow("1000 frames") << 1000 << QStringLiteral("1000 picture, show 100.0 s");
    QTest::newRow("no frames") << 0 << QStringLiteral("0 picture, show 0.0 s");
}

void TestPlaylistRows::clipLabel()
{
    QFETCH(int, frames);
    QFETCH(QString, text);
    std::unique_ptr<MediaObject> clip(makeClip(tempDir->path(), 1, frames));
    MediaObjectWidget widget(nullptr, clip.get(), QModelIndex());
    QCOMPARE(widget.textLabel()->text(), text);
    const int x = frames > 0 ? 60 : 0;
    QCOMPARE(widget.textLabel()->pos(), QPoint(x, 10));
    QCOMPARE(widget.loopLabel()->pos(), QPoint(x, 30));
    QCOMPARE(widget.loopField()->pos(), QPoint(x + widget.loopLabel()->width(), 30));
    QCOMPARE(widget.plusButton()->geometry(),
             QRect(widget.loopField()->geometry().right() + 1, 30, 20, 25));
    QCOMPARE(widget.minusButton()->pos(), widget.plusButton()->pos() + QPoint(20, 0));
}

void TestPlaylistRows::paintPictureRow_data()
{
    QTest::addColumn<bool>("selected");
    QTest::newRow("plain") << false;
    QTest::newRow("selected") << true;
}

void TestPlaylistRows::paintPictureRow()
{
    QFETCH(bool, selected);
    CustomTableModel model({}, 1, -1);
    model.addItems(QList<ImageObject *>{makePicture(tempDir->path(), 1, 5.0, 0, Qt::blue),
                                        makePicture(tempDir->path(), 2, 7.5, 0, Qt::red)});
    ListImageItemDelegate delegate(nullptr, nullptr);
    QImage canvas(400, 120, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setPen(Qt::green);
        delegate.paint(&painter, rowOption(QRect(0, 60, 400, 60), selected), model.index(1, 0));
        QCOMPARE(painter.pen().color(), QColor(Qt::green));  // the painter is left as found
    }
    // The second row's red thumbnail fills its 60 x 60 corner; the first row is untouched.
    QCOMPARE(canvas.pixelColor(30, 90), QColor(Qt::red));
    QCOMPARE(canvas.pixelColor(5, 65), QColor(Qt::red));
    QCOMPARE(canvas.pixelColor(30, 30), QColor(Qt::white));
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(canvas.pixelColor(395, 62), selected ? highlight : QColor(Qt::white));
    // Something is drawn right of the thumbnail (the controls).
    bool drawn = false;
    for (int x = 61; x < 300 && !drawn; ++x)
        drawn = canvas.pixelColor(x, 90) != canvas.pixelColor(395, 62);
    QVERIFY(drawn);
}

void TestPlaylistRows::paintClipRow()
{
    CustomTableModel model({}, 1, -1);
    model.addItems(QList<MediaObject *>{makeClip(tempDir->path(), 1, 3, Qt::green),
                                        makeClip(tempDir->path(), 2, 0)});
    ListMediaItemDelegate delegate(nullptr, nullptr);
    QImage canvas(400, 120, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        delegate.paint(&painter, rowOption(QRect(0, 0, 400, 60), false), model.index(0, 0));
        delegate.paint(&painter, rowOption(QRect(0, 60, 400, 60), false), model.index(1, 0));
        // Indexes without an entry draw nothing and do not fail.
        delegate.paint(&painter, rowOption(QRect(0, 60, 400, 60), false), QModelIndex());
    }
    QCOMPARE(canvas.pixelColor(30, 30), QColor(Qt::green));
    // The clip without frames has no thumbnail: its text starts at the left edge.
    QCOMPARE(canvas.pixelColor(58, 62), QColor(Qt::white));
}

void TestPlaylistRows::delegateCreatesEditors()
{
    CustomTableModel pictures({}, 1, -1);
    CustomTableModel clips({}, 1, -1);
    pictures.addItem(makePicture(tempDir->path(), 1));
    clips.addItem(makeClip(tempDir->path(), 1, 2));
    FakeMainWindow window;
    ListImageItemDelegate pictureDelegate(nullptr, &window);
    ListMediaItemDelegate clipDelegate(nullptr, &window);
    QWidget parent;

    std::unique_ptr<QWidget> pictureEditor(
        pictureDelegate.createEditor(&parent, QStyleOptionViewItem(), pictures.index(0, 0)));
    QVERIFY(qobject_cast<ImageObjectWidget *>(pictureEditor.get()));
    QCOMPARE(pictureEditor->parentWidget(), &parent);
    std::unique_ptr<QWidget> clipEditor(
        clipDelegate.createEditor(&parent, QStyleOptionViewItem(), clips.index(0, 0)));
    auto *clipRow = qobject_cast<MediaObjectWidget *>(clipEditor.get());
    QVERIFY(clipRow);
    clipRow->onCurrentIndexChanged(4);
    QCOMPARE(window.moves.size(), 1);
    QCOMPARE(window.moves.first(), std::make_tuple(static_cast<QObject *>(clips.itemAt(0)), 1, 5));

    // A picture row asked of the clip delegate (wrong list) gets no editor.
    QCOMPARE(clipDelegate.createEditor(&parent, QStyleOptionViewItem(), pictures.index(0, 0)),
             nullptr);
}

void TestPlaylistRows::typedTextIsStoredOrRefused_data()
{
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");  // what the validator let into the field
    QTest::addColumn<double>("stored");
    QTest::addColumn<bool>("acceptable");
    QTest::addColumn<double>("afterPlus");
    // Pictures start at 5 s, clips at 3 loops.
    QTest::newRow("time 2.5") << true << "2.5" << "2.5" << 2.5 << true << 2.7;
    QTest::newRow("time 2,5") << true << "2,5" << "2,5" << 2.5 << true << 2.7;
    QTest::newRow("time 0.2") << true << "0.2" << "0.2" << 0.2 << true << 0.4;
    QTest::newRow("time 100") << true << "100" << "100" << 100.0 << true << 100.0;
    QTest::newRow("time 150") << true << "150" << "150" << 5.0 << false << 5.2;
    QTest::newRow("time 0") << true << "0" << "0" << 5.0 << false << 5.2;
    QTest::newRow("time 0.1") << true << "0.1" << "0.1" << 5.0 << false << 5.2;
    QTest::newRow("time 1000") << true << "1000" << "100" << 100.0 << true << 100.0;
    QTest::newRow("time letters") << true << "abc" << "" << 5.0 << false << 5.2;
    QTest::newRow("loops 42") << false << "42" << "42" << 42.0 << true << 43.0;
    QTest::newRow("loops 255") << false << "255" << "255" << 255.0 << true << 255.0;
    QTest::newRow("loops 300") << false << "300" << "300" << 3.0 << false << 4.0;
    QTest::newRow("loops 0") << false << "0" << "0" << 3.0 << false << 4.0;
    QTest::newRow("loops 2.5") << false << "2.5" << "25" << 25.0 << true << 26.0;
}

void TestPlaylistRows::typedTextIsStoredOrRefused()
{
    QFETCH(bool, picture);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, stored);
    QFETCH(bool, acceptable);
    QFETCH(double, afterPlus);
    std::unique_ptr<ImageObject> item(makePicture(tempDir->path(), 1, 5.0));
    std::unique_ptr<MediaObject> clip(makeClip(tempDir->path(), 1, 1));
    clip->loopCount = 3;
    std::unique_ptr<RowEditorWidget> row;
    QLineEdit *field = nullptr;
    if (picture) {
        auto *editor = new ImageObjectWidget(nullptr, item.get(), QModelIndex());
        field = editor->timeField();
        row.reset(editor);
    } else {
        auto *editor = new MediaObjectWidget(nullptr, clip.get(), QModelIndex());
        field = editor->loopField();
        row.reset(editor);
    }
    const auto value = [&] { return picture ? item->displayTime : double(clip->loopCount); };
    // The show length is recounted on every valueChanged: each must name a value the row can
    // hold, the last one the value finally stored.
    QList<double> announced;
    connect(row.get(), &RowEditorWidget::valueChanged, this, [&] { announced << value(); });
    field->clear();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    QCOMPARE(value(), stored);
    QCOMPARE(field->hasAcceptableInput(), acceptable);
    QCOMPARE(field->property("invalid").toBool(), !acceptable);
    for (double v : std::as_const(announced))
        QVERIFY2(picture ? v >= 0.2 && v <= 100.0 : v >= 1 && v <= 255, qPrintable(QString::number(v)));
    QCOMPARE(announced.isEmpty() ? (picture ? 5.0 : 3.0) : announced.last(), stored);
    // Return brings nothing into range behind the user's back.
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), shown);
    QCOMPARE(value(), stored);
    row->applyStep(picture ? ImageObjectWidget::CodeTimeAdd : MediaObjectWidget::CodeLoopAdd);
    QVERIFY(qAbs(value() - afterPlus) < 1e-9);
    QCOMPARE(field->property("invalid").toBool(), false);
}

void TestPlaylistRows::wheelMovesAPictureOnlyWhenTheUserFocusedItsOrderBox_data()
{
    QTest::addColumn<Qt::FocusReason>("focus");
    QTest::addColumn<bool>("moves");
    QTest::newRow("focus the editor took when it opened") << Qt::OtherFocusReason << false;
    QTest::newRow("clicked into the box") << Qt::MouseFocusReason << true;
    QTest::newRow("tabbed into the box") << Qt::TabFocusReason << true;
}

void TestPlaylistRows::wheelMovesAPictureOnlyWhenTheUserFocusedItsOrderBox()
{
    QFETCH(Qt::FocusReason, focus);
    QFETCH(bool, moves);
    CustomTableModel pictures({}, 1, -1);
    for (int number = 1; number <= 30; ++number)
        pictures.addItem(makePicture(tempDir->path(), number));
    FakeMainWindow window;
    QTableView view;
    view.setItemDelegate(new ListImageItemDelegate(nullptr, &window, &view));
    view.setModel(&pictures);
    view.verticalHeader()->setDefaultSectionSize(60);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setCurrentIndex(pictures.index(0, 0));
    view.edit(pictures.index(0, 0));
    auto *editor = view.findChild<ImageObjectWidget *>();
    QVERIFY(editor);
    QComboBox *box = editor->orderBox();
    box->setFocus(focus);
    QTRY_VERIFY(box->hasFocus());

    const QPoint centre = box->rect().center();
    QWheelEvent notch(centre, box->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &notch);
    QCOMPARE(window.moves.size(), moves ? 1 : 0);
    // A notch the box does not take scrolls the list instead.
    QCOMPARE(view.verticalScrollBar()->value() > 0, !moves);
}

QTEST_MAIN(TestPlaylistRows)
#include "test_playlist_rows.moc"
