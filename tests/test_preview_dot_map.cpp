// The sampling preview painted from its dot map against the dots drawn one by one.
#include "model/PreviewDotMap.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>

#include <memory>
#include <thread>
#include <vector>

class TestPreviewDotMap : public QObject
{
    Q_OBJECT
private slots:
    void paintsWhatTheDotsDraw_data();
    void paintsWhatTheDotsDraw();
    void oneMapPerGeometryAcrossThreads();
};

void TestPreviewDotMap::paintsWhatTheDotsDraw_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("colours");

    QTest::newRow("112 x 430, random") << 112 << 430 << "random";
    QTest::newRow("112 x 430, with alpha") << 112 << 430 << "alpha";
    QTest::newRow("112 x 430, one colour") << 112 << 430 << "one";
    QTest::newRow("56 x 200, by number") << 56 << 200 << "number";
    QTest::newRow("224 x 360, random") << 224 << 360 << "random";
    QTest::newRow("3 x 7, random") << 3 << 7 << "random";
    QTest::newRow("1 x 1") << 1 << 1 << "random";
}

void TestPreviewDotMap::paintsWhatTheDotsDraw()
{
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(QString, colours);

    const auto map = PreviewDotMap::forGeometry(leds, lines);
    QVERIFY(map);
    QCOMPARE(map->dotCount(), leds * lines);
    QRandomGenerator random(quint32(leds * 1000 + lines));
    std::vector<QRgb> wanted(size_t(map->dotCount()));
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (colours == QLatin1String("one"))
            wanted[i] = qRgb(200, 10, 90);
        else if (colours == QLatin1String("number"))
            wanted[i] = QRgb(i * 2654435761u) | 0xff000000u;
        else if (colours == QLatin1String("alpha"))
            wanted[i] = qRgba(random.bounded(256), random.bounded(256), random.bounded(256),
                              random.bounded(256));
        else
            wanted[i] = qRgb(random.bounded(256), random.bounded(256), random.bounded(256));
    }
    const QImage fast = map->paint(wanted);
    const QImage drawn = PreviewDotMap::paintDots(leds, lines, wanted);
    QCOMPARE(fast.format(), QImage::Format_RGB32);
    QCOMPARE(fast.size(), drawn.size());
    for (int y = 0; y < fast.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(fast.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(drawn.constScanLine(y));
        for (int x = 0; x < fast.width(); ++x) {
            if (a[x] != b[x])
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3 against %4")
                                     .arg(x).arg(y).arg(a[x], 8, 16).arg(b[x], 8, 16)));
        }
    }
    // Too few colours (a conversion cut short) paints black rather than reading beyond them.
    wanted.pop_back();
    const QImage cut = map->paint(wanted);
    QCOMPARE(cut.pixel(225, 225), qRgb(0, 0, 0));
}

void TestPreviewDotMap::oneMapPerGeometryAcrossThreads()
{
    // Three conversions of a clip ask at once: all get the same map, made once.
    std::shared_ptr<const PreviewDotMap> got[4];
    // std::thread: its join is one ThreadSanitizer sees (Qt's own waits are not instrumented).
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&got, t] { got[t] = PreviewDotMap::forGeometry(97, 311); });
    for (std::thread &thread : threads)
        thread.join();
    for (const auto &map : got)
        QCOMPARE(map.get(), got[0].get());
    QVERIFY(got[0]);
    QVERIFY(!PreviewDotMap::forGeometry(0, 430));
    QVERIFY(!PreviewDotMap::forGeometry(112, -1));
}

QTEST_MAIN(TestPreviewDotMap)
#include "test_preview_dot_map.moc"
