#pragma once

#include <QString>
#include <QStringList>

// A miniature of the kernel's block-device tree under a given root, laid out as sysfs lays
// it out: devices/<bus path>/block/<disk>/<partition>, with class/block/<name> symlinks.
class FakeSysfs
{
public:
    explicit FakeSysfs(const QString &root);

    QString classBlockDir() const;

    // A whole disk below devices/<busPath>/block/<name>. deviceType is written to
    // device/type when not empty ("0" disk, "5" optical for SCSI; "SD", "MMC" on the mmc bus).
    void addDisk(const QString &busPath, const QString &name, bool removable,
                 const QString &deviceType, const QString &devNumber);
    void addPartition(const QString &diskName, const QString &name, const QString &devNumber);
    // A mapped device (device-mapper) in devices/virtual/block whose slave is slaveName.
    void addMappedDevice(const QString &name, const QString &slaveName, const QString &devNumber);

private:
    void writeFile(const QString &path, const QString &content);
    void linkClassEntry(const QString &name, const QString &target);

    QString m_root;
    QStringList m_diskDirs;
};
