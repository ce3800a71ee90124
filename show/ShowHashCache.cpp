#include "show/ShowHashCache.h"

#include <QMutexLocker>

bool ShowHashCache::find(quint64 revision, const QString &sourcePath, Pieces *pieces) const
{
    QMutexLocker lock(&mutex);
    const auto it = entries.constFind(revision);
    if (it == entries.constEnd() || it->sourcePath != sourcePath)
        return false;
    *pieces = it->pieces;
    return true;
}

void ShowHashCache::insert(quint64 revision, const QString &sourcePath, const Pieces &pieces)
{
    QMutexLocker lock(&mutex);
    // Revisions of items long gone are never asked for again; a bound keeps a long session's
    // cache from growing without end.
    if (entries.size() > 100000)
        entries.clear();
    entries.insert(revision, {sourcePath, pieces});
}

void ShowHashCache::clear()
{
    QMutexLocker lock(&mutex);
    entries.clear();
}

int ShowHashCache::size() const
{
    QMutexLocker lock(&mutex);
    return int(entries.size());
}
