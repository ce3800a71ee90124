#include "app/DirectoryUtil.h"

#include <QDir>
#include <QFileInfo>

void clearDirectory(const QString &path)
{
    QDir dir(path);
    if (!dir.exists())
        return;
    // Default filters: files and directories, no hidden or system entries.
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            clearDirectory(entry.absoluteFilePath());
        else
            QFile::remove(entry.absoluteFilePath());
    }
    // rmdir("path/.") fails on POSIX systems (EINVAL): remove the directory by its own path.
    QDir().rmdir(dir.absolutePath());
}
