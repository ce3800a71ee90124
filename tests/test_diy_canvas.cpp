#include "DiyTestSupport.h"

#include "diy/DiyHistory.h"
#include "ui/diy/DiyPainter.h"
#include "ui/diy/DiyShape.h"
#include "ui/diy/DiyTextEdit.h"
#include "diy/DiyTextLayout.h"
#include "diy/DiyTool.h"
#include "ui/diy/RoundAreaWidget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A canvas in a shown window, as the form holds it.
struct Canvas
{
    explicit Canvas(const QString &path = QString()) : painter(new DiyPainter(path, &window))
    {
        window.resize(1200, 900);
        window.show();
        painter->setBackgroundColor(Qt::black);
        painter->setPenColor(Qt::white);
        painter->setFillColor(Qt::blue);
        painter->setPenWidth(6);
    }
    QWidget window;
    DiyPainter *painter;
};

// Draws one figure with tool and merges it by the next press, as a user does.
void drawAndMerge(DiyPainter *p, int tool, const QPoint &from, const QPoint &to)
{
    p->setTool(tool);
    dragAlong(p, from, to);
    pressAt(p, QPoint(5, 5));
    releaseAt(p, QPoint(5, 5));
}

QString writeFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

} // namespace

class TestDiyCanvas : public QObject
{
    Q_OBJECT
private slots:
    void zoomAndUndoKeepTheirSteps_data();
    void zoomAndUndoKeepTheirSteps();
    void zoomStopsAtItsLimits_data();
    void zoomStopsAtItsLimits();
    void undoDuringAStrokeEndsItCleanly();
    void clickWithoutMovingDrawsNothing_data();
    void clickWithoutMovingDrawsNothing();
    void figuresFloatThenMerge_data();
    void figuresFloatThenMerge();
    void historyKeepsTheLastHundred();
    void historyStaysWithinItsMemory();
    void ringTextSitsOnTheCircle();
    void emptyTextAddsNothing_data();
    void emptyTextAddsNothing();
    void outputIsBackgroundWherePictureEnds_data();
    void outputIsBackgroundWherePictureEnds();
    void markerStaysInReach();
    void picturesLoadInColour_data();
    void picturesLoadInColour();
    void redoBringsBackWhatUndoTook();
    void floatingShapeDrags_data();
    void floatingShapeDrags();
    void textIsHeldToItsBounds_data();
    void textIsHeldToItsBounds();
};

void TestDiyCanvas::zoomAndUndoKeepTheirSteps_data()
{
    QTest::addColumn<QString>("steps");  // i zoom in, o zoom out, u undo, r redo
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("zoomStep");
    QTest::newRow("in in in undo in") << "iiiui" << 585 << 3;
    QTest::newRow("in in in undo undo undo") << "iiiuuu" << 450 << 0;
    QTest::newRow("out out out undo out") << "ooouo" << 315 << -3;
    // Undo back to step -1 must restore that step, not read it as "do not restore".
    QTest::newRow("out out undo in") << "oouo" << 360 << -2;
    QTest::newRow("out out undo undo") << "ooouu" << 405 << -1;
    QTest::newRow("in out undo redo") << "iour" << 450 << 0;
}

void TestDiyCanvas::zoomAndUndoKeepTheirSteps()
{
    QFETCH(QString, steps);
    QFETCH(int, side);
    QFETCH(int, zoomStep);
    Canvas c;
    for (const QChar s : steps) {
        if (s == 'i')
            c.painter->zoomIn();
        else if (s == 'o')
            c.painter->zoomOut();
        else if (s == 'u')
            c.painter->revokeCancel();
        else
            c.painter->redo();
    }
    QCOMPARE(c.painter->picture().size(), QSize(side, side));
    QCOMPARE(c.painter->currentZoomStep(), zoomStep);
    // Drawing on the restored picture keeps its size (the base is that picture).
    drawAndMerge(c.painter, DiyTool::Rect, QPoint(100, 100), QPoint(200, 200));
    QCOMPARE(c.painter->picture().size(), QSize(side, side));
    QVERIFY(c.painter->zoomIn());
    QCOMPARE(c.painter->picture().width(), side + side / 10);
}

void TestDiyCanvas::zoomStopsAtItsLimits_data()
{
    QTest::addColumn<bool>("in");
    QTest::addColumn<int>("allowed");
    QTest::addColumn<int>("lastSide");
    // 450 - 450 * 90 / 100 = 45; one more step would be empty.
    QTest::newRow("out") << false << 9 << 45;
    // 450 + 450 * 810 / 100 = 4095; one more is over 4096.
    QTest::newRow("in") << true << 81 << 4095;
}

