// Rules of the effect layouts that do not need files: timing bytes, header parsing, the
// conversion between slotted colour triples and LED data.

#include "EffectTestSupport.h"

#include "effect/EffectFormat.h"
#include "effect/EffectPlaylist.h"
#include "effect/IndexedHeader.h"
#include "effect/LedDataCodec.h"
#include "effect/SlottedHeader.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <vector>

using namespace effecttest;

namespace {

// Every product time x repeat with time 2..255 and repeat 1..255.
std::vector<bool> storableProducts()
{
    std::vector<bool> storable(255 * 255 + 1, false);
    for (int t = 2; t <= 255; ++t)
        for (int r = 1; r <= 255; ++r)
            storable[t * r] = true;
    return storable;
}

int distanceToNearest(const std::vector<bool> &storable, int tenths)
{
    for (int d = 0;; ++d) {
        if (tenths - d >= 0 && storable[tenths - d])
            return d;
        if (tenths + d < int(storable.size()) && storable[tenths + d])
            return d;
    }
}

// Green, red, blue triples -> the blue, green, red order the coder takes.
QByteArray toCoderOrder(const QByteArray &grb)
{
    QByteArray bgr(grb.size(), '\0');
    for (int i = 0; i + 2 < grb.size(); i += 3) {
        bgr[i] = grb[i + 2];
        bgr[i + 1] = grb[i];
        bgr[i + 2] = grb[i + 1];
    }
    return bgr;
}

} // namespace

