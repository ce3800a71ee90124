// The fast dot renderer against QPainter, and the round preview drawn with it.
#include "app/AppGlobals.h"
#include "model/ColourTableInverse.h"
#include "model/DotRenderer.h"
#include "model/ImageObject.h"
#include "model/RoundPreview.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {
QImage blackCanvas(int side)
{
    QImage canvas(side, side, QImage::Format_ARGB32);
    canvas.fill(qRgba(0, 0, 0, 255));
    return canvas;
}

struct Dot {
    double x;
    double y;
    QRgb colour;
};

QImage drawFast(int side, const QList<Dot> &dots)
{
    QImage canvas = blackCanvas(side);
    DotRenderer renderer(canvas);
    for (const Dot &d : dots)
        renderer.drawDot(d.x, d.y, d.colour);
    return canvas;
}

QImage drawWithPainter(int side, const QList<Dot> &dots)
{
    QImage canvas = blackCanvas(side);
    QPainter painter(&canvas);
    for (const Dot &d : dots)
        DotRenderer::paintDot(painter, d.x, d.y, QColor::fromRgb(d.colour));
    painter.end();
    return canvas;
}

QList<Dot> randomDots(int count, double from, double to, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<Dot> dots;
    for (int i = 0; i < count; ++i) {
        const double x = from + random.generateDouble() * (to - from);
        const double y = from + random.generateDouble() * (to - from);
        dots.append({x, y, qRgb(random.bounded(256), random.bounded(256), random.bounded(256))});
    }
    return dots;
}

// Where two pictures first differ, for a readable failure.
QString firstDifference(const QImage &a, const QImage &b)
{
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): %3 vs %4")
                    .arg(x).arg(y).arg(a.pixel(x, y), 8, 16).arg(b.pixel(x, y), 8, 16);
        }
    }
    return {};
}
} // namespace

class TestModelDots : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void stampsMeasured();
    void singleDotsEqualPainter_data();
    void singleDotsEqualPainter();
    void overlappingDotsEqualPainter();
    void quarterAndHalfPositions();
    void roundPreviewGreenRedOrder();
    void roundPreviewAllZeroIsBlack();
    void roundPreviewShortBlockIsPartial();
    void roundPreviewHubAndTopDots();
    void roundPreviewSingleLedAtHub();
    void renderRoundPreviewWritesItemPreview();

private:
    QTemporaryDir tempDir;
};

void TestModelDots::initTestCase()
{
    QVERIFY(tempDir.isValid());
    initAppGlobals(tempDir.path());
}

void TestModelDots::stampsMeasured()
{
    // Without stamps every dot would silently take the slow path.
    QVERIFY(DotRenderer::stampsAvailable());
}

void TestModelDots::singleDotsEqualPainter_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<quint32>("seed");
    // Small canvas: positions inside, on the border and partly or wholly outside it.
    QTest::newRow("inside") << 4.0 << 20.0 << 1u;
    QTest::newRow("across the border") << -4.0 << 28.0 << 2u;
    QTest::newRow("near the top left corner") << -2.5 << 3.5 << 3u;
    QTest::newRow("near the bottom right corner") << 20.5 << 26.5 << 4u;
}

void TestModelDots::singleDotsEqualPainter()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(quint32, seed);
    const QList<Dot> dots = randomDots(3000, from, to, seed);
    for (const Dot &dot : dots) {
        const QImage fast = drawFast(24, {dot});
        const QImage reference = drawWithPainter(24, {dot});
        if (fast != reference) {
            QFAIL(qPrintable(QStringLiteral("dot at (%1, %2) differs at %3")
                                 .arg(dot.x, 0, 'g', 17).arg(dot.y, 0, 'g', 17)
                                 .arg(firstDifference(fast, reference))));
        }
    }
}

void TestModelDots::overlappingDotsEqualPainter()
{
    // The preview's real use: tens of thousands of overlapping dots in drawing order.
    const QList<Dot> dots = randomDots(30000, -3.0, 453.0, 5u);
    const QImage fast = drawFast(450, dots);
    const QImage reference = drawWithPainter(450, dots);
    QVERIFY2(fast == reference, qPrintable(firstDifference(fast, reference)));
}

