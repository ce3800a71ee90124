#include "ui/main/RecentShows.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
// The settings the program keeps, named as the sampling choice names them.
const QString kOrganisation = QStringLiteral("HologramDisplay");
const QString kApplication = QStringLiteral("HologramDisplay");

QString normalized(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

QStringList RecentShows::paths() const
{
    return sanitized(stored(), false);
}

QStringList RecentShows::sanitized(const QVariant &value, bool dropMissing)
{
    // QSettings hands back a one-entry list as a string and a list as a list of variants;
    // anything else (a number, a map, the bytes of a damaged file) holds no path.
    QVariantList entries;
    switch (value.typeId()) {
    case QMetaType::QStringList:
        for (const QString &entry : value.toStringList())
            entries.append(entry);
        break;
    case QMetaType::QVariantList:
        entries = value.toList();
        break;
    case QMetaType::QString:
        entries.append(value);
        break;
    default:
        return {};
    }
    QStringList paths;
    for (const QVariant &entry : std::as_const(entries)) {
        if (entry.typeId() != QMetaType::QString)
            return {};
        const QString text = entry.toString();
        if (text.isEmpty() || text.contains(QChar(0)) || !QDir::isAbsolutePath(text))
            continue;
        const QString path = normalized(text);
        if (paths.contains(path) || (dropMissing && !QFileInfo(path).isFile()))
            continue;
        paths.append(path);
        if (paths.size() == Max)
            break;
    }
    return paths;
}

void RecentShows::add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString entry = normalized(path);
    QStringList paths = sanitized(stored(), true);
    paths.removeAll(entry);
    paths.prepend(entry);
    store(paths.mid(0, Max));
}

void RecentShows::remove(const QString &path)
{
    QStringList paths = sanitized(stored(), true);
    paths.removeAll(normalized(path));
    store(paths);
}

QVariant RecentShows::stored()
{
    const QSettings settings(kOrganisation, kApplication);
    return settings.value(Key);
}

void RecentShows::store(const QStringList &paths)
{
    QSettings settings(kOrganisation, kApplication);
    settings.setValue(Key, paths);
}
