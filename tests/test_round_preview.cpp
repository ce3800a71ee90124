// The round preview scales with its widget: the picture fills the largest centred circle at
// any size and device pixel ratio, cut to white outside it, and stays as sharp as the
// device pixels allow.

#include "ui/main/RoundPreviewWidget.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>

namespace {

constexpr int kSide = 450;
const QColor kLeft(220, 30, 40);
const QColor kRight(30, 60, 210);
const QColor kRing(20, 200, 60);

// A sampling preview as the conversion makes them: black square, the picture inside the
// circle. Here the disc is red on the left and blue on the right with a green ring at a
// quarter of the side from the centre; a band of one-pixel stripes runs across the lower half.
QImage testPicture()
{
    QImage picture(kSide, kSide, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLeft);
    painter.drawPie(QRectF(0, 0, kSide, kSide), 90 * 16, 180 * 16);
    painter.setBrush(kRight);
    painter.drawPie(QRectF(0, 0, kSide, kSide), -90 * 16, 180 * 16);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kRing, 12));
    painter.drawEllipse(QPointF(kSide / 2.0, kSide / 2.0), kSide / 4.0, kSide / 4.0);
    painter.end();
    for (int y = 300; y < 320; ++y) {
        for (int x = 150; x < 300; ++x)
            picture.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return picture;
}

bool near(const QColor &a, const QColor &b, int tolerance = 24)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

} // namespace

class TestRoundPreview : public QObject
{
    Q_OBJECT

    // The widget as it appears on a screen of the given ratio, in device pixels.
    static QImage render(RoundPreviewWidget &widget, qreal ratio)
    {
        QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::magenta);
        widget.render(&image);
        return image;
    }

