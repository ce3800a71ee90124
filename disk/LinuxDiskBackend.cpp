#include "disk/LinuxDiskBackend.h"

#include "disk/DiskLog.h"
#include "disk/MountTable.h"

#include <QDebug>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

LinuxDiskBackend::LinuxDiskBackend(const QString &mountInfoPath, const QString &classBlockDir,
                                   QObject *parent)
    : DiskBackend(parent)
    , m_mountInfoPath(mountInfoPath)
    , m_blockDevices(classBlockDir)
{
    m_present = readRemovableMounts();
    // The descriptor must stay open: the kernel remembers per open file which table state
    // it has reported, and poll() flags every later change with POLLPRI | POLLERR.
    m_mountInfoFd = ::open(QFile::encodeName(mountInfoPath).constData(), O_RDONLY | O_CLOEXEC);
    if (m_mountInfoFd >= 0)
        watch(m_mountInfoFd, QSocketNotifier::Exception);
    else
        qCWarning(lcDisk) << "#LinuxDiskBackend# cannot watch" << mountInfoPath;
}

LinuxDiskBackend::~LinuxDiskBackend()
{
    delete m_notifier;
    if (m_mountInfoFd >= 0)
        ::close(m_mountInfoFd);
}

QStringList LinuxDiskBackend::presentDisks()
{
    m_present = readRemovableMounts();
    return m_present;
}

void LinuxDiskBackend::rescan()
{
    const QStringList now = readRemovableMounts();
    const QStringList before = m_present;
    m_present = now;
    for (const QString &path : before) {
        if (!now.contains(path))
            emit diskRemoved(path);
    }
    for (const QString &path : now) {
        if (!before.contains(path))
            emit diskArrived(path);
    }
}

void LinuxDiskBackend::watchChangeDescriptor(int fd)
{
    watch(fd, QSocketNotifier::Read);
}

QStringList LinuxDiskBackend::readRemovableMounts() const
{
    QStringList mounts;
    const QList<MountTable::Entry> entries = MountTable::read(m_mountInfoPath);
    for (const MountTable::Entry &entry : entries) {
        // Only a whole volume is a disk: a bind mount of one of its folders is not its root.
        if (entry.root != QLatin1String("/") || entry.mountPoint == QLatin1String("/"))
            continue;
        if (mounts.contains(entry.mountPoint))
            continue;
        if (m_blockDevices.isRemovable(entry.source, entry.majorMinor))
            mounts.append(entry.mountPoint);
    }
    return mounts;
}

void LinuxDiskBackend::watch(int fd, QSocketNotifier::Type type)
{
    delete m_notifier;
    m_notifier = new QSocketNotifier(fd, type, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &LinuxDiskBackend::onChangeSignalled);
}

void LinuxDiskBackend::onChangeSignalled(QSocketDescriptor fd, QSocketNotifier::Type type)
{
    if (type == QSocketNotifier::Read) {
        // Drain the stand-in descriptor, else it stays readable and fires again at once.
        char buffer[64];
        const int flags = ::fcntl(fd, F_GETFL);
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
        ::fcntl(fd, F_SETFL, flags);
    }
    rescan();
}
