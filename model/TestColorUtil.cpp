#include "model/TestColorUtil.h"

#include "app/AppGlobals.h"
#include "model/ModelLog.h"
#include "model/TestValue.h"

#include <QDebug>
#include <QMutexLocker>

#include <array>

std::atomic<TestColorUtil *> TestColorUtil::instance{nullptr};

namespace {
struct DefaultRow {
    int red;
    int green;
    int blue;
};

// Measured for the blade's LEDs: red and blue are equal, green is weaker from row 5 on.
constexpr std::array<DefaultRow, TestColorUtil::kRows> kDefaultRows{{
    {0, 0, 0},       {0, 1, 0},       {1, 2, 1},       {3, 3, 3},
    {5, 4, 5},       {8, 5, 8},       {11, 6, 11},     {15, 9, 15},
    {20, 12, 20},    {25, 15, 25},    {30, 19, 30},    {36, 23, 36},
    {42, 27, 42},    {48, 31, 48},    {55, 36, 55},    {63, 41, 63},
    {71, 46, 71},    {79, 52, 79},    {88, 58, 88},    {97, 64, 97},
    {106, 71, 106},  {116, 78, 116},  {126, 86, 126},  {137, 94, 137},
    {150, 103, 150}, {165, 122, 165}, {180, 133, 180}, {195, 145, 195},
    {210, 159, 210}, {225, 175, 225}, {240, 195, 240}, {255, 220, 255},
}};
} // namespace

TestColorUtil::TestColorUtil()
{
    resetToDefaults();
}

TestColorUtil *TestColorUtil::getInstance()
{
    TestColorUtil *table = instance.load(std::memory_order_acquire);
    if (table)
        return table;
    QMutexLocker lock(&colourTableMutex);
    table = instance.load(std::memory_order_relaxed);
    if (!table) {
        table = new TestColorUtil;
        instance.store(table, std::memory_order_release);
    }
    return table;
}

void TestColorUtil::resetToDefaults()
{
    for (int row = 1; row <= kRows; ++row) {
        const DefaultRow &d = kDefaultRows[row - 1];
        TestValue *value = values.value(row);
        if (!value) {
            values.insert(row, new TestValue(d.red, d.green, d.blue, this));
            continue;
        }
        value->red = d.red;
        value->green = d.green;
        value->blue = d.blue;
    }
}

int TestColorUtil::rowFor(int v)
{
    const int row = (v + 7) / 8;
    return row < 1 ? 1 : row;
}

int TestColorUtil::getTestRValue(int v) const
{
    const int row = rowFor(v);
    if (const TestValue *value = values.value(row))
        return value->red.load(std::memory_order_relaxed);
    qCDebug(lcModel).nospace() << "##### getTestRValue() not find TestValue obj d = " << row;
    return 0;
}

int TestColorUtil::getTestGValue(int v) const
{
    const int row = rowFor(v);
    if (const TestValue *value = values.value(row))
        return value->green.load(std::memory_order_relaxed);
    qCDebug(lcModel).nospace() << "##### getTestGValue() not find TestValue obj d = " << row;
    return 0;
}

int TestColorUtil::getTestBValue(int v) const
{
    const int row = rowFor(v);
    if (const TestValue *value = values.value(row))
        return value->blue.load(std::memory_order_relaxed);
    qCDebug(lcModel).nospace() << "##### getTestBValue() not find TestValue obj d = " << row;
    return 0;
}