void TestDiyCanvas::zoomStopsAtItsLimits()
{
    QFETCH(bool, in);
    QFETCH(int, allowed);
    QFETCH(int, lastSide);
    Canvas c;
    int taken = 0;
    while ((in ? c.painter->zoomIn() : c.painter->zoomOut()) && taken < 200)
        ++taken;
    QCOMPARE(taken, allowed);
    QCOMPARE(c.painter->currentZoomStep(), in ? allowed : -allowed);
    QCOMPARE(c.painter->picture().width(), lastSide);
    QVERIFY(c.painter->undoHistory().bytes() <= DiyHistory::MaxBytes);
}

void TestDiyCanvas::undoDuringAStrokeEndsItCleanly()
{
    Canvas c;
    const QImage before = c.painter->picture().copy();
    c.painter->setTool(DiyTool::Pen);
    pressAt(c.painter, QPoint(50, 50));
    moveTo(c.painter, QPoint(80, 60));
    moveTo(c.painter, QPoint(120, 90));
    // The Revoke button keeps the focus: Space presses it while the mouse still draws.
    c.painter->revokeCancel();
    moveTo(c.painter, QPoint(160, 120));
    moveTo(c.painter, QPoint(200, 150));
    releaseAt(c.painter, QPoint(200, 150));
    QCOMPARE(c.painter->picture(), before);
    QCOMPARE(c.painter->undoHistory().size(), 1);
    // The next stroke is a step of its own.
    dragAlong(c.painter, QPoint(10, 300), QPoint(300, 300));
    QCOMPARE(c.painter->undoHistory().size(), 2);
    QVERIFY(c.painter->picture() != before);
}

void TestDiyCanvas::clickWithoutMovingDrawsNothing_data()
{
    QTest::addColumn<int>("tool");
    QTest::newRow("pen") << int(DiyTool::Pen);
    QTest::newRow("line") << int(DiyTool::Line);
    QTest::newRow("rectangle") << int(DiyTool::Rect);
    QTest::newRow("rounded rectangle") << int(DiyTool::RoundRect);
    QTest::newRow("ellipse") << int(DiyTool::Ellipse);
    QTest::newRow("eraser") << int(DiyTool::Eraser);
}

void TestDiyCanvas::clickWithoutMovingDrawsNothing()
{
    QFETCH(int, tool);
    Canvas c;
    const QImage before = c.painter->picture().copy();
    c.painter->setTool(tool);
    pressAt(c.painter, QPoint(100, 100));
    releaseAt(c.painter, QPoint(100, 100));
    // A figure dragged back to its press point has no size either.
    if (tool != DiyTool::Pen && tool != DiyTool::Eraser) {
        pressAt(c.painter, QPoint(100, 100));
        moveTo(c.painter, QPoint(150, 170));
        releaseAt(c.painter, QPoint(100, 100));
    }
    QVERIFY(!c.painter->isPreviewing());
    QVERIFY(c.painter->shapeWidget()->isHidden());
    QCOMPARE(c.painter->undoHistory().size(), 1);
    QCOMPARE(c.painter->picture(), before);
}

void TestDiyCanvas::figuresFloatThenMerge_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<bool>("floats");
    QTest::newRow("line") << int(DiyTool::Line) << 6 << true;
    QTest::newRow("rectangle") << int(DiyTool::Rect) << 6 << true;
    QTest::newRow("rounded rectangle") << int(DiyTool::RoundRect) << 6 << true;
    QTest::newRow("ellipse") << int(DiyTool::Ellipse) << 6 << true;
    QTest::newRow("rectangle without outline") << int(DiyTool::Rect) << 0 << true;
    // No outline and nothing to fill: an invisible widget would swallow clicks.
    QTest::newRow("line without outline") << int(DiyTool::Line) << 0 << false;
}

