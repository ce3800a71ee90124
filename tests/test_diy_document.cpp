#include "diy/DiyDocument.h"
#include "diy/DiyTool.h"
#include "diy/DiyToolStyle.h"

#include <QList>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage filled(const QSize &size, const QColor &color)
{
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(color);
    return picture;
}

// Runs the steps on doc: d merges a 20 x 20 piece (a colour of its own each time), s paints
// a stroke of three segments, i / o zoom in / out, u / r undo / redo. Returns the picture
// after each step.
QList<QImage> run(DiyDocument &doc, const QString &steps)
{
    DiyToolStyle style;
    style.penColor = Qt::green;
    style.penWidth = 5;
    const auto pen = DiyTool::create(DiyTool::Pen);
    QList<QImage> after;
    int pieces = 0;
    for (const QChar s : steps) {
        const QPoint o = doc.pictureOrigin();
        if (s == 'd') {
            ++pieces;
            doc.merge(filled(QSize(20, 20), QColor(10 * pieces, 0, 255)),
                      o + QPoint(15 * pieces, 30));
        } else if (s == 's') {
            doc.paintStroke(*pen, o + QPoint(10, 100), o + QPoint(60, 110), style);
            doc.paintStroke(*pen, o + QPoint(60, 110), o + QPoint(90, 150), style);
            doc.paintStroke(*pen, o + QPoint(90, 150), o + QPoint(120, 100), style);
            doc.closeStroke();
        } else if (s == 'i') {
            doc.zoomBy(1);
        } else if (s == 'o') {
            doc.zoomBy(-1);
        } else if (s == 'u') {
            doc.undo();
        } else if (s == 'r') {
            doc.redo();
        }
        after.append(doc.picture());
    }
    return after;
}

} // namespace

class TestDiyDocument : public QObject
{
    Q_OBJECT
private slots:
    void undoAndRedoFollowDrawingsAndZoom_data();
    void undoAndRedoFollowDrawingsAndZoom();
    void zoomStopsAtItsLimits_data();
    void zoomStopsAtItsLimits();
    void outputSquareStaysOnTheCanvas_data();
    void outputSquareStaysOnTheCanvas();
    void historyKeepsItsLimit_data();
    void historyKeepsItsLimit();
    void savingClearsModifiedOnlyWhenWritten_data();
    void savingClearsModifiedOnlyWhenWritten();
};

void TestDiyDocument::undoAndRedoFollowDrawingsAndZoom_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("sameAs");  // the step whose picture is shown at the end; -1 the start
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("zoomStep");
    QTest::addColumn<int>("undoable");  // snapshots
    QTest::addColumn<int>("redoable");
    QTest::addColumn<bool>("modified");
    QTest::newRow("nothing") << "" << -1 << 450 << 0 << 1 << 0 << false;
    QTest::newRow("undo at the start") << "u" << -1 << 450 << 0 << 1 << 0 << false;
    QTest::newRow("redo at the start") << "r" << -1 << 450 << 0 << 1 << 0 << false;
    QTest::newRow("draw draw undo") << "ddu" << 0 << 450 << 0 << 2 << 1 << true;
    QTest::newRow("draw undo redo") << "dur" << 0 << 450 << 0 << 2 << 0 << true;
    QTest::newRow("stroke undo") << "su" << -1 << 450 << 0 << 1 << 1 << true;
    QTest::newRow("stroke undo redo") << "sur" << 0 << 450 << 0 << 2 << 0 << true;
    QTest::newRow("three undone, three redone") << "ddduuurrr" << 2 << 450 << 0 << 4 << 0
                                                << true;
    QTest::newRow("draw zoom undo undo") << "diuu" << -1 << 450 << 0 << 1 << 2 << true;
    QTest::newRow("draw zoom undo") << "diu" << 0 << 450 << 0 << 2 << 1 << true;
    QTest::newRow("a drawing ends redo") << "diud" << 3 << 450 << 0 << 3 << 0 << true;
    // A drawing makes the zoomed picture the new base: zoom counts from it.
    QTest::newRow("zoom zoom draw") << "iid" << 2 << 540 << 0 << 4 << 0 << true;
    QTest::newRow("zoom zoom draw zoom") << "iidi" << 3 << 594 << 1 << 5 << 0 << true;
    QTest::newRow("zoom zoom draw undo") << "iidu" << 1 << 540 << 2 << 3 << 1 << true;
    // Step -1 is a zoom step like any other, restored by undo.
    QTest::newRow("out out undo") << "oou" << 0 << 405 << -1 << 2 << 1 << true;
    QTest::newRow("in out undo redo") << "iour" << -1 << 450 << 0 << 3 << 0 << true;
    QTest::newRow("out stroke undo in") << "osui" << -1 << 450 << 0 << 3 << 0 << true;
}

