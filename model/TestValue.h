#pragma once

#include <QIntValidator>
#include <QObject>
#include <QString>

#include <atomic>

// One row of the colour correction table: the output value of each channel for the eight
// input values the row serves. Conversion threads read the values while the colour form
// edits them on the GUI thread, hence the atomics.
class TestValue : public QObject
{
    Q_OBJECT
public:
    TestValue(int red, int green, int blue, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TestValue)

    std::atomic<int> red;
    std::atomic<int> green;
    std::atomic<int> blue;
    // Shared by the row's three edit fields in the colour form.
    QIntValidator *const validator;

public slots:
    // Store the parsed decimal value; text that does not parse (an empty field) or lies
    // outside 0 to 255 keeps the old value.
    void onTxtRChanged(const QString &v);
    void onTxtGChanged(const QString &v);
    void onTxtBChanged(const QString &v);
};