class TestEffectFormat : public QObject
{
    Q_OBJECT

private slots:
    void tenths_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("tenths");
        QTest::newRow("0.2") << 0.2 << qint64(2);
        QTest::newRow("5.3999999") << 5.3999999 << qint64(54);
        QTest::newRow("5.4000001") << 5.4000001 << qint64(54);
        QTest::newRow("sum of 0.2 steps") << [] {
            double t = 0.0;
            for (int i = 0; i < 27; ++i)
                t += 0.2;
            return t;
        }() << qint64(54);
        QTest::newRow("25.5") << 25.5 << qint64(255);
        QTest::newRow("0") << 0.0 << qint64(0);
        QTest::newRow("negative") << -1.0 << qint64(0);
        QTest::newRow("NaN") << std::nan("") << qint64(0);
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity()
                                  << qint64(255 * 255);
    }

    void tenths()
    {
        QFETCH(double, seconds);
        QFETCH(qint64, tenths);
        QCOMPARE(EffectFormat::tenthsOf(seconds), tenths);
    }

    void timingUpTo255TenthsIsUnchanged()
    {
        for (int tenths = 2; tenths <= 255; ++tenths) {
            const auto timing = EffectFormat::pictureTiming(tenths);
            QCOMPARE(timing.time, tenths);
            QCOMPARE(timing.repeat, 1);
        }
    }

    void timingIsTheNearestStorableProduct()
    {
        const std::vector<bool> storable = storableProducts();
        for (int tenths = 256; tenths <= 255 * 255; tenths += (tenths < 3000 ? 1 : 37)) {
            const auto timing = EffectFormat::pictureTiming(tenths);
            QVERIFY(timing.time >= 2 && timing.time <= 255);
            QVERIFY(timing.repeat >= 1 && timing.repeat <= 255);
            const int distance = int(std::llabs(timing.tenths() - tenths));
            if (distance != distanceToNearest(storable, tenths))
                QFAIL(qPrintable(QStringLiteral("%1 tenths stored as %2 x %3")
                                     .arg(tenths).arg(timing.time).arg(timing.repeat)));
        }
    }

    void timingOfAPrimeAbove255()
    {
        // 257 tenths has no factor pair in range: 256 or 258 are one tenth away.
        const auto timing = EffectFormat::pictureTiming(257);
        QCOMPARE(std::llabs(timing.tenths() - 257), 1LL);
    }

    void headerRoundTrip()
    {
        IndexedHeader header;
        header.languageByte = 0x11;
        header.recordCount = 9;
        header.segments = {{1, 1, 54, 1}, {2, 2, 250, 4}, {3, 8, 1, 255}, {9, 9, 2, 1}};
        const QByteArray bytes = header.toBytes();
        QCOMPARE(bytes.size(), 4096);
        QString error;
        const auto parsed = IndexedHeader::parse(bytes, &error);
        QVERIFY2(parsed, qPrintable(error));
        QCOMPARE(parsed->languageByte, quint8(0x11));
        QCOMPARE(parsed->recordCount, 9);
        QCOMPARE(parsed->segments, header.segments);
    }

    void badTablesAreRejected_data()
    {
        QTest::addColumn<int>("recordCount");
        QTest::addColumn<QList<IndexedHeader::Segment>>("segments");
        using S = IndexedHeader::Segment;
        QTest::newRow("starts after 1") << 3 << QList<S>{{2, 2, 50, 1}};
        QTest::newRow("gap") << 3 << QList<S>{{1, 1, 50, 1}, {3, 3, 50, 1}};
        QTest::newRow("overlap") << 3 << QList<S>{{1, 2, 1, 1}, {2, 3, 1, 1}};
        QTest::newRow("reversed") << 3 << QList<S>{{1, 1, 50, 1}, {3, 2, 1, 1}};
        QTest::newRow("beyond the count") << 2 << QList<S>{{1, 3, 1, 1}};
        QTest::newRow("huge clip") << 1 << QList<S>{{1, 65535, 1, 1}};
    }

    void badTablesAreRejected()
    {
        QFETCH(int, recordCount);
        QFETCH(QList<IndexedHeader::Segment>, segments);
        IndexedHeader header;
        header.recordCount = recordCount;
        header.segments = segments;
        QString error;
        QVERIFY(!IndexedHeader::parse(header.toBytes(), &error));
        QVERIFY(error.contains("segment"));
    }

    void magicIsRequiredAtBothEnds()
    {
        QByteArray bytes = IndexedHeader().toBytes();
        QVERIFY(IndexedHeader::hasMagic(bytes));
        QVERIFY(!IndexedHeader::hasMagic(bytes.left(3031)));
        QByteArray noEnd = bytes;
        noEnd[3025] = 0;
        QVERIFY(!IndexedHeader::hasMagic(noEnd));
        QByteArray noStart = bytes;
        noStart[7] = 0;
        QVERIFY(!IndexedHeader::hasMagic(noStart));
        QVERIFY(!IndexedHeader::parse(noStart, nullptr));
    }

    void slottedHeaderFields()
    {
        SlottedShape shape;
        shape.pictureCount = 77;
        shape.frameCounts = {2, 0, 255, 1, 9};
        shape.loopCounts = {1, 2, 3, 255, 0};
        const auto header = SlottedHeader::parse(slottedHeader(shape));
        QVERIFY(header);
        QCOMPARE(header->pictureCount, 77);
        QCOMPARE(header->frameCounts, shape.frameCounts);
        QCOMPARE(header->loopCounts, shape.loopCounts);
        QCOMPARE(header->timeBytes[0], 11);
        QCOMPARE(header->timeBytes[99], 110);
        QCOMPARE(header->totalFrames(), 267);
        QVERIFY(!SlottedHeader::parse(QByteArray(119, '\0')));
    }

    void slottedRecordCodesLikeAConversion_data()
    {
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("lines");
        QTest::newRow("112 x 430") << 112 << 430;
        QTest::newRow("36 x 360") << 36 << 360;
        QTest::newRow("35 LEDs, cut bits") << 35 << 7;
        QTest::newRow("1 LED") << 1 << 3;
    }

    void slottedRecordCodesLikeAConversion()
    {
        QFETCH(int, leds);
        QFETCH(int, lines);
        const QByteArray grb = pattern(3 * leds * lines, leds + lines);
        const QByteArray coded = LedDataCodec::codeSlottedRecord(grb, leds, lines);
        QCOMPARE(coded.size(), DataBitCalculation::ledDataLength(leds, lines));

        QByteArray expected;
        const QByteArray bgr = toCoderOrder(grb);
        for (int k = 0; k < lines; ++k)
            expected += DataBitCalculation::codeLine(bgr.mid(k * 3 * leds, 3 * leds));
        DataBitCalculation::appendPadding(expected);
        QCOMPARE(coded, expected);
    }

    void decodingGivesTheTriplesWithoutTheDroppedBits_data()
    {
        slottedRecordCodesLikeAConversion_data();
    }

    void decodingGivesTheTriplesWithoutTheDroppedBits()
    {
        QFETCH(int, leds);
        QFETCH(int, lines);
        const QByteArray grb = pattern(3 * leds * lines, 3 * leds + lines);
        const QByteArray coded = LedDataCodec::codeSlottedRecord(grb, leds, lines);
        const QByteArray decoded = LedDataCodec::decodeToSlottedTriples(coded, leds, lines);
        QCOMPARE(decoded.size(), grb.size());

        // A line keeps floor(18 N / 8) whole bytes of its bit stream; the bits of planes 2
        // (and 3) of the last bytes fall off when N is not a multiple of 4.
        const int lineBytes = 3 * leds;
        const int keptBits = DataBitCalculation::lineBlockSize(leds) * 8;
        for (int i = 0; i < grb.size(); ++i) {
            const int b = i % lineBytes;
            // Position of this byte in the coded (blue, green, red) order.
            const int coderIndex = (b / 3) * 3 + (b % 3 == 0 ? 1 : b % 3 == 1 ? 2 : 0);
            int mask = 0;
            for (int plane = 7; plane >= 2; --plane)
                if ((7 - plane) * lineBytes + coderIndex < keptBits)
                    mask |= 1 << plane;
            if (quint8(decoded[i]) != (quint8(grb[i]) & mask))
                QFAIL(qPrintable(QStringLiteral("byte %1: %2 decoded, %3 & %4 expected")
                                     .arg(i).arg(quint8(decoded[i])).arg(quint8(grb[i]))
                                     .arg(mask)));
        }
    }

    void decodingShortDataStopsAtTheLastWholeLine()
    {
        const QByteArray grb = pattern(3 * 8 * 10, 5);
        const QByteArray coded = LedDataCodec::codeSlottedRecord(grb, 8, 10);
        const int block = DataBitCalculation::lineBlockSize(8);
        QCOMPARE(LedDataCodec::decodeToSlottedTriples(coded.left(3 * block + 1), 8, 10).size(),
                 3 * 3 * 8);
        QVERIFY(LedDataCodec::decodeToSlottedTriples(QByteArray(), 8, 10).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEffectFormat)
#include "test_effect_format.moc"
