#include "diy/DiyDocument.h"
#include "diy/DiyTool.h"
#include "diy/DiyToolStyle.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// Runs steps on doc, each a letter with an optional repeat count ("d150u3"): d merges a piece
// of a colour of its own, s paints a stroke of two segments, i / o zoom in / out, u / r undo /
// redo, m moves the output square far to the bottom right. Returns the picture after step keep.
QImage run(DiyDocument &doc, const QString &steps, int keep = -1)
{
    DiyToolStyle style;
    style.penWidth = 5;
    const auto pen = DiyTool::create(DiyTool::Pen);
    QImage kept;
    int done = 0;
    for (const auto &m : QRegularExpression("([dsiourm])(\\d*)").globalMatch(steps)) {
        for (int n = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(); n > 0; --n) {
            const QPoint o = doc.pictureOrigin();
            switch (m.captured(1).at(0).unicode()) {
            case 'd': {
                QImage piece(20, 20, QImage::Format_ARGB32_Premultiplied);
                piece.fill(QColor(done % 256, 0, 255));
                doc.merge(piece, o + QPoint(done % 400, 30));
                break;
            }
            case 's':
                doc.paintStroke(*pen, o + QPoint(10, done), o + QPoint(60, 110), style);
                doc.paintStroke(*pen, o + QPoint(60, 110), o + QPoint(90, 150 + done), style);
                doc.closeStroke();
                break;
            case 'i': doc.zoomBy(1); break;
            case 'o': doc.zoomBy(-1); break;
            case 'u': doc.undo(); break;
            case 'r': doc.redo(); break;
            default: doc.moveOutputTo(QPoint(5000, 5000)); break;
            }
            if (done++ == keep)
                kept = doc.picture();
        }
    }
    return kept;
}

} // namespace

class TestDiyDocument : public QObject
{
    Q_OBJECT
private slots:
    void undoRedoAndZoomKeepTheirSteps_data();
    void undoRedoAndZoomKeepTheirSteps();
    void outputSquareStaysOnTheCanvas_data();
    void outputSquareStaysOnTheCanvas();
};

void TestDiyDocument::undoRedoAndZoomKeepTheirSteps_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("sameAs");  // the single step whose picture shows at the end; -1 the start
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("zoomStep");
    QTest::addColumn<int>("redoable");
    QTest::newRow("undo and redo at the start") << "ur" << -1 << 450 << 0 << 0;
    QTest::newRow("three undone, two redone") << "d3u3r2" << 1 << 450 << 0 << 1;
    QTest::newRow("a drawing ends redo") << "diud" << 3 << 450 << 0 << 0;
    // A drawing makes the zoomed picture the base: zoom counts from it, undo goes back.
    QTest::newRow("zoom zoom draw zoom") << "iidi" << 3 << 594 << 1 << 0;
    QTest::newRow("zoom zoom draw undo") << "iidu" << 1 << 540 << 2 << 1;
    // Step -1 is a zoom step like any other.
    QTest::newRow("out out undo") << "oou" << 0 << 405 << -1 << 1;
    QTest::newRow("out stroke undo in") << "osui" << -1 << 450 << 0 << 0;
    // 450 - 450 * 90 / 100 = 45; one more step would be empty.
    QTest::newRow("zoomed out to the limit") << "o12" << 8 << 45 << -9 << 0;
    // 450 + 450 * 810 / 100 = 4095; one more is over 4096. The large steps fill the
    // history's memory; undo still finds the step before.
    QTest::newRow("zoomed in to the limit, undo") << "i90u" << 79 << 4050 << 80 << 1;
    // 100 snapshots at most: 99 undo steps.
    QTest::newRow("150 drawings, 120 undone") << "d150u120" << 50 << 450 << 0 << 99;
    // A stroke is one step, however many segments it has.
    QTest::newRow("three strokes, two undone") << "s3u2" << 0 << 450 << 0 << 2;
}

void TestDiyDocument::undoRedoAndZoomKeepTheirSteps()
{
    QFETCH(QString, steps);
    QFETCH(int, sameAs);
    QFETCH(int, side);
    QFETCH(int, zoomStep);
    QFETCH(int, redoable);
    DiyDocument doc;
    const QImage start = doc.picture().copy();
    const QImage kept = run(doc, steps, sameAs);
    QCOMPARE(doc.picture(), sameAs < 0 ? start : kept);
    QCOMPARE(doc.picture().size(), QSize(side, side));
    QCOMPARE(doc.zoomStep(), zoomStep);
    QCOMPARE(doc.history().redoSize(), redoable);
    QVERIFY(doc.history().bytes() <= DiyHistory::MaxBytes);
}

void TestDiyDocument::outputSquareStaysOnTheCanvas_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<bool>("besideLeftRight");  // background at the square's left and right
    QTest::addColumn<bool>("aboveBelow");       // at its top and bottom
    QTest::newRow("450 zoomed out") << QSize(450, 450) << "om" << QPoint(0, 0) << true << true;
    QTest::newRow("600 x 300 moved") << QSize(600, 300) << "m" << QPoint(150, 0) << false << true;
    QTest::newRow("600 x 300 moved, zoomed out three times")
        << QSize(600, 300) << "mo3" << QPoint(0, 0) << true << true;
    // Zooming centres the square again; undo keeps it where it was, held to the canvas.
    QTest::newRow("zoomed in, moved, zoomed again")
        << QSize(450, 450) << "iimi" << QPoint(67, 67) << false << false;
    QTest::newRow("zoomed in, moved, undone")
        << QSize(450, 450) << "iimu" << QPoint(45, 45) << false << false;
}

void TestDiyDocument::outputSquareStaysOnTheCanvas()
{
    QFETCH(QSize, pictureSize);
    QFETCH(QString, steps);
    QFETCH(QPoint, corner);
    QFETCH(bool, besideLeftRight);
    QFETCH(bool, aboveBelow);
    QImage red(pictureSize, QImage::Format_RGB32);
    red.fill(Qt::red);
    DiyDocument doc(red);
    run(doc, steps);
    QCOMPARE(doc.outputRect(), QRect(corner, QSize(450, 450)));
    const QImage out = doc.outputImage(Qt::green);
    const QRgb green = qRgb(0, 255, 0);
    QCOMPARE(out.pixel(0, 225) == green, besideLeftRight);
    QCOMPARE(out.pixel(449, 225) == green, besideLeftRight);
    QCOMPARE(out.pixel(225, 0) == green, aboveBelow);
    QCOMPARE(out.pixel(225, 449) == green, aboveBelow);
    QCOMPARE(out.pixel(225, 225), qRgb(255, 0, 0));
}

QTEST_GUILESS_MAIN(TestDiyDocument)
#include "test_diy_document.moc"