void TestDiyCanvas::figuresFloatThenMerge()
{
    QFETCH(int, tool);
    QFETCH(int, penWidth);
    QFETCH(bool, floats);
    Canvas c;
    c.painter->setPenWidth(penWidth);
    const QImage before = c.painter->picture().copy();
    c.painter->setTool(tool);
    dragAlong(c.painter, QPoint(100, 100), QPoint(300, 250));
    QCOMPARE(c.painter->picture(), before);  // floating, not merged yet
    QCOMPARE(c.painter->shapeWidget()->isVisible(), floats);
    QVERIFY(!c.painter->isPreviewing());
    if (!floats) {
        QCOMPARE(c.painter->undoHistory().size(), 1);
        return;
    }
    // The floating shape is big enough for what was drawn (not cut off).
    QVERIFY(c.painter->shapeWidget()->width() >= 200);
    // Undo drops it; a new one is merged by the next press, which draws nothing itself.
    c.painter->revokeCancel();
    QVERIFY(c.painter->shapeWidget()->isHidden());
    QCOMPARE(c.painter->undoHistory().size(), 1);
    dragAlong(c.painter, QPoint(100, 100), QPoint(300, 250));
    pressAt(c.painter, QPoint(400, 400));
    moveTo(c.painter, QPoint(420, 420));
    releaseAt(c.painter, QPoint(420, 420));
    QCOMPARE(c.painter->undoHistory().size(), 2);
    QVERIFY(c.painter->picture() != before);
    QVERIFY(c.painter->shapeWidget()->isHidden());
    c.painter->revokeCancel();
    QCOMPARE(c.painter->picture(), before);
}

void TestDiyCanvas::historyKeepsTheLastHundred()
{
    Canvas c;
    c.painter->setTool(DiyTool::Rect);
    for (int i = 0; i < 150; ++i)
        drawAndMerge(c.painter, DiyTool::Rect, QPoint(10 + i, 10), QPoint(40 + i, 60));
    QCOMPARE(c.painter->undoHistory().size(), DiyHistory::MaxSnapshots);
    int undone = 0;
    while (undone < 200) {
        const int before = c.painter->undoHistory().size();
        c.painter->revokeCancel();
        if (c.painter->undoHistory().size() == before)
            break;
        ++undone;
    }
    QCOMPARE(undone, 99);
}

void TestDiyCanvas::historyStaysWithinItsMemory()
{
    DiyHistory history;
    // 36 MB each: the budget keeps about seven, never fewer than two.
    for (int i = 0; i < 10; ++i) {
        QImage picture(3000, 3000, QImage::Format_ARGB32_Premultiplied);
        picture.fill(qRgba(i, 0, 0, 255));
        history.push(picture, picture, 0);
        QVERIFY(history.bytes() <= DiyHistory::MaxBytes);
        QVERIFY(history.size() >= qMin(i + 1, 2));
    }
    QCOMPARE(history.current()->image().pixelColor(0, 0).red(), 9);
    QImage huge(9000, 8000, QImage::Format_ARGB32_Premultiplied);  // 288 MB alone
    huge.fill(Qt::red);
    history.push(huge, huge, 0);
    QCOMPARE(history.size(), 2);
    QVERIFY(history.undo());
}

void TestDiyCanvas::ringTextSitsOnTheCircle()
{
    const int r = 150;
    const QList<QPoint> points = DiyTextLayout::ringPoints(4, r);
    const QList<QPoint> expected{{r, 1}, {1, r}, {r, 2 * r - 1}, {2 * r - 1, r}};
    QCOMPARE(points, expected);  // top, left, bottom, right

    QFont font;
    font.setPointSize(20);
    const QImage block = DiyTextLayout::render("ABCD", font, Qt::white, DiyTextLayout::Ring, r);
    QVERIFY(!block.isNull());
    const int h = QFontMetrics(font).height();
    // Ink just below and right of each point, where that character stands.
    for (const QPoint &p : points) {
        bool ink = false;
        for (int y = p.y(); y < qMin(block.height(), p.y() + h) && !ink; ++y)
            for (int x = p.x(); x < qMin(block.width(), p.x() + h) && !ink; ++x)
                ink = qAlpha(block.pixel(x, y)) != 0;
        QVERIFY2(ink, qPrintable(QString("no character near %1,%2").arg(p.x()).arg(p.y())));
    }
}

void TestDiyCanvas::emptyTextAddsNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("textStyle");
    QTest::addColumn<bool>("floats");
    QTest::newRow("empty horizontal") << "" << 0 << false;
    QTest::newRow("empty ring") << "" << 2 << false;  // divided by the count before
    QTest::newRow("spaces only") << "   " << 0 << false;
    QTest::newRow("horizontal") << "Hi" << 0 << true;
    QTest::newRow("vertical") << "中A" << 1 << true;
    QTest::newRow("ring") << "Ring" << 2 << true;
}

void TestDiyCanvas::emptyTextAddsNothing()
{
    QFETCH(QString, text);
    QFETCH(int, textStyle);
    QFETCH(bool, floats);
    Canvas c;
    c.painter->setTextStyle(textStyle);
    c.painter->setTool(DiyTool::Text);
    pressAt(c.painter, QPoint(60, 60));
    releaseAt(c.painter, QPoint(60, 60));
    DiyTextEdit *edit = c.painter->textEditor();
    QVERIFY(edit->isVisible());
    edit->setText(text);
    c.painter->onTextPressEnter();
    QVERIFY(edit->isHidden());
    QCOMPARE(c.painter->shapeWidget()->isVisible(), floats);
    c.painter->commitPending();
    QCOMPARE(c.painter->undoHistory().size(), floats ? 2 : 1);
    QVERIFY(c.painter->shapeWidget()->isHidden());
}

