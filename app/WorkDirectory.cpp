#include "app/WorkDirectory.h"

#include "app/AppGlobals.h"

#include <QDir>

WorkDirectory::WorkDirectory()
{
    // tempPath() is empty when TMPDIR names a folder that does not exist; a relative template
    // would then land in the start directory, which is exactly what must not happen.
    const QString base = QDir::tempPath();
    if (base.isEmpty())
        return;
    dir = std::make_unique<QTemporaryDir>(
        QDir(base).filePath(QStringLiteral("hologram-display-XXXXXX")));
    if (dir->isValid())
        setWorkDirectory(dir->path());
}

WorkDirectory::~WorkDirectory()
{
    // The items destroyed before this have removed their own files; the rest goes here.
    if (isValid() && QDir(workDirectory()) == QDir(dir->path()))
        setWorkDirectory(QString());
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
