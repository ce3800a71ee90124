#pragma once

#include <QHash>
#include <QObject>

#include <atomic>

class TestValue;

// The colour correction table: 32 rows, each serving eight consecutive channel values.
// One instance per process, created on first use and never destroyed; every start begins
// with the built-in defaults.
class TestColorUtil : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRows = 32;

    // The process-wide table, created under colourTableMutex on the first call.
    static TestColorUtil *getInstance();

    // Corrected output of channel value v (0 to 255); 0 with a trace line when the row
    // serving v is missing. Lock-free: called for every sampled pixel.
    int getTestRValue(int v) const;
    int getTestGValue(int v) const;
    int getTestBValue(int v) const;

    // Row serving channel value v: ceil(v / 8), at least 1.
    static int rowFor(int v);
    // Puts every row back to its built-in value (rows removed meanwhile are recreated).
    void resetToDefaults();

    // Row number (1 to 32) to row. Rows are owned by the table. Rows may be edited at any
    // time; the set of rows must only change while no conversion runs.
    QHash<int, TestValue *> values;

private:
    TestColorUtil();
    Q_DISABLE_COPY_MOVE(TestColorUtil)

    static std::atomic<TestColorUtil *> instance;
};
