#include "DiyTestSupport.h"

#include "ui/diy/RoundAreaWidget.h"

#include <QtTest>

// The marker must show exactly the disc the sampler reads, and drag like a grabbed sheet.
class TestDiyRoundArea : public QObject
{
    Q_OBJECT
private slots:
    void maskMarksTheSampledDisc_data();
    void maskMarksTheSampledDisc();
    void dragMovesByTheMouseTravel_data();
    void dragMovesByTheMouseTravel();
    void releasePassesToTheParent();
};

void TestDiyRoundArea::maskMarksTheSampledDisc_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("red");
    // The outermost LED of the line at 90 degrees sits at (225, 1): the circle passes there.
    QTest::newRow("top") << QPoint(225, 1) << true;
    QTest::newRow("bottom") << QPoint(225, 449) << true;
    QTest::newRow("left") << QPoint(1, 225) << true;
    QTest::newRow("right") << QPoint(449, 225) << true;
    QTest::newRow("hub") << QPoint(225, 225) << true;
    QTest::newRow("inside") << QPoint(225, 100) << false;
    QTest::newRow("corner") << QPoint(0, 0) << false;
    QTest::newRow("outside top edge") << QPoint(225, 0) << false;
}

void TestDiyRoundArea::maskMarksTheSampledDisc()
{
    QFETCH(QPoint, at);
    QFETCH(bool, red);
    const QImage mask = RoundAreaWidget::maskImage();
    QCOMPARE(mask.size(), QSize(450, 450));
    const QColor c = mask.pixelColor(at);
    if (red) {
        QCOMPARE(c.alpha(), 255);
        QCOMPARE(c.red(), 255);
        QCOMPARE(c.green(), 0);
    } else {
        QCOMPARE(c.alpha(), 0);
    }
}

void TestDiyRoundArea::dragMovesByTheMouseTravel_data()
{
    QTest::addColumn<bool>("confined");
    QTest::addColumn<Qt::MouseButtons>("held");
    QTest::addColumn<QPoint>("travel");
    QTest::addColumn<QPoint>("expected");
    // The marker starts at (100, 50) in a 1000 x 800 parent.
    QTest::newRow("free drag") << false << Qt::MouseButtons(Qt::LeftButton) << QPoint(30, -20)
                               << QPoint(130, 30);
    QTest::newRow("free drag beyond the parent")
        << false << Qt::MouseButtons(Qt::LeftButton) << QPoint(-300, 0) << QPoint(-200, 50);
    QTest::newRow("no button held") << false << Qt::MouseButtons(Qt::NoButton)
                                    << QPoint(30, 20) << QPoint(100, 50);
    QTest::newRow("right button held") << false << Qt::MouseButtons(Qt::RightButton)
                                       << QPoint(30, 20) << QPoint(100, 50);
    QTest::newRow("confined left and up") << true << Qt::MouseButtons(Qt::LeftButton)
                                          << QPoint(-300, -300) << QPoint(0, 0);
    QTest::newRow("confined right and down") << true << Qt::MouseButtons(Qt::LeftButton)
                                             << QPoint(900, 900) << QPoint(550, 350);
}

void TestDiyRoundArea::dragMovesByTheMouseTravel()
{
    QFETCH(bool, confined);
    QFETCH(Qt::MouseButtons, held);
    QFETCH(QPoint, travel);
    QFETCH(QPoint, expected);
    QWidget parent;
    parent.resize(1000, 800);
    auto *area = new RoundAreaWidget(&parent);
    area->move(100, 50);
    area->setConfinedToParent(confined);
    parent.show();
    QSignalSpy moved(area, &RoundAreaWidget::moved);

    const QPoint grab(200, 300);
    pressAt(area, grab);
    // Each move is given in the marker's coordinates of the moment, as the mouse crosses it.
    const QPoint half = travel / 2;
    moveTo(area, grab + half, held);
    moveTo(area, grab + travel - (area->pos() - QPoint(100, 50)), held);
    releaseAt(area, grab);
    QCOMPARE(area->pos(), expected);
    QCOMPARE(area->size(), QSize(450, 450));
    QCOMPARE(moved.isEmpty(), expected == QPoint(100, 50));
}

void TestDiyRoundArea::releasePassesToTheParent()
{
    QWidget parent;
    parent.resize(600, 600);
    auto *area = new RoundAreaWidget(&parent);
    parent.show();
    pressAt(area, QPoint(10, 10));
    QVERIFY(!sendMouse(area, QEvent::MouseButtonRelease, QPoint(10, 10)));
}

QTEST_MAIN(TestDiyRoundArea)
#include "test_diy_round_area.moc"
