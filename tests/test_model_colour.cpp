// The colour correction table: creation from several threads, lookups, edits.
#include "model/ColourTableInverse.h"
#include "model/TestColorUtil.h"
#include "model/TestValue.h"

#include <QSet>
#include <QTest>
#include <thread>
#include <vector>

class TestModelColour : public QObject
{
    Q_OBJECT
private slots:
    // Must run first: nothing may have created the table yet.
    void singletonFromManyThreads();
    void lookups_data();
    void lookups();
    void rowsServeEightValues();
    void editedRowChangesLaterLookups();
    void unparsableTextKeepsValue_data();
    void unparsableTextKeepsValue();
    void missingRowGivesZero();
    void validatorRange();
    void drivesAreShownAsTheirColours_data();
    void drivesAreShownAsTheirColours();
    void cleanup();
};

void TestModelColour::singletonFromManyThreads()
{
    // std::thread: its joins are visible to ThreadSanitizer, QThread's are not.
    std::vector<std::thread> threads;
    QList<TestColorUtil *> seen(8, nullptr);
    std::atomic<bool> go{false};
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&seen, &go, i] {
            while (!go)
                std::this_thread::yield();
            seen[i] = TestColorUtil::getInstance();
        });
    }
    go = true;
    for (std::thread &thread : threads)
        thread.join();
    const QSet<TestColorUtil *> distinct(seen.begin(), seen.end());
    QCOMPARE(distinct.size(), 1);
    QCOMPARE(*distinct.begin(), TestColorUtil::getInstance());
    QCOMPARE(TestColorUtil::getInstance()->values.size(), 32);
}

void TestModelColour::lookups_data()
{
    QTest::addColumn<int>("v");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::newRow("0, row 1") << 0 << 0 << 0 << 0;
    QTest::newRow("8, row 1") << 8 << 0 << 0 << 0;
    QTest::newRow("9, row 2") << 9 << 0 << 1 << 0;
    QTest::newRow("17, row 3") << 17 << 1 << 2 << 1;
    QTest::newRow("128, row 16") << 128 << 63 << 41 << 63;
    QTest::newRow("129, row 17") << 129 << 71 << 46 << 71;
    QTest::newRow("200, row 25") << 200 << 150 << 103 << 150;
    QTest::newRow("255, row 32") << 255 << 255 << 220 << 255;
}

void TestModelColour::lookups()
{
    QFETCH(int, v);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    const TestColorUtil *table = TestColorUtil::getInstance();
    QCOMPARE(table->getTestRValue(v), red);
    QCOMPARE(table->getTestGValue(v), green);
    QCOMPARE(table->getTestBValue(v), blue);
}

void TestModelColour::rowsServeEightValues()
{
    // Row r serves 8r - 7 to 8r (row 1 also 0); every value finds a row.
    for (int v = 0; v <= 255; ++v) {
        const int row = TestColorUtil::rowFor(v);
        QVERIFY(row >= 1 && row <= 32);
        QVERIFY(v == 0 || (v >= 8 * row - 7 && v <= 8 * row));
    }
}

void TestModelColour::editedRowChangesLaterLookups()
{
    TestColorUtil *table = TestColorUtil::getInstance();
    TestValue *row16 = table->values.value(16);
    row16->onTxtGChanged(QStringLiteral("40"));
    for (int v = 121; v <= 128; ++v)
        QCOMPARE(table->getTestGValue(v), 40);
    QCOMPARE(table->getTestGValue(120), 36);
    QCOMPARE(table->getTestGValue(129), 46);
    QCOMPARE(table->getTestRValue(128), 63);
    table->resetToDefaults();
    QCOMPARE(table->getTestGValue(128), 41);
}

void TestModelColour::unparsableTextKeepsValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("hex") << QStringLiteral("0x10");
    QTest::newRow("above 255") << QStringLiteral("400");
    QTest::newRow("negative") << QStringLiteral("-1");
}

void TestModelColour::unparsableTextKeepsValue()
{
    QFETCH(QString, text);
    TestValue *row = TestColorUtil::getInstance()->values.value(5);
    row->onTxtRChanged(text);
    row->onTxtBChanged(text);
    QCOMPARE(row->red.load(), 5);
    QCOMPARE(row->blue.load(), 5);
}

void TestModelColour::missingRowGivesZero()
{
    TestColorUtil *table = TestColorUtil::getInstance();
    TestValue *row = table->values.take(32);
    QTest::ignoreMessage(QtDebugMsg, "##### getTestRValue() not find TestValue obj d = 32");
    QCOMPARE(table->getTestRValue(255), 0);
    QTest::ignoreMessage(QtDebugMsg, "##### getTestGValue() not find TestValue obj d = 32");
    QCOMPARE(table->getTestGValue(250), 0);
    QTest::ignoreMessage(QtDebugMsg, "##### getTestBValue() not find TestValue obj d = 32");
    QCOMPARE(table->getTestBValue(249), 0);
    delete row;
    table->resetToDefaults();
    QCOMPARE(table->getTestRValue(255), 255);
}

void TestModelColour::validatorRange()
{
    const QIntValidator *validator = TestColorUtil::getInstance()->values.value(1)->validator;
    QCOMPARE(validator->bottom(), 0);
    QCOMPARE(validator->top(), 255);
    QString text = QStringLiteral("256");
    int pos = 0;
    QVERIFY(validator->validate(text, pos) != QValidator::Acceptable);
}

// What the display shows for the LED data of a colour (the table's output without the two low
// bits the LED data does not keep), turned back: close to the colour, never pink.
void TestModelColour::drivesAreShownAsTheirColours_data()
{
    QTest::addColumn<QColor>("input");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<int>("editedGreen16");
    QTest::newRow("white stays white") << QColor(255, 255, 255) << 0 << -1;
    QTest::newRow("black stays black") << QColor(0, 0, 0) << 0 << -1;
    QTest::newRow("mid grey, not pink") << QColor(128, 128, 128) << 4 << -1;
    QTest::newRow("light colour") << QColor(200, 180, 240) << 8 << -1;
    QTest::newRow("edited row") << QColor(128, 128, 128) << 4 << 90;
}

void TestModelColour::drivesAreShownAsTheirColours()
{
    QFETCH(QColor, input);
    QFETCH(int, tolerance);
    QFETCH(int, editedGreen16);
    TestColorUtil *table = TestColorUtil::getInstance();
    if (editedGreen16 >= 0)
        table->values.value(16)->green = editedGreen16;
    const QColor shown(ColourTableInverse::current().shown(table->getTestRValue(input.red()) & ~3,
                                                           table->getTestGValue(input.green()) & ~3,
                                                           table->getTestBValue(input.blue()) & ~3));
    QVERIFY2(qAbs(shown.red() - input.red()) <= tolerance && qAbs(shown.green() - input.green()) <= tolerance
                 && qAbs(shown.blue() - input.blue()) <= tolerance,
             qPrintable(shown.name()));
}

void TestModelColour::cleanup()
{
    TestColorUtil::getInstance()->resetToDefaults();
}

QTEST_GUILESS_MAIN(TestModelColour)
#include "test_model_colour.moc"
