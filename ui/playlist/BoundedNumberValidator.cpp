#include "ui/playlist/BoundedNumberValidator.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

BoundedNumberValidator::BoundedNumberValidator(double bottom, double top, int decimals,
                                               QObject *parent)
    : QValidator(parent), bottom(bottom), top(top), decimals(decimals)
{
}

QValidator::State BoundedNumberValidator::validate(QString &input, int &) const
{
    const int integerDigits = int(QString::number(std::floor(top), 'f', 0).size());
    QString pattern = QStringLiteral("\\d{0,%1}").arg(integerDigits);
    if (decimals > 0)
        pattern += QStringLiteral("([.,]\\d{0,%1})?").arg(decimals);
    const QRegularExpression shape(QRegularExpression::anchoredPattern(pattern));
    if (!shape.match(input).hasMatch())
        return Invalid;
    double value = 0.0;
    return parse(input, &value) ? Acceptable : Intermediate;
}

bool BoundedNumberValidator::parse(const QString &text, double *value) const
{
    QString plain = text.trimmed();
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double number = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(number) || number < bottom || number > top)
        return false;
    *value = number;
    return true;
}