void TestModelDots::quarterAndHalfPositions()
{
    // Exact binary fractions sit on or next to the raster engine's own thresholds.
    QList<Dot> dots;
    for (int i = 0; i < 64; ++i) {
        for (int j = 0; j < 64; ++j)
            dots.append({10 + i / 64.0, 10 + j / 64.0, qRgb(255, 255, 255)});
    }
    for (const Dot &dot : dots)
        QCOMPARE(drawFast(24, {dot}), drawWithPainter(24, {dot}));
}

namespace {

QRgb shown(int red, int green, int blue)
{
    return ColourTableInverse::current().shown(red, green, blue);
}

} // namespace

void TestModelDots::roundPreviewGreenRedOrder()
{
    const int leds = 112, lines = 430;
    QByteArray triples;
    for (int i = 0; i < leds * lines; ++i)
        triples.append(char(0)).append(char(255)).append(char(0));
    const QImage image = roundPreviewImage(450, triples, leds, lines);
    QCOMPARE(image.size(), QSize(450, 450));
    QCOMPARE(image.pixel(225, 225), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(225, 100), qRgb(255, 0, 0));
    // Corners lie outside the disc.
    QCOMPARE(image.pixel(5, 5), qRgb(0, 0, 0));
}

void TestModelDots::roundPreviewAllZeroIsBlack()
{
    const QImage image = roundPreviewImage(450, QByteArray(112 * 430 * 3, '\0'), 112, 430);
    QImage black = blackCanvas(450);
    QCOMPARE(image, black);
}

void TestModelDots::roundPreviewShortBlockIsPartial()
{
    // Half of line 0 and a dangling byte: only the outer half of the first line is drawn.
    const int leds = 112;
    QByteArray triples;
    for (int i = 0; i < leds / 2; ++i)
        triples.append(char(255)).append(char(255)).append(char(255));
    triples.append(char(255));
    const QImage image = roundPreviewImage(450, triples, leds, 430);
    QCOMPARE(image.pixel(225, 3), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(225, 100), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(225, 225), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(100, 225), qRgb(0, 0, 0));
}

void TestModelDots::roundPreviewHubAndTopDots()
{
    // The first LED of line 0 is drawn where the sampler reads it, (size / 2, 1) at 450, the
    // hub LED at the centre, each in the colour its drive values show: with one line of two
    // LEDs the picture equals these two dots drawn by QPainter.
    QByteArray triples;
    triples.append(char(10)).append(char(20)).append(char(30));
    triples.append(char(40)).append(char(50)).append(char(60));
    const QImage image = roundPreviewImage(450, triples, 2, 1);
    const QImage reference =
        drawWithPainter(450, {{225.0, 1.0, shown(20, 10, 30)}, {225.0, 225.0, shown(50, 40, 60)}});
    QVERIFY2(image == reference, qPrintable(firstDifference(image, reference)));
}

void TestModelDots::roundPreviewSingleLedAtHub()
{
    QByteArray triples;
    for (int line = 0; line < 4; ++line)
        triples.append(char(0)).append(char(0)).append(char(200));
    const QImage image = roundPreviewImage(450, triples, 1, 4);
    const QImage reference = drawWithPainter(450, {{225.0, 225.0, shown(0, 0, 200)}});
    QCOMPARE(image, reference);
}

void TestModelDots::renderRoundPreviewWritesItemPreview()
{
    ledCount = 36;
    lineNumber = 360;
    QByteArray triples;
    for (int i = 0; i < 36 * 360; ++i)
        triples.append(char(0)).append(char(0)).append(char(255));
    ImageObject item(1, QString(), 0.2, ImageObject::KindReadPicture);
    renderRoundPreview(&item, 450, triples);
    const QImage saved = item.loadSamplingPreview();
    QCOMPARE(saved.convertToFormat(QImage::Format_ARGB32),
             roundPreviewImage(450, triples, 36, 360));
    QCOMPARE(saved.pixel(225, 225), qRgb(0, 0, 255));
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
}

QTEST_GUILESS_MAIN(TestModelDots)
#include "test_model_dots.moc"
