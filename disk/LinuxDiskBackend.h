#pragma once

#include "disk/DiskBackend.h"
#include "disk/SysfsBlockDevices.h"

#include <QSocketNotifier>
#include <QString>
#include <QStringList>

// Removable disks on Linux: every mount of a whole file system on a removable medium (USB
// mass storage, SD card, removable flag set) is a disk, named by its mount point. The kernel
// signals each change of the mount table as a priority event on the open mountinfo file;
// the backend then reads the table again and reports the differences.
class LinuxDiskBackend : public DiskBackend
{
    Q_OBJECT
public:
    explicit LinuxDiskBackend(const QString &mountInfoPath = QStringLiteral("/proc/self/mountinfo"),
                              const QString &classBlockDir = QStringLiteral("/sys/class/block"),
                              QObject *parent = nullptr);
    ~LinuxDiskBackend() override;
    Q_DISABLE_COPY_MOVE(LinuxDiskBackend)

    // Reads the table afresh and takes it as the known state, announcing nothing.
    QStringList presentDisks() override;

    // Reads the table and announces the disks that went (diskRemoved) and came (diskArrived).
    void rescan();

    // Watches fd for readability, in place of the mount table's own priority event; each
    // wake-up drains it and rescans. Lets tests stand in for the kernel with a pipe, since no
    // ordinary file can raise the priority event. fd stays owned by the caller.
    void watchChangeDescriptor(int fd);

    // The mount points of removable disks the table lists now.
    QStringList readRemovableMounts() const;

private:
    void watch(int fd, QSocketNotifier::Type type);
    void onChangeSignalled(QSocketDescriptor fd, QSocketNotifier::Type type);

    QString m_mountInfoPath;
    SysfsBlockDevices m_blockDevices;
    int m_mountInfoFd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QStringList m_present;
};
