#include "FakeSysfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

FakeSysfs::FakeSysfs(const QString &root)
    : m_root(root)
{
    QDir().mkpath(classBlockDir());
}

QString FakeSysfs::classBlockDir() const
{
    return m_root + QStringLiteral("/class/block");
}

void FakeSysfs::addDisk(const QString &busPath, const QString &name, bool removable,
                        const QString &deviceType, const QString &devNumber)
{
    const QString busDir = m_root + QStringLiteral("/devices/") + busPath;
    const QString dir = busDir + QStringLiteral("/block/") + name;
    QDir().mkpath(dir);
    writeFile(dir + QStringLiteral("/removable"), removable ? "1\n" : "0\n");
    writeFile(dir + QStringLiteral("/dev"), devNumber + u'\n');
    if (!deviceType.isEmpty()) {
        // In sysfs "device" links to the bus device; a directory serves the reader equally.
        QDir().mkpath(dir + QStringLiteral("/device"));
        writeFile(dir + QStringLiteral("/device/type"), deviceType + u'\n');
    }
    m_diskDirs.append(dir);
    linkClassEntry(name, dir);
}

void FakeSysfs::addPartition(const QString &diskName, const QString &name, const QString &devNumber)
{
    for (const QString &diskDir : std::as_const(m_diskDirs)) {
        if (QFileInfo(diskDir).fileName() != diskName)
            continue;
        const QString dir = diskDir + u'/' + name;
        QDir().mkpath(dir);
        writeFile(dir + QStringLiteral("/partition"), "1\n");
        writeFile(dir + QStringLiteral("/dev"), devNumber + u'\n');
        linkClassEntry(name, dir);
        return;
    }
}

void FakeSysfs::addMappedDevice(const QString &name, const QString &slaveName, const QString &devNumber)
{
    const QString dir = m_root + QStringLiteral("/devices/virtual/block/") + name;
    QDir().mkpath(dir + QStringLiteral("/slaves"));
    writeFile(dir + QStringLiteral("/removable"), "0\n");
    writeFile(dir + QStringLiteral("/dev"), devNumber + u'\n');
    QFile::link(QFileInfo(classBlockDir() + u'/' + slaveName).canonicalFilePath(),
                dir + QStringLiteral("/slaves/") + slaveName);
    linkClassEntry(name, dir);
}

void FakeSysfs::writeFile(const QString &path, const QString &content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content.toUtf8());
}

void FakeSysfs::linkClassEntry(const QString &name, const QString &target)
{
    QFile::link(target, classBlockDir() + u'/' + name);
}
