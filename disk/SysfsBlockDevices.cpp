#include "disk/SysfsBlockDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString readTrimmed(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(64)).trimmed();
}

bool hasComponent(const QString &path, const QRegularExpression &pattern)
{
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (pattern.match(part).hasMatch())
            return true;
    }
    return false;
}

// SCSI peripheral type of CD/DVD drives: their media report removable but are no disks to
// write an effect to.
constexpr auto kOpticalScsiType = "5";
// Card type the MMC core reports for soldered eMMC (and the rare old MMC card).
constexpr auto kSolderedMmcType = "MMC";
// Device-mapper layers (encrypted sticks) are followed this many levels down to the device.
constexpr int kMaxSlaveDepth = 4;

} // namespace

SysfsBlockDevices::SysfsBlockDevices(const QString &classBlockDir)
    : m_classBlockDir(classBlockDir)
{
}

QString SysfsBlockDevices::blockDirectory(const QString &source, const QString &majorMinor) const
{
    static const QString devPrefix = QStringLiteral("/dev/");
    if (source.startsWith(devPrefix)) {
        const QString name = source.mid(devPrefix.size());
        if (!name.isEmpty() && !name.contains(u'/')) {
            const QString dir = m_classBlockDir + u'/' + name;
            if (QFileInfo(dir).isDir())
                return dir;
        }
    }
    // Sources such as /dev/mapper/x or /dev/disk/by-label/y: find the device by its number.
    // Major 0 numbers the kernel's anonymous devices (proc, tmpfs, overlay, network file
    // systems), which have no block device: looking through every device for one of them,
    // for each such mount, was most of the disk scan at start.
    if (majorMinor.isEmpty() || majorMinor.startsWith(QLatin1String("0:")))
        return {};
    const QStringList names = QDir(m_classBlockDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString dir = m_classBlockDir + u'/' + name;
        if (readTrimmed(dir + QStringLiteral("/dev")) == majorMinor)
            return dir;
    }
    return {};
}

bool SysfsBlockDevices::isRemovable(const QString &source, const QString &majorMinor) const
{
    const QString dir = blockDirectory(source, majorMinor);
    if (dir.isEmpty())
        return false;
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    // A partition sits inside its disk's directory; the disk carries the flags.
    const QString diskDir = QFileInfo::exists(dir + QStringLiteral("/partition"))
                                ? QFileInfo(canonical).path()
                                : canonical;
    return diskIsRemovable(diskDir, 0);
}

bool SysfsBlockDevices::diskIsRemovable(const QString &diskDir, int depth) const
{
    if (diskDir.isEmpty())
        return false;
    const QString deviceType = readTrimmed(diskDir + QStringLiteral("/device/type"));
    static const QRegularExpression usbBus(QStringLiteral("^usb\\d+$"));
    static const QRegularExpression mmcHost(QStringLiteral("^mmc\\d+$"));

    if (hasComponent(diskDir, mmcHost))
        return deviceType != QLatin1String(kSolderedMmcType);
    if (deviceType == QLatin1String(kOpticalScsiType))
        return false;
    if (readTrimmed(diskDir + QStringLiteral("/removable")) == QLatin1String("1"))
        return true;
    if (hasComponent(diskDir, usbBus))
        return true;

    // A mapped device (an encrypted stick) is removable when what it maps is.
    if (depth < kMaxSlaveDepth) {
        const QString slaves = diskDir + QStringLiteral("/slaves");
        const QStringList names = QDir(slaves).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            const QString slave = QFileInfo(slaves + u'/' + name).canonicalFilePath();
            const QString slaveDisk = QFileInfo::exists(slave + QStringLiteral("/partition"))
                                          ? QFileInfo(slave).path()
                                          : slave;
            if (diskIsRemovable(slaveDisk, depth + 1))
                return true;
        }
    }
    return false;
}