void TestDiyCanvas::outputIsBackgroundWherePictureEnds_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<int>("zoomOuts");
    QTest::addColumn<bool>("besideLeftRight");  // background at the left and right borders
    QTest::addColumn<bool>("aboveBelow");       // at the top and bottom borders
    QTest::newRow("450 zoomed out once") << QSize(450, 450) << 1 << true << true;
    QTest::newRow("450 zoomed out five times") << QSize(450, 450) << 5 << true << true;
    QTest::newRow("600 x 300") << QSize(600, 300) << 0 << false << true;
    QTest::newRow("600 x 300 zoomed out three times") << QSize(600, 300) << 3 << true << true;
    QTest::newRow("450 as it is") << QSize(450, 450) << 0 << false << false;
}

void TestDiyCanvas::outputIsBackgroundWherePictureEnds()
{
    QFETCH(QSize, pictureSize);
    QFETCH(int, zoomOuts);
    QFETCH(bool, besideLeftRight);
    QFETCH(bool, aboveBelow);
    QTemporaryDir dir;
    QImage red(pictureSize, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString path = dir.filePath("red.png");
    QVERIFY(red.save(path));
    Canvas c(path);
    c.painter->setBackgroundColor(Qt::green);
    for (int i = 0; i < zoomOuts; ++i)
        QVERIFY(c.painter->zoomOut());
    const QImage out = c.painter->getImage();
    QCOMPARE(out.size(), QSize(450, 450));
    const QRgb green = qRgb(0, 255, 0);
    QCOMPARE(out.pixel(0, 225) == green, besideLeftRight);
    QCOMPARE(out.pixel(449, 225) == green, besideLeftRight);
    QCOMPARE(out.pixel(225, 0) == green, aboveBelow);
    QCOMPARE(out.pixel(225, 449) == green, aboveBelow);
    QCOMPARE(out.pixel(225, 225), qRgb(255, 0, 0));
}

void TestDiyCanvas::markerStaysInReach()
{
    Canvas c;
    for (int i = 0; i < 5; ++i)
        QVERIFY(c.painter->zoomIn());
    c.painter->setTool(DiyTool::Move);
    dragAlong(c.painter->roundAreaWidget(), QPoint(10, 10), QPoint(5000, 5000), 2);
    c.painter->setTool(DiyTool::Pen);
    for (int i = 0; i < 5; ++i)
        c.painter->revokeCancel();
    QCOMPARE(c.painter->picture().size(), QSize(450, 450));
    const QRect canvas(QPoint(0, 0), c.painter->size());
    QVERIFY(canvas.contains(c.painter->outputRect()));
    c.painter->setTool(DiyTool::Move);
    QVERIFY(canvas.contains(c.painter->roundAreaWidget()->geometry()));
}

void TestDiyCanvas::picturesLoadInColour_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("readable");
    QTest::newRow("indexed") << "indexed" << true;
    QTest::newRow("grey") << "grey" << true;
    QTest::newRow("true colour") << "rgb" << true;
    QTest::newRow("garbage") << "garbage" << false;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("truncated png") << "truncated" << false;
}

void TestDiyCanvas::picturesLoadInColour()
{
    QFETCH(QString, kind);
    QFETCH(bool, readable);
    QTemporaryDir dir;
    QString path = dir.filePath("p.png");
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(kind == "grey" ? qRgb(128, 128, 128) : qRgb(200, 30, 10));
    if (kind == "indexed")
        picture = picture.convertToFormat(QImage::Format_Indexed8);
    if (kind == "grey")
        picture = picture.convertToFormat(QImage::Format_Grayscale8);
    if (kind == "garbage") {
        path = writeFile(dir.path(), "g.png", QByteArray("not a picture at all"));
    } else if (kind == "missing") {
        path = dir.filePath("none.png");
    } else {
        QVERIFY(picture.save(path));
        if (kind == "truncated") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.resize(f.size() / 2);
        }
    }
    Canvas c(path);
    QCOMPARE(c.painter->hasPicture(), readable);
    if (!readable) {
        QCOMPARE(c.painter->picture().size(), QSize(450, 450));
        return;
    }
    QVERIFY(c.painter->picture().depth() == 32);
    // Drawing in a colour keeps that colour.
    c.painter->setPenColor(QColor(0, 0, 255));
    c.painter->setPenWidth(4);
    c.painter->setTool(DiyTool::Pen);
    const QPoint o = c.painter->pictureOrigin();
    dragAlong(c.painter, o + QPoint(5, 15), o + QPoint(35, 15));
    QCOMPARE(c.painter->picture().pixelColor(20, 15), QColor(0, 0, 255));
}