void TestDiyDocument::undoAndRedoFollowDrawingsAndZoom()
{
    QFETCH(QString, steps);
    QFETCH(int, sameAs);
    QFETCH(int, side);
    QFETCH(int, zoomStep);
    QFETCH(int, undoable);
    QFETCH(int, redoable);
    QFETCH(bool, modified);
    DiyDocument doc;
    const QImage start = doc.picture().copy();
    const QList<QImage> after = run(doc, steps);
    const QImage expected = sameAs < 0 ? start : after[sameAs];
    QCOMPARE(doc.picture(), expected);
    QCOMPARE(doc.picture().size(), QSize(side, side));
    QCOMPARE(doc.zoomStep(), zoomStep);
    QCOMPARE(doc.history().size(), undoable);
    QCOMPARE(doc.history().redoSize(), redoable);
    QCOMPARE(doc.isModified(), modified);
    // Each step is distinct from the one before it where it was meant to change something.
    if (steps.endsWith('d'))
        QVERIFY(after.size() < 2 || after.last() != after[after.size() - 2]);
}

void TestDiyDocument::zoomStopsAtItsLimits_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("allowed");
    QTest::addColumn<QSize>("lastSize");
    // 450 - 450 * 90 / 100 = 45; one more step would be empty.
    QTest::newRow("450 out") << QSize(450, 450) << -1 << 9 << QSize(45, 45);
    // 450 + 450 * 810 / 100 = 4095; one more is over 4096.
    QTest::newRow("450 in") << QSize(450, 450) << 1 << 81 << QSize(4095, 4095);
    QTest::newRow("4000 x 3000 in") << QSize(4000, 3000) << 1 << 0 << QSize(4000, 3000);
    QTest::newRow("4000 x 3000 out") << QSize(4000, 3000) << -1 << 9 << QSize(400, 300);
    // 70 x 42 would have a side under 45.
    QTest::newRow("100 x 60 out") << QSize(100, 60) << -1 << 2 << QSize(80, 48);
}

void TestDiyDocument::zoomStopsAtItsLimits()
{
    QFETCH(QSize, pictureSize);
    QFETCH(int, delta);
    QFETCH(int, allowed);
    QFETCH(QSize, lastSize);
    DiyDocument doc(filled(pictureSize, Qt::red));
    int taken = 0;
    while (taken < 200 && doc.zoomBy(delta))
        ++taken;
    QCOMPARE(taken, allowed);
    QCOMPARE(doc.zoomStep(), allowed * delta);
    QCOMPARE(doc.picture().size(), lastSize);
    // A refused step leaves nothing behind.
    const int snapshots = doc.history().size();
    const QImage shown = doc.picture();
    QVERIFY(!doc.zoomBy(delta));
    QCOMPARE(doc.history().size(), snapshots);
    QCOMPARE(doc.picture(), shown);
    QVERIFY(doc.history().bytes() <= DiyHistory::MaxBytes);
    QCOMPARE(doc.canvasSize(), lastSize.expandedTo(QSize(450, 450)));
}

void TestDiyDocument::outputSquareStaysOnTheCanvas_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QString>("before");  // zoom steps (i, o) and undo (u) before the move
    QTest::addColumn<QPoint>("moveTo");   // (-1, -1): not moved
    QTest::addColumn<QString>("after");
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<bool>("besideLeftRight");  // background at the output's left and right
    QTest::addColumn<bool>("aboveBelow");       // at its top and bottom
    const QPoint stay(-1, -1);
    QTest::newRow("450") << QSize(450, 450) << "" << stay << "" << QPoint(0, 0) << false
                         << false;
    QTest::newRow("450 moved off the canvas")
        << QSize(450, 450) << "" << QPoint(300, -200) << "" << QPoint(0, 0) << false << false;
    QTest::newRow("450 zoomed out") << QSize(450, 450) << "o" << stay << "" << QPoint(0, 0)
                                    << true << true;
    QTest::newRow("600 x 300") << QSize(600, 300) << "" << stay << "" << QPoint(75, 0) << false
                               << true;
    QTest::newRow("600 x 300 moved right")
        << QSize(600, 300) << "" << QPoint(1000, 50) << "" << QPoint(150, 0) << false << true;
    QTest::newRow("600 x 300 zoomed out three times")
        << QSize(600, 300) << "ooo" << stay << "" << QPoint(0, 0) << true << true;
    // Zooming centres the square again; undo keeps it where it was, held to the canvas.
    QTest::newRow("zoomed in, moved, zoomed again")
        << QSize(450, 450) << "ii" << QPoint(90, 90) << "i" << QPoint(67, 67) << false << false;
    QTest::newRow("zoomed in, moved, undone")
        << QSize(450, 450) << "ii" << QPoint(90, 0) << "u" << QPoint(45, 0) << false << false;
    QTest::newRow("zoomed in, moved, undone to the start")
        << QSize(450, 450) << "ii" << QPoint(90, 90) << "uu" << QPoint(0, 0) << false << false;
}