private slots:
    void pictureFillsTheCircleAtAnySize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("as made") << QSize(450, 450) << 1.0;
        QTest::newRow("small") << QSize(200, 200) << 1.0;
        QTest::newRow("wide") << QSize(700, 380) << 1.0;
        QTest::newRow("tall, odd") << QSize(301, 523) << 1.0;
        QTest::newRow("large") << QSize(900, 900) << 1.0;
        QTest::newRow("high DPI") << QSize(300, 300) << 2.0;
        QTest::newRow("high DPI, wide") << QSize(520, 360) << 2.0;
        QTest::newRow("fractional ratio") << QSize(400, 420) << 1.5;
    }

    void pictureFillsTheCircleAtAnySize()
    {
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        RoundPreviewWidget widget;
        widget.resize(size);
        widget.showPicture(testPicture());
        const QImage shown = render(widget, ratio);
        QCOMPARE(shown.size(), size * ratio);

        // The circle: the largest centred square, in device pixels.
        const double side = std::min(size.width(), size.height()) * ratio;
        const double left = (size.width() * ratio - side) / 2.0;
        const double top = (size.height() * ratio - side) / 2.0;
        const auto at = [&](double fx, double fy) {
            return shown.pixelColor(int(left + fx * side), int(top + fy * side));
        };
        const auto expect = [&](double fx, double fy, const QColor &colour, const char *what) {
            const QColor seen = at(fx, fy);
            QVERIFY2(near(seen, colour), qPrintable(QStringLiteral("%1 at (%2, %3): %4")
                                                        .arg(QLatin1String(what)).arg(fx).arg(fy)
                                                        .arg(describe(seen))));
        };
        expect(0.30, 0.50, kLeft, "left half");
        expect(0.70, 0.40, kRight, "right half");
        expect(0.25, 0.50, kRing, "ring, left");
        expect(0.50, 0.25, kRing, "ring, top");
        expect(0.75, 0.50, kRing, "ring, right");
        expect(0.08, 0.50, kLeft, "inside the left edge");
        expect(0.92, 0.50, kRight, "inside the right edge");
        // Round, not square: the corners of the square are white, the sides just inside
        // the circle still the picture.
        for (double fx : {0.04, 0.96}) {
            for (double fy : {0.04, 0.96})
                expect(fx, fy, Qt::white, "corner");
        }
        const double d = 0.5 - 0.47 / std::sqrt(2.0);
        expect(d, d, kLeft, "inside the circle on the diagonal");
        expect(1 - d, 1 - d, kRight, "inside the circle on the diagonal");
        // Beside the square the widget is white too.
        if (left >= 2)
            QCOMPARE(shown.pixelColor(int(left / 2), shown.height() / 2), QColor(Qt::white));
        if (top >= 2)
            QCOMPARE(shown.pixelColor(shown.width() / 2, int(top / 2)), QColor(Qt::white));
        // The circle's edge on the middle row lies where the scaled circle's does.
        const int row = int(top + side / 2);
        int first = -1;
        for (int x = 0; x < shown.width() && first < 0; ++x) {
            if (!near(shown.pixelColor(x, row), Qt::white, 8))
                first = x;
        }
        QVERIFY2(std::abs(first - left) <= 1.5,
                 qPrintable(QStringLiteral("edge at %1, circle from %2").arg(first).arg(left)));
    }

    void detailFollowsTheDevicePixels_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<qreal>("ratio");
        // A side of 300 shows the stripes on a high-DPI screen (600 device pixels); painted at
        // 300 pixels and enlarged they would be grey.
        QTest::newRow("300 at ratio 2") << 300 << 2.0;
        QTest::newRow("600 at ratio 1") << 600 << 1.0;
        QTest::newRow("450 at ratio 1") << 450 << 1.0;
    }

    void detailFollowsTheDevicePixels()
    {
        QFETCH(int, side);
        QFETCH(qreal, ratio);
        RoundPreviewWidget widget;
        widget.resize(side, side);
        widget.showPicture(testPicture());
        const QImage shown = render(widget, ratio);
        const double scale = side * ratio / kSide;
        const int y = int(310 * scale);
        int low = 255;
        int high = 0;
        for (int x = int(200 * scale); x < int(250 * scale); ++x) {
            const int grey = qGray(shown.pixel(x, y));
            low = std::min(low, grey);
            high = std::max(high, grey);
        }
        QVERIFY2(high - low > 120, qPrintable(QStringLiteral("stripes %1 .. %2").arg(low).arg(high)));
    }

    void whatIsShownFollowsTheCalls_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::addColumn<int>("content");
        QTest::addColumn<bool>("redOutline");
        QTest::addColumn<bool>("picture");
        QTest::newRow("at first") << "" << int(RoundPreviewWidget::Content::Outline) << true << false;
        QTest::newRow("picture") << "p" << int(RoundPreviewWidget::Content::Picture) << false << true;
        QTest::newRow("null picture is blank") << "n" << int(RoundPreviewWidget::Content::Blank)
                                               << false << false;
        QTest::newRow("picture then blank") << "pb" << int(RoundPreviewWidget::Content::Blank)
                                            << false << false;
        QTest::newRow("blank then outline") << "bo" << int(RoundPreviewWidget::Content::Outline)
                                            << true << false;
        QTest::newRow("outline then picture") << "op" << int(RoundPreviewWidget::Content::Picture)
                                              << false << true;
    }

    void whatIsShownFollowsTheCalls()
    {
        QFETCH(QString, calls);
        QFETCH(int, content);
        QFETCH(bool, redOutline);
        QFETCH(bool, picture);
        RoundPreviewWidget widget;
        widget.resize(320, 240);
        // Painted once before the change, so that nothing painted earlier can stand in.
        render(widget, 1.0);
        for (QChar call : calls) {
            if (call == u'p')
                widget.showPicture(testPicture());
            else if (call == u'n')
                widget.showPicture(QImage());
            else if (call == u'b')
                widget.showBlank();
            else
                widget.showOutline();
        }
        QCOMPARE(int(widget.content()), content);
        QCOMPARE(widget.picture().isNull(), !picture);
        const QImage shown = render(widget, 1.0);
        // The outline's rightmost point (where the picture is blue), the middle of the
        // circle's left half.
        const QRect circle = widget.circleRect();
        const QColor edge = shown.pixelColor(circle.right(), circle.center().y());
        QCOMPARE(edge.red() > 200 && edge.green() < 120, redOutline);
        const QColor inside = shown.pixelColor(circle.left() + circle.width() * 3 / 10,
                                               circle.center().y());
        QCOMPARE(near(inside, kLeft), picture);
        if (!picture)
            QCOMPARE(inside, QColor(Qt::white));
    }
};

QTEST_MAIN(TestRoundPreview)
#include "test_round_preview.moc"
