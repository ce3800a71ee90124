#pragma once

#include <QLockFile>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

// The running instance's own work directory: a fresh directory under the system's temporary
// location, used by nobody else and removed with everything in it when this object goes.
// While it lives, workDirectory() names it, and a lock file in it tells other copies that
// its owner still runs. At start the directories of copies that ended without cleaning up
// (killed, crashed) are removed; a directory whose owner runs, or that has no lock file, is
// never touched, so a folder the user keeps (say ~/temp) and a second running copy are safe.
class WorkDirectory
{
public:
    WorkDirectory();
    ~WorkDirectory();
    Q_DISABLE_COPY_MOVE(WorkDirectory)

    bool isValid() const { return dir && dir->isValid(); }
    // Why the directory could not be made (empty when it was).
    QString errorString() const;
    QString path() const { return isValid() ? dir->path() : QString(); }
    // The temporary location asked for, as the user would recognise it.
    static QString location();
    // Removes the directories under base left by copies that are no longer running, except
    // keep; returns how many went.
    static int removeAbandoned(const QString &base, const QString &keep = QString());

    static constexpr const char *LockFileName = "owner.lock";

    // True once the event loop has ended: the directory is about to go as a whole, and the
    // items destroyed now leave their files to it rather than unlinking them one by one.
    static bool goesWhole();

private:
    std::unique_ptr<QTemporaryDir> dir;
    // Destroyed before the directory: unlocked, then removed with it.
    std::unique_ptr<QLockFile> lock;
    static std::atomic<bool> whole;
};
