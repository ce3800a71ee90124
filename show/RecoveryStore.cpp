#include "show/RecoveryStore.h"

#include "show/ShowFile.h"
#include "show/ShowLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace {

QString lockPathOf(const QString &copy)
{
    return copy + QLatin1String(RecoveryStore::LockSuffix);
}

} // namespace

RecoveryStore::RecoveryStore(const QString &directory)
    : folder(directory.isEmpty() ? defaultDirectory() : directory)
{
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        error = QStringLiteral("cannot make the folder %1").arg(folder);
        return;
    }
    const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces);
    own = QDir(folder).filePath(QStringLiteral("%1.%2").arg(name, QLatin1String(ShowFile::Suffix)));
    lock = std::make_unique<QLockFile>(lockPathOf(own));
    // Only a dead owner makes a lock stale, never its age: an instance may run for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        error = QStringLiteral("cannot lock %1 (error %2)").arg(lockPathOf(own)).arg(lock->error());
        lock.reset();
        return;
    }
    valid = true;
}

RecoveryStore::~RecoveryStore()
{
    if (valid && !keep)
        removeOwnCopy();
    // The lock goes last, so that no other instance takes the copy for an orphan meanwhile.
    lock.reset();
    claimed.clear();
}

QString RecoveryStore::defaultDirectory()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/recovery");
}

QStringList RecoveryStore::filesOf(const QString &path)
{
    const QFileInfo info(path);
    QStringList files;
    const QFileInfoList found = info.dir().entryInfoList(
        {info.fileName() + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : found) {
        const QString name = file.fileName();
        // The copy, its journal, and "<copy>.<n>.saving" (with a journal) of an unfinished save.
        const QString rest = name.mid(info.fileName().size());
        if (rest.isEmpty() || rest == QLatin1String("-journal") ||
            rest.endsWith(QLatin1String(".saving")) ||
            rest.endsWith(QLatin1String(".saving-journal")))
            files.append(file.absoluteFilePath());
    }
    return files;
}

QList<RecoveryStore::Copy> RecoveryStore::claimOrphans()
{
    QList<Copy> copies;
    if (folder.isEmpty())
        return copies;
    const QDir dir(folder);
    // Every copy has a lock, taken before the copy is first written; a lock without a copy
    // may be an owner that has not saved yet, or one killed in its first save.
    const QStringList locks = dir.entryList(
        {QStringLiteral("*.%1%2").arg(QLatin1String(ShowFile::Suffix), QLatin1String(LockSuffix))},
        QDir::Files | QDir::Hidden);
    QStringList candidates;
    for (const QString &name : locks)
        candidates.append(dir.filePath(name.chopped(int(qstrlen(LockSuffix)))));
    // A copy whose lock has gone (removed by hand) has no owner either.
    const QStringList shows = dir.entryList(
        {QStringLiteral("*.%1").arg(QLatin1String(ShowFile::Suffix))}, QDir::Files);
    for (const QString &name : shows) {
        if (!candidates.contains(dir.filePath(name)))
            candidates.append(dir.filePath(name));
    }
    for (const QString &copy : std::as_const(candidates)) {
        if (copy == own)
            continue;
        if (!claimed.contains(copy)) {
            auto owner = std::make_shared<QLockFile>(lockPathOf(copy));
            owner->setStaleLockTime(0);
            // Taken only when the owner is gone (tryLock removes a dead owner's lock).
            if (!owner->tryLock(0))
                continue;
            claimed.insert(copy, owner);
        }
        const QFileInfo info(copy);
        if (!info.isFile()) {
            // Nothing to offer: what an unfinished first save left goes at once.
            remove(copy);
            continue;
        }
        copies.append({copy, info.lastModified()});
    }
    std::sort(copies.begin(), copies.end(),
              [](const Copy &a, const Copy &b) { return a.savedAt > b.savedAt; });
    qCDebug(lcShow) << "recovery: found" << copies.size() << "orphaned copies in" << folder;
    return copies;
}

bool RecoveryStore::remove(const QString &path)
{
    const auto held = claimed.constFind(path);
    if (path == own || held == claimed.constEnd())
        return false;
    bool gone = true;
    for (const QString &file : filesOf(path))
        gone = QFile::remove(file) && gone;
    // The lock goes last: until then no other instance claims what is left.
    (*held)->unlock();
    claimed.remove(path);
    qCDebug(lcShow) << "recovery: removed" << path;
    return gone && !QFileInfo::exists(path);
}

bool RecoveryStore::adopt(const QString &path)
{
    if (!valid || path == own || !claimed.contains(path))
        return false;
    removeOwnCopy();
    // A journal left beside it was rolled back by the restore's read; none may follow it.
    const bool taken = !QFileInfo::exists(path + QStringLiteral("-journal")) &&
                       QFile::rename(path, own);
    remove(path);
    qCDebug(lcShow) << "recovery:" << (taken ? "adopted" : "could not adopt") << path;
    return taken;
}

void RecoveryStore::removeOwnCopy()
{
    if (!valid)
        return;
    for (const QString &file : filesOf(own))
        QFile::remove(file);
}
