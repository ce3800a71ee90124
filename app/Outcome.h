#pragma once

#include <QString>
#include <QStringList>

// What an operation that can fail reports: success, or failure with the reason in words the
// user can read. Warnings (things that went wrong without stopping the operation) are kept
// apart from the failure, so a success can still say what it had to leave out.
class Outcome final
{
public:
    Outcome() = default;
    static Outcome success() { return Outcome(); }
    static Outcome failure(const QString &reason);

    bool ok() const { return !failed; }
    explicit operator bool() const { return !failed; }
    // Empty on success.
    const QString &error() const { return reason; }
    const QStringList &warnings() const { return notes; }

    // Adds a warning; an empty text is ignored.
    Outcome &warn(const QString &text);
    // Takes over the other's warnings, and its failure when this one has none.
    Outcome &merge(const Outcome &other);

private:
    bool failed = false;
    QString reason;
    QStringList notes;
};
