// Smooth sampling: sector weights, linear-light averaging, and the item keeping its mode.
#include "app/AppGlobals.h"
#include "model/DataBitCalculation.h"
#include "model/ImageContrast.h"
#include "model/ImageObject.h"
#include "model/LinearLight.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"
#include "model/SectorWeights.h"
#include "model/TestColorUtil.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

namespace {
constexpr int kSide = RoundSquare::Side;

QImage filled(QRgb colour, QSize size = QSize(kSide, kSide))
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// One-pixel black and white squares.
QImage checkerboard()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            image.setPixel(x, y, (x + y) % 2 ? 0xffffffffu : 0xff000000u);
    return image;
}

QByteArray convert(const QImage &picture, SamplingMode mode)
{
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    item.sampling = mode;
    convertPicture(picture, &item, nullptr, ReadImageThread::SamplingPreview::Skip);
    return item.readLedData();
}

// Corrected green byte (bits 7 to 2) of the outermost LED of every line.
std::vector<int> rimGreens(const QByteArray &data, int leds, int lines)
{
    const int block = DataBitCalculation::lineBlockSize(leds);
    const int count = 3 * leds;
    std::vector<int> greens;
    for (int k = 0; k < lines; ++k) {
        int green = 0;
        for (int plane = 7; plane >= 2; --plane) {
            const int j = (7 - plane) * count + 1;  // byte 1 of the first triple
            const uchar byte = uchar(data[k * block + j / 8]);
            green |= ((byte >> (7 - j % 8)) & 1) << plane;
        }
        greens.push_back(green);
    }
    return greens;
}

constexpr int kBlock = 25;
constexpr int kBlocks = kSide / kBlock;

// Area of the disc about the hub inside each block of kBlock x kBlock pixels, measured on a
// grid finer than the weights'.
const std::vector<double> &discAreaPerBlock()
{
    static const std::vector<double> areas = [] {
        constexpr int fine = 12;
        const double r2 = SectorWeights::DiscRadius * SectorWeights::DiscRadius;
        const double hub = kSide / 2.0;
        std::vector<double> result(kBlocks * kBlocks, 0.0);
        for (int y = 0; y < kSide * fine; ++y) {
            const double dy = (y + 0.5) / fine - 0.5 - hub;
            for (int x = 0; x < kSide * fine; ++x) {
                const double dx = (x + 0.5) / fine - 0.5 - hub;
                if (dx * dx + dy * dy < r2)
                    result[(y / fine / kBlock) * kBlocks + x / fine / kBlock] += 1.0 / (fine * fine);
            }
        }
        return result;
    }();
    return areas;
}
} // namespace

class TestModelSmooth : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void linearLightRoundTrip_data();
    void linearLightRoundTrip();
    void flatColourSameInBothModes_data();
    void flatColourSameInBothModes();
    void checkerboardAtTheRim_data();
    void checkerboardAtTheRim();
    void weightsCoverTheDisc_data();
    void weightsCoverTheDisc();
    void reconversionKeepsTheMode_data();
    void reconversionKeepsTheMode();
    void sharedWeightsAcrossThreads_data();
    void sharedWeightsAcrossThreads();

private:
    QTemporaryDir *tempDir = nullptr;
};

void TestModelSmooth::init()
{
    tempDir = new QTemporaryDir;
    QVERIFY(tempDir->isValid());
    initAppGlobals(tempDir->path());
}

void TestModelSmooth::cleanup()
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
    delete tempDir;
    tempDir = nullptr;
}

void TestModelSmooth::linearLightRoundTrip_data()
{
    QTest::addColumn<float>("linear");
    QTest::addColumn<int>("expected");
    QTest::newRow("black") << 0.0f << 0;
    QTest::newRow("white") << 1.0f << 255;
    QTest::newRow("half the light") << 0.5f << 188;
    QTest::newRow("below black") << -0.25f << 0;
    QTest::newRow("above white") << 1.5f << 255;
    QTest::newRow("not a number") << std::nanf("") << 0;
}

void TestModelSmooth::linearLightRoundTrip()
{
    QFETCH(float, linear);
    QFETCH(int, expected);
    QCOMPARE(int(LinearLight::instance().encode(linear)), expected);
    for (int v = 0; v < 256; ++v)
        QCOMPARE(int(LinearLight::instance().encode(LinearLight::instance().decode(uchar(v)))), v);
}

