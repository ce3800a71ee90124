// The region dialog: where the marker starts, the zoom steps and their limits, a marker that
// stays within reach and unclipped, and the disc it draws.
#include "ui/import/GetImgeLocationDialog.h"
#include "ui/diy/RoundAreaWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

namespace {

void drag(QWidget *widget, const QPoint &by)
{
    const QPoint inside(225, 225);
    const QPoint global = widget->mapToGlobal(inside);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(inside), QPointF(global), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(inside + by), QPointF(global + by), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(inside + by), QPointF(global + by),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

QImage picture(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

} // namespace

class TestRegionDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("hologram.*=false")); }

    void zoomSteps_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<int>("zoom");

        QTest::newRow("1000 x 800 at start") << QSize(1000, 800) << 0 << QSize(1000, 800) << QPoint(275, 175) << 0;
        QTest::newRow("one step in") << QSize(1000, 800) << 1 << QSize(1100, 880) << QPoint(325, 215) << 1;
        QTest::newRow("two steps out") << QSize(1000, 800) << -2 << QSize(800, 640) << QPoint(175, 95) << -2;
        QTest::newRow("eleven steps out stop at nine")
            << QSize(1000, 800) << -11 << QSize(100, 80) << QPoint(-175, -185) << -9;
        QTest::newRow("300 x 300") << QSize(300, 300) << 0 << QSize(300, 300) << QPoint(-75, -75) << 0;
        QTest::newRow("25 steps in stop at 20") << QSize(20, 10) << 25 << QSize(60, 30) << QPoint(-195, -210) << 20;
    }

    void zoomSteps()
    {
        QFETCH(QSize, source);
        QFETCH(int, steps);
        QFETCH(QSize, shown);
        QFETCH(QPoint, topLeft);
        QFETCH(int, zoom);
        GetImgeLocationDialog dialog;
        dialog.setImage(picture(source));
        for (int i = 0; i < qAbs(steps); ++i)
            steps > 0 ? dialog.onBtnZoomIn() : dialog.onBtnZoomOut();
        QCOMPARE(dialog.zoom(), zoom);
        QCOMPARE(dialog.shownImageSize(), shown);
        QCOMPARE(dialog.frameTopLeft(), topLeft);
        auto *button = dialog.findChild<QPushButton *>(steps > 0 ? "btnZoomIn" : "btnZoomOut");
        QCOMPARE(button->isEnabled(), zoom == steps);
    }

    // Dragged far off, the marker stops where it still covers as much of the picture as it
    // can; it is never clipped by a smaller picture.
    void markerStaysInReach_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("large, small move") << QSize(1000, 800) << QPoint(-30, 20) << QPoint(245, 195);
        QTest::newRow("large, far right and down") << QSize(1000, 800) << QPoint(5000, 5000) << QPoint(550, 350);
        QTest::newRow("large, far left and up") << QSize(1000, 800) << QPoint(-5000, -5000) << QPoint(0, 0);
        QTest::newRow("small, far right") << QSize(300, 200) << QPoint(3000, 0) << QPoint(0, -125);
        QTest::newRow("small, far left and up") << QSize(300, 200) << QPoint(-3000, -3000) << QPoint(-150, -250);
    }

    void markerStaysInReach()
    {
        QFETCH(QSize, source);
        QFETCH(QPoint, by);
        QFETCH(QPoint, topLeft);
        GetImgeLocationDialog dialog;
        dialog.setImage(picture(source));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        drag(dialog.marker(), by);
        QCOMPARE(dialog.frameTopLeft(), topLeft);
        QWidget *stage = dialog.marker()->parentWidget();
        QVERIFY(stage->rect().contains(dialog.marker()->geometry()));
        // A resize of the dialog keeps the chosen square.
        dialog.resize(1000, 900);
        QTRY_COMPARE(dialog.frameTopLeft(), topLeft);
        QVERIFY(stage->rect().contains(dialog.marker()->geometry()));
    }

    void markerIsTheSampledDisc()
    {
        const QImage marker = GetImgeLocationDialog::markerPicture();
        QCOMPARE(marker.size(), QSize(450, 450));
        QCOMPARE(qAlpha(marker.pixel(225, 225)), 0);
        QCOMPARE(qAlpha(marker.pixel(0, 0)), 0);
        // Radius 224 about (225, 225): the outline passes through (225, 1) and (449, 225).
        QVERIFY(qAlpha(marker.pixel(225, 1)) > 100);
        QVERIFY(qRed(marker.pixel(449, 225)) > 100);
        QCOMPARE(qGreen(marker.pixel(449, 225)), 0);
    }
};

QTEST_MAIN(TestRegionDialog)
#include "test_region_dialog.moc"
