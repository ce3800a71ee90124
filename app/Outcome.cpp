#include "app/Outcome.h"

Outcome Outcome::failure(const QString &reason)
{
    Outcome outcome;
    outcome.failed = true;
    outcome.reason = reason;
    return outcome;
}

Outcome &Outcome::warn(const QString &text)
{
    if (!text.isEmpty())
        notes << text;
    return *this;
}

Outcome &Outcome::merge(const Outcome &other)
{
    if (!failed && other.failed) {
        failed = true;
        reason = other.reason;
    }
    notes << other.notes;
    return *this;
}
