#pragma once

#include <QString>

// Answers from the kernel's block-device tree in sysfs whether a mounted device lies on a
// removable medium. The tree's root is given so tests can hand in a fake one.
class SysfsBlockDevices
{
public:
    explicit SysfsBlockDevices(const QString &classBlockDir = QStringLiteral("/sys/class/block"));

    // True for a USB mass-storage device, an SD card, or a device whose disk reports
    // removable = 1 (optical drives excepted). source is the mount source ("/dev/sdb1"),
    // majorMinor the device number ("8:17"), used when the source names no block device.
    bool isRemovable(const QString &source, const QString &majorMinor) const;

    // Directory of the block device (partition or whole disk) in the tree; empty if unknown.
    QString blockDirectory(const QString &source, const QString &majorMinor) const;

private:
    bool diskIsRemovable(const QString &diskDir, int depth) const;

    QString m_classBlockDir;
};
