#include "model/TestValue.h"

namespace {
void storeParsed(std::atomic<int> &target, const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    // QLineEdit lets "Intermediate" text such as 400 through the validator while typing;
    // such values must not reach the table (they would wrap when stored as one byte).
    if (ok && value >= 0 && value <= 255)
        target = value;
}
} // namespace

TestValue::TestValue(int red, int green, int blue, QObject *parent)
    : QObject(parent), red(red), green(green), blue(blue),
      validator(new QIntValidator(0, 255, this))
{
}

void TestValue::onTxtRChanged(const QString &v)
{
    storeParsed(red, v);
}

void TestValue::onTxtGChanged(const QString &v)
{
    storeParsed(green, v);
}

void TestValue::onTxtBChanged(const QString &v)
{
    storeParsed(blue, v);
}
