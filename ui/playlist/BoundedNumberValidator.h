#pragma once

#include <QIntValidator>

// An integer validator whose fix-up brings a number typed beyond the range back into it.
// QIntValidator lets "150" stand as intermediate input under a top of 100; on Return or when
// the field loses focus this one turns it into "100", so the field never shows a value the
// row does not hold.
class BoundedIntValidator : public QIntValidator
{
    Q_OBJECT
public:
    BoundedIntValidator(int bottom, int top, QObject *parent = nullptr);

    void fixup(QString &input) const override;
};
