#include "app/AppGlobals.h"

#include <QDir>
#include <QFileInfo>

std::atomic<int> ledCount{kDefaultLedCount};
std::atomic<int> lineNumber{kDefaultLineNumber};
QString appDirectory;
QString lastBrowseDirectory;
std::atomic<int> languageCode{0};
std::atomic<int> nextItemId{1};
std::atomic<int> imageCopyCounter{1};
std::atomic<int> diyCounter{1};
std::atomic<int> loadMediaCounter{1};
std::atomic<int> loadGifCounter{1};
QMutex colourTableMutex;

namespace {
// Written before any thread that makes files starts, and only while none runs.
QString workDirectoryPath;
}

void setWorkDirectory(const QString &path)
{
    workDirectoryPath = path.isEmpty() ? QString() : QDir::cleanPath(path) + u'/';
}

QString workDirectory()
{
    // Without a private directory (tests, tools that set none) the files go to "temp" under
    // appDirectory; the doubled separator is part of every path formed this way.
    if (!workDirectoryPath.isEmpty())
        return workDirectoryPath;
    return appDirectory + "/" + "/temp/";
}

QString workFilePath(const QString &fileName)
{
    return workDirectory() + fileName;
}

bool ensureWorkDirectory()
{
    QDir dir(workDirectory());
    if (dir.exists())
        return true;
    // Converters on several threads may make it at once: made by another counts as made.
    return QDir().mkdir(QDir::cleanPath(workDirectory()))
           || QFileInfo(workDirectory()).isDir();
}

void initAppGlobals(const QString &dir)
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
    appDirectory = dir;
    lastBrowseDirectory = dir;
    workDirectoryPath.clear();
    languageCode = 0;
    nextItemId = 1;
    imageCopyCounter = 1;
    diyCounter = 1;
    loadMediaCounter = 1;
    loadGifCounter = 1;
}
