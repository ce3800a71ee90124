#include "ui/playlist/BoundedIntValidator.h"

BoundedIntValidator::BoundedIntValidator(int bottom, int top, QObject *parent)
    : QIntValidator(bottom, top, parent)
{
}

void BoundedIntValidator::fixup(QString &input) const
{
    bool ok = false;
    const qlonglong value = input.trimmed().toLongLong(&ok);
    // Empty or unparsable text stays: the row keeps its stored value.
    if (!ok)
        return;
    input = QString::number(qBound(qlonglong(bottom()), value, qlonglong(top())));
}