void TestModelSmooth::flatColourSameInBothModes_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QSize>("size");
    QTest::newRow("112 x 430 white") << 112 << 430 << qRgb(255, 255, 255) << QSize(kSide, kSide);
    QTest::newRow("112 x 430 odd colour") << 112 << 430 << qRgb(37, 200, 91) << QSize(kSide, kSide);
    QTest::newRow("112 x 430 dark") << 112 << 430 << qRgb(1, 2, 3) << QSize(kSide, kSide);
    QTest::newRow("36 x 360 mid grey") << 36 << 360 << qRgb(128, 128, 128) << QSize(kSide, kSide);
    QTest::newRow("1 x 1") << 1 << 1 << qRgb(200, 10, 250) << QSize(kSide, kSide);
    QTest::newRow("1 x 430") << 1 << 430 << qRgb(90, 180, 45) << QSize(kSide, kSide);
    QTest::newRow("112 x 1") << 112 << 1 << qRgb(254, 253, 252) << QSize(kSide, kSide);
    QTest::newRow("500 x 600") << 500 << 600 << qRgb(64, 32, 16) << QSize(kSide, kSide);
    // Pictures that are not a 450 x 450 square on their way in; none at all reads as black.
    QTest::newRow("small and wide") << 112 << 430 << qRgb(10, 250, 128) << QSize(31, 7);
    QTest::newRow("large, indexed") << 36 << 360 << qRgb(99, 99, 1) << QSize(1000, 2000);
    QTest::newRow("null picture") << 112 << 430 << qRgb(0, 0, 0) << QSize();
}

void TestModelSmooth::flatColourSameInBothModes()
{
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(QRgb, colour);
    QFETCH(QSize, size);
    ledCount = leds;
    lineNumber = lines;
    QImage picture = filled(colour, size);
    if (size.height() > 1000)
        picture = picture.convertToFormat(QImage::Format_Indexed8);
    const QByteArray sharp = convert(picture, SamplingMode::Sharp);
    QCOMPARE(sharp.size(), qsizetype(DataBitCalculation::ledDataLength(leds, lines)));
    QCOMPARE(convert(picture, SamplingMode::Smooth), sharp);
}

void TestModelSmooth::checkerboardAtTheRim_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<SamplingMode>("mode");
    QTest::addColumn<bool>("grey");
    QTest::newRow("112 x 430 smooth") << 112 << 430 << SamplingMode::Smooth << true;
    QTest::newRow("112 x 430 sharp") << 112 << 430 << SamplingMode::Sharp << false;
    QTest::newRow("36 x 360 smooth") << 36 << 360 << SamplingMode::Smooth << true;
    QTest::newRow("36 x 360 sharp") << 36 << 360 << SamplingMode::Sharp << false;
    QTest::newRow("112 x 600 smooth") << 112 << 600 << SamplingMode::Smooth << true;
}

void TestModelSmooth::checkerboardAtTheRim()
{
    // A rim sector covers a few pixels: about half of its light is white. Sharp sampling
    // sees one pixel, black or white.
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(SamplingMode, mode);
    QFETCH(bool, grey);
    ledCount = leds;
    lineNumber = lines;
    const TestColorUtil *table = TestColorUtil::getInstance();
    const int darkest = table->getTestGValue(LinearLight::instance().encode(0.3f)) & 0xfc;
    const int brightest = table->getTestGValue(LinearLight::instance().encode(0.7f)) & 0xfc;
    const int mid = table->getTestGValue(LinearLight::instance().encode(0.5f)) & 0xfc;
    double sum = 0.0;
    const std::vector<int> greens = rimGreens(convert(checkerboard(), mode), leds, lines);
    for (const int green : greens) {
        const bool inBand = green >= darkest && green <= brightest;
        QVERIFY2(inBand == grey, qPrintable(QStringLiteral("green %1").arg(green)));
        sum += green;
    }
    if (grey)
        QVERIFY(std::abs(sum / greens.size() - mid) <= 8.0);
}

void TestModelSmooth::weightsCoverTheDisc_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::newRow("112 x 430") << 112 << 430;
    QTest::newRow("36 x 360") << 36 << 360;
    QTest::newRow("500 x 600") << 500 << 600;
    QTest::newRow("1 x 1") << 1 << 1;
    QTest::newRow("1 x 7") << 1 << 7;
    QTest::newRow("5 x 1") << 5 << 1;
    QTest::newRow("2 x 3") << 2 << 3;
}