void TestDiyCanvas::redoBringsBackWhatUndoTook()
{
    Canvas c;
    drawAndMerge(c.painter, DiyTool::Ellipse, QPoint(50, 50), QPoint(250, 200));
    const QImage drawn = c.painter->picture().copy();
    c.painter->revokeCancel();
    QVERIFY(c.painter->picture() != drawn);
    QVERIFY(c.painter->redo());
    QCOMPARE(c.painter->picture(), drawn);
    QVERIFY(!c.painter->redo());
    c.painter->revokeCancel();
    drawAndMerge(c.painter, DiyTool::Line, QPoint(10, 10), QPoint(100, 100));
    QVERIFY(!c.painter->redo());  // a new drawing ends what could be redone

    // A save that fails leaves the drawing marked as unsaved.
    QTemporaryDir dir;
    QVERIFY(!c.painter->saveImage(dir.filePath("missing/drawing.png")));
    QVERIFY(c.painter->isModified());
    QVERIFY(c.painter->saveImage(dir.filePath("drawing.png")));
    QVERIFY(!c.painter->isModified());
    QCOMPARE(QImage(dir.filePath("drawing.png")).size(), c.painter->picture().size());
}

void TestDiyCanvas::floatingShapeDrags_data()
{
    QTest::addColumn<bool>("withPicture");
    QTest::addColumn<Qt::MouseButtons>("held");
    QTest::addColumn<QPoint>("expected");
    QTest::addColumn<int>("emitted");
    QTest::newRow("dragged") << true << Qt::MouseButtons(Qt::LeftButton) << QPoint(130, 90) << 2;
    QTest::newRow("hovered") << true << Qt::MouseButtons(Qt::NoButton) << QPoint(100, 50) << 0;
    QTest::newRow("empty, dragged")
        << false << Qt::MouseButtons(Qt::LeftButton) << QPoint(130, 90) << 2;
}

void TestDiyCanvas::floatingShapeDrags()
{
    QFETCH(bool, withPicture);
    QFETCH(Qt::MouseButtons, held);
    QFETCH(QPoint, expected);
    QFETCH(int, emitted);
    QWidget parent;
    parent.resize(600, 600);
    auto *shape = new DiyShape(&parent);
    shape->resize(80, 60);
    if (withPicture) {
        QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::green);
        shape->setCurrentImage(picture);
        QCOMPARE(shape->size(), QSize(40, 30));
    } else {
        shape->setCurrentImage(QImage());
        QCOMPARE(shape->size(), QSize(80, 60));  // a null picture keeps the size
    }
    shape->move(100, 50);
    parent.show();
    QSignalSpy moved(shape, &DiyShape::signalPointChanged);
    pressAt(shape, QPoint(5, 5));
    moveTo(shape, QPoint(20, 25), held);
    moveTo(shape, QPoint(20, 25), held);  // the shape moved under the mouse by then
    QCOMPARE(shape->pos(), expected);
    QCOMPARE(moved.size(), emitted);
    if (emitted)
        QCOMPARE(moved.last().first().toPoint(), expected);
    // Nothing is painted for an empty shape, an outlined picture otherwise.
    const QImage shown = shape->grab().toImage();
    QCOMPARE(shown.pixelColor(1, 1) == QColor(Qt::red), withPicture);
}

void TestDiyCanvas::textIsHeldToItsBounds_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("heldTo");
    QTest::newRow("tiny") << 2 << 8;
    QTest::newRow("usual") << 100 << 100;
    QTest::newRow("huge") << 2000 << 300;
}

void TestDiyCanvas::textIsHeldToItsBounds()
{
    QFETCH(int, points);
    QFETCH(int, heldTo);
    Canvas c;
    QFont font;
    font.setPointSize(points);
    c.painter->setTextFont(font);
    QCOMPARE(c.painter->textFont().pointSize(), heldTo);
    c.painter->setTool(DiyTool::Text);
    pressAt(c.painter, QPoint(10, 10));
    c.painter->textEditor()->setText(QString(500, QChar('x')));
    QCOMPARE(c.painter->textEditor()->text().size(), DiyTextEdit::MaxLength);
}

QTEST_MAIN(TestDiyCanvas)
#include "test_diy_canvas.moc"
