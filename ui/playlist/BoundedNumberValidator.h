#pragma once

#include <QValidator>

// Validator of a row's time or loop count field. Admits plain decimal numbers with at most
// `decimals` places ("." or "," as the point) and no more integer digits than the top has;
// a number outside bottom ... top is Intermediate, so the field can show it as invalid while
// the row keeps its stored value. Nothing is brought into range silently: the field shows
// what was typed, the row what was stored.
class BoundedNumberValidator : public QValidator
{
    Q_OBJECT
public:
    BoundedNumberValidator(double bottom, double top, int decimals, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

    // The value of an Acceptable text; false for any other text.
    bool parse(const QString &text, double *value) const;

private:
    double bottom;
    double top;
    int decimals;
};
