#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The shows opened or saved last, newest first, at most Max, kept in the settings under
// "show/recent" as a list of absolute paths and read afresh each time, so two windows keep
// one list. What is read back is checked: a value of another type, or one with entries that
// are not text, counts as empty. Shows that no longer exist stay listed (the menu greys
// them: a disk may come back) until the list is next written, which leaves them out.
class RecentShows final
{
public:
    static constexpr int Max = 10;
    static inline const QString Key = QStringLiteral("show/recent");

    QStringList paths() const;
    // Puts path first (once) and stores the list.
    void add(const QString &path);
    void remove(const QString &path);

    // The usable entries of a stored value: absolute paths, each once, at most Max; with
    // dropMissing, only those of existing files.
    static QStringList sanitized(const QVariant &value, bool dropMissing);

private:
    static QVariant stored();
    static void store(const QStringList &paths);
};
