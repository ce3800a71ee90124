#include "app/WorkDirectory.h"

#include "app/AppGlobals.h"

#include "app/AppLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

const QLatin1String kPrefix("hologram-display-");
// Above this many files the directory is removed by a detached process: on a busy disk an
// unlink can take milliseconds, and a long clip leaves thousands of files.
constexpr int kRemoveDetachedAbove = 200;

} // namespace

std::atomic<bool> WorkDirectory::whole{false};

bool WorkDirectory::goesWhole()
{
    return whole.load(std::memory_order_relaxed);
}

WorkDirectory::WorkDirectory()
{
    // tempPath() is empty when TMPDIR names a folder that does not exist; a relative template
    // would then land in the start directory, which is exactly what must not happen.
    const QString base = QDir::tempPath();
    if (base.isEmpty())
        return;
    dir = std::make_unique<QTemporaryDir>(QDir(base).filePath(QStringLiteral("%1XXXXXX").arg(kPrefix)));
    if (!dir->isValid())
        return;
    lock = std::make_unique<QLockFile>(QDir(dir->path()).filePath(QLatin1String(LockFileName)));
    // Only a dead owner makes a lock stale, never its age: a copy may run for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        qCWarning(lcApp) << "#WorkDirectory# cannot lock" << lock->error();
    setWorkDirectory(dir->path());
    removeAbandoned(base, dir->path());
    whole = false;
    if (QCoreApplication *app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { whole = true; });
}

int WorkDirectory::removeAbandoned(const QString &base, const QString &keep)
{
    int removed = 0;
    const QFileInfoList found = QDir(base).entryInfoList({QStringLiteral("%1*").arg(kPrefix)},
                                                         QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo &entry : found) {
        QDir other(entry.absoluteFilePath());
        if (!keep.isEmpty() && other == QDir(keep))
            continue;
        const QString lockPath = other.filePath(QLatin1String(LockFileName));
        // No lock file: a copy between making its directory and locking it, or not one of
        // ours. Its owner is unknown, so it stays.
        if (!QFileInfo::exists(lockPath))
            continue;
        QLockFile owner(lockPath);
        owner.setStaleLockTime(0);
        // Taken only when the owner is gone (tryLock removes a dead owner's lock).
        if (!owner.tryLock(0))
            continue;
        const QFileInfoList contents =
            other.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QFileInfo &item : contents) {
            if (item.fileName() == QLatin1String(LockFileName))
                continue;
            if (item.isDir() && !item.isSymLink())
                QDir(item.absoluteFilePath()).removeRecursively();
            else
                QFile::remove(item.absoluteFilePath());
        }
        owner.unlock();
        if (other.rmdir(other.absolutePath())) {
            ++removed;
            qCDebug(lcApp) << "#WorkDirectory# removed the abandoned" << other.absolutePath();
        }
    }
    return removed;
}

WorkDirectory::~WorkDirectory()
{
    // The items destroyed before this have removed their own files; the rest goes here.
    if (!isValid())
        return;
    if (QDir(workDirectory()) == QDir(dir->path()))
        setWorkDirectory(QString());
#ifdef Q_OS_UNIX
    // The window is closed already; the files need not hold the process up. The lock goes
    // first, so that the remover takes every file (a remover killed half-way leaves a
    // directory without a lock, which later starts leave alone).
    if (QDir(dir->path()).count() > uint(kRemoveDetachedAbove)) {
        lock.reset();
        if (QProcess::startDetached(QStringLiteral("rm"), {QStringLiteral("-rf"), QStringLiteral("--"), dir->path()}))
            dir->setAutoRemove(false);
    }
#endif
    whole = false;
}

QString WorkDirectory::errorString() const
{
    if (!dir)
        return QStringLiteral("the temporary folder does not exist");
    return dir->isValid() ? QString() : dir->errorString();
}

QString WorkDirectory::location()
{
    const QString fromEnvironment = qEnvironmentVariable("TMPDIR");
    const QString base = QDir::tempPath();
    return QDir::toNativeSeparators(base.isEmpty() ? fromEnvironment : base);
}