void TestDiyDocument::outputSquareStaysOnTheCanvas()
{
    QFETCH(QSize, pictureSize);
    QFETCH(QString, before);
    QFETCH(QPoint, moveTo);
    QFETCH(QString, after);
    QFETCH(QPoint, corner);
    QFETCH(bool, besideLeftRight);
    QFETCH(bool, aboveBelow);
    DiyDocument doc(filled(pictureSize, Qt::red));
    run(doc, before);
    if (moveTo != QPoint(-1, -1))
        doc.moveOutputTo(moveTo);
    run(doc, after);
    QCOMPARE(doc.outputRect(), QRect(corner, QSize(450, 450)));
    QVERIFY(QRect(QPoint(0, 0), doc.canvasSize()).contains(doc.outputRect()));
    const QImage out = doc.outputImage(Qt::green);
    QCOMPARE(out.size(), QSize(450, 450));
    const QRgb green = qRgb(0, 255, 0);
    QCOMPARE(out.pixel(0, 225) == green, besideLeftRight);
    QCOMPARE(out.pixel(449, 225) == green, besideLeftRight);
    QCOMPARE(out.pixel(225, 0) == green, aboveBelow);
    QCOMPARE(out.pixel(225, 449) == green, aboveBelow);
    QCOMPARE(out.pixel(225, 225), qRgb(255, 0, 0));
    // Without a background, what the picture does not cover stays transparent.
    const QImage clear = doc.outputImage(QColor());
    QCOMPARE(qAlpha(clear.pixel(0, 225)) == 0, besideLeftRight);
}

void TestDiyDocument::historyKeepsItsLimit_data()
{
    QTest::addColumn<QString>("step");  // repeated, as run() reads it
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("undoable");
    QTest::newRow("5 drawings") << "d" << 5 << 5;
    QTest::newRow("100 drawings") << "d" << 100 << 99;
    QTest::newRow("150 drawings") << "d" << 150 << 99;
    QTest::newRow("150 strokes") << "s" << 150 << 99;
    QTest::newRow("60 strokes, each zoomed in and out") << "sio" << 60 << 99;
}

void TestDiyDocument::historyKeepsItsLimit()
{
    QFETCH(QString, step);
    QFETCH(int, count);
    QFETCH(int, undoable);
    DiyDocument doc;
    run(doc, step.repeated(count));
    QVERIFY(doc.history().size() <= DiyHistory::MaxSnapshots);
    const QImage last = doc.picture().copy();
    int undone = 0;
    while (undone < 300 && doc.undo())
        ++undone;
    QCOMPARE(undone, undoable);
    QCOMPARE(doc.history().size(), 1);
    while (doc.redo()) {
    }
    QCOMPARE(doc.picture(), last);
}

void TestDiyDocument::savingClearsModifiedOnlyWhenWritten_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("strokeOpen");
    QTest::addColumn<bool>("written");
    QTest::newRow("written") << "drawing.png" << false << true;
    QTest::newRow("written while a stroke is open") << "drawing.png" << true << true;
    QTest::newRow("missing folder") << "missing/drawing.png" << false << false;
    QTest::newRow("a folder's name") << "." << false << false;
}

void TestDiyDocument::savingClearsModifiedOnlyWhenWritten()
{
    QFETCH(QString, name);
    QFETCH(bool, strokeOpen);
    QFETCH(bool, written);
    QTemporaryDir dir;
    DiyDocument doc(filled(QSize(300, 500), Qt::white));
    QVERIFY(doc.hasPicture());
    run(doc, "d");
    if (strokeOpen) {
        DiyToolStyle style;
        style.penWidth = 9;
        doc.paintStroke(*DiyTool::create(DiyTool::Pen), QPoint(100, 200), QPoint(200, 200),
                        style);
    }
    const QString path = dir.filePath(name);
    QCOMPARE(doc.save(path), written);
    QCOMPARE(doc.isModified(), !written);
    QVERIFY(!doc.isStrokeOpen());
    if (!written)
        return;
    // Read back as the canvas opens it: the same pixels, the whole picture.
    const DiyDocument reopened(path);
    QVERIFY(reopened.hasPicture());
    QCOMPARE(reopened.picture(), doc.picture());
    QCOMPARE(reopened.history().size(), 1);
    QVERIFY(!reopened.isModified());
    const DiyDocument unreadable(dir.filePath("none.png"));
    QVERIFY(!unreadable.hasPicture());
    QCOMPARE(unreadable.picture().size(), QSize(450, 450));
}

QTEST_GUILESS_MAIN(TestDiyDocument)
#include "test_diy_document.moc"
