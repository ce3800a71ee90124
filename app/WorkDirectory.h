#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// The running instance's own work directory: a fresh directory under the system's temporary
// location, used by nobody else and removed with everything in it when this object goes.
// While it lives, workDirectory() names it. Nothing outside it is ever deleted, so a folder
// the user keeps (say ~/temp) and the files of a second running copy are safe.
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

private:
    std::unique_ptr<QTemporaryDir> dir;
};