void TestModelSmooth::weightsCoverTheDisc()
{
    // Every LED's weights sum to one and lie on its own sector (give or take the half
    // diagonal of a pixel), and the sectors laid on the square cover the disc: each block of
    // pixels holds the disc's area inside it, no more (overlaps) and no less (gaps).
    QFETCH(int, leds);
    QFETCH(int, lines);
    const SectorWeights weights(leds, lines);
    std::vector<double> covered(std::size_t(kSide) * kSide, 0.0);
    double total = 0.0;
    const double spacing = leds > 1 ? 224.0 / (leds - 1) : 0.0;
    const double halfWidth = std::numbers::pi / lines;
    const double slack = std::sqrt(0.5);
    for (int k = 0; k < lines; ++k) {
        const double angle = std::numbers::pi / 2 + 2 * halfWidth * k;
        for (int i = 0; i < leds; ++i) {
            const double inner = std::max(0.0, (i - 0.5) * spacing);
            const double outer = i == leds - 1 ? SectorWeights::DiscRadius : (i + 0.5) * spacing;
            double sum = 0.0;
            for (auto w = weights.begin(k, i); w != weights.end(k, i); ++w) {
                QVERIFY(w->pixel >= 0 && w->pixel < kSide * kSide);
                QVERIFY(w->weight > 0.0f);
                const double dx = w->pixel % kSide - kSide / 2.0;
                const double dy = kSide / 2.0 - w->pixel / kSide;
                const double r = std::hypot(dx, dy);
                QVERIFY2(r >= inner - slack && r <= outer + slack,
                         qPrintable(QStringLiteral("line %1 LED %2 radius %3").arg(k).arg(i).arg(r)));
                const double off = std::abs(std::remainder(std::atan2(dy, dx) - angle, 2 * std::numbers::pi));
                QVERIFY2(r <= slack || off <= halfWidth + std::asin(std::min(1.0, slack / r)) + 1e-9,
                         qPrintable(QStringLiteral("line %1 LED %2 angle off by %3").arg(k).arg(i).arg(off)));
                sum += w->weight;
                covered[w->pixel] += w->weight * weights.sectorArea(k, i);
            }
            QVERIFY2(std::abs(sum - 1.0) < 1e-5, qPrintable(QStringLiteral("line %1 LED %2").arg(k).arg(i)));
            total += weights.sectorArea(k, i);
        }
    }
    const double disc = std::numbers::pi * SectorWeights::DiscRadius * SectorWeights::DiscRadius;
    QVERIFY(std::abs(total - disc) < disc * 1e-9);

    std::vector<double> inBlock(kBlocks * kBlocks, 0.0);
    for (int p = 0; p < kSide * kSide; ++p)
        inBlock[(p / kSide / kBlock) * kBlocks + p % kSide / kBlock] += covered[p];
    for (int b = 0; b < kBlocks * kBlocks; ++b) {
        const double expected = discAreaPerBlock()[b];
        QVERIFY2(std::abs(inBlock[b] - expected) <= 0.05 * kBlock * kBlock,
                 qPrintable(QStringLiteral("block %1: %2 instead of %3")
                                .arg(b).arg(inBlock[b]).arg(expected)));
    }
}

void TestModelSmooth::reconversionKeepsTheMode_data()
{
    QTest::addColumn<SamplingMode>("mode");
    QTest::newRow("sharp") << SamplingMode::Sharp;
    QTest::newRow("smooth") << SamplingMode::Smooth;
}

void TestModelSmooth::reconversionKeepsTheMode()
{
    // A contrast change converts the item again, the way it was converted first.
    QFETCH(SamplingMode, mode);
    const QImage picture = checkerboard();
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    item.sampling = mode;
    convertPicture(picture, &item);
    const QByteArray first = item.readLedData();
    QVERIFY(ImageContrast::apply({&item, 10, picture}));
    QCOMPARE(item.readLedData(), first);
    QCOMPARE(first, convert(picture, mode));
    const SamplingMode other = mode == SamplingMode::Sharp ? SamplingMode::Smooth : SamplingMode::Sharp;
    QVERIFY(first != convert(picture, other));
}

void TestModelSmooth::sharedWeightsAcrossThreads_data()
{
    QTest::addColumn<QList<int>>("ledsPerThread");
    QTest::newRow("one geometry") << QList<int>{112, 112, 112, 112};
    QTest::newRow("two geometries") << QList<int>{112, 36, 112, 36};
    // More geometries than are kept: some are dropped while others still use them.
    QTest::newRow("six geometries") << QList<int>{10, 11, 12, 13, 14, 15};
}

void TestModelSmooth::sharedWeightsAcrossThreads()
{
    // Conversions on several workers ask for the weights at once; each gets the weights of
    // its own geometry, and a weight set dropped from the cache lives on while in use.
    QFETCH(QList<int>, ledsPerThread);
    std::vector<std::shared_ptr<const SectorWeights>> got(ledsPerThread.size());
    std::vector<std::thread> threads;
    for (int t = 0; t < ledsPerThread.size(); ++t) {
        threads.emplace_back([&got, t, leds = ledsPerThread[t]] {
            got[t] = SectorWeights::forGeometry(leds, 60);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (int t = 0; t < ledsPerThread.size(); ++t) {
        QCOMPARE(got[t]->leds(), ledsPerThread[t]);
        QCOMPARE(got[t]->lines(), 60);
        for (int u = 0; u < t; ++u)
            QCOMPARE(got[u] == got[t], ledsPerThread[u] == ledsPerThread[t]);
    }
    const SectorWeights fresh(ledsPerThread[0], 60);
    for (int k = 0; k < 60; ++k) {
        for (int i = 0; i < ledsPerThread[0]; ++i) {
            QCOMPARE(got[0]->end(k, i) - got[0]->begin(k, i), fresh.end(k, i) - fresh.begin(k, i));
            QCOMPARE(got[0]->begin(k, i)->pixel, fresh.begin(k, i)->pixel);
        }
    }
}

QTEST_GUILESS_MAIN(TestModelSmooth)
#include "test_model_smooth.moc"
