#include "FakeSysfs.h"
#include "PrivateMounts.h"

#include "disk/DiskMonitor.h"
#include "disk/LinuxDiskBackend.h"
#include "disk/MountTable.h"
#include "disk/SysfsBlockDevices.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// One mountinfo line; mountPoint and source are given escaped as the kernel writes them.
QString mountLine(int id, const QString &majorMinor, const QString &mountPoint, const QString &fsType,
                  const QString &source, const QString &root = QStringLiteral("/"),
                  const QString &optional = QStringLiteral("shared:1"))
{
    QString line = QStringLiteral("%1 1 %2 %3 %4 rw,nosuid,nodev").arg(id).arg(majorMinor, root, mountPoint);
    if (!optional.isEmpty())
        line += u' ' + optional;
    return line + QStringLiteral(" - %1 %2 rw\n").arg(fsType, source);
}

const QString kRootLine = mountLine(20, "8:2", "/", "ext4", "/dev/sda2");
const QString kStickLine = mountLine(30, "8:17", "/media/user/STICK", "vfat", "/dev/sdb1");
const QString kSdLine = mountLine(31, "179:1", "/media/user/SDCARD", "exfat", "/dev/mmcblk0p1");

} // namespace

class TestLinuxDiskBackend : public QObject
{
    Q_OBJECT
public:
    explicit TestLinuxDiskBackend(bool isolated)
        : isolated(isolated)
    {
    }

private slots:
    void initTestCase();
    void init();

    void unescape_data();
    void unescape();
    void parseFields();
    void parseSkipsMalformedLines();
    void realMountTableIsReadable();

    void removableMounts_data();
    void removableMounts();

    void presentDisksAnnouncesNothing();
    void unmountIsReportedOnce();
    void remountElsewhereIsRemovalThenArrival();
    void changeSeenThroughNotification();
    void regularFileRaisesNoNotification();
    void kernelMountTableNotification();

private:
    bool isolated;
    void writeTable(const QString &text);
    void buildMachine();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeSysfs> m_sysfs;
    QString m_tablePath;
};

void TestLinuxDiskBackend::initTestCase()
{
    // The tree is only read: one for all tests.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_sysfs = std::make_unique<FakeSysfs>(m_dir->path() + "/sys");
    m_tablePath = m_dir->path() + "/mountinfo";
    buildMachine();
}

void TestLinuxDiskBackend::init()
{
    writeTable(kRootLine);
}

void TestLinuxDiskBackend::writeTable(const QString &text)
{
    QFile file(m_tablePath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// A laptop with an internal SATA disk and optical drive, an eMMC, an SD slot, a USB stick,
// a USB disk that does not call itself removable and an encrypted USB stick.
void TestLinuxDiskBackend::buildMachine()
{
    FakeSysfs &s = *m_sysfs;
    s.addDisk("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0", "sda", false, "0", "8:0");
    s.addPartition("sda", "sda1", "8:1");
    s.addPartition("sda", "sda2", "8:2");
    s.addDisk("pci0000:00/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0", "sr0", true, "5", "11:0");
    s.addDisk("pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0", "sdb", true, "0", "8:16");
    s.addPartition("sdb", "sdb1", "8:17");
    s.addDisk("pci0000:00/0000:00:14.0/usb3/3-2/3-2:1.0/host7/target7:0:0/7:0:0:0", "sdc", false, "0", "8:32");
    s.addPartition("sdc", "sdc1", "8:33");
    s.addDisk("pci0000:00/0000:00:14.0/usb2/2-2/2-2:1.0/host8/target8:0:0/8:0:0:0", "sdd", true, "0", "8:48");
    s.addPartition("sdd", "sdd1", "8:49");
    s.addMappedDevice("dm-0", "sdd1", "252:0");
    s.addDisk("platform/fe320000.mmc/mmc_host/mmc0/mmc0:aaaa", "mmcblk0", false, "SD", "179:0");
    s.addPartition("mmcblk0", "mmcblk0p1", "179:1");
    s.addDisk("platform/fe330000.mmc/mmc_host/mmc1/mmc1:0001", "mmcblk1", false, "MMC", "179:32");
    s.addPartition("mmcblk1", "mmcblk1p1", "179:33");
}

void TestLinuxDiskBackend::unescape_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("/media/user/STICK") << "/media/user/STICK";
    QTest::newRow("space") << QByteArray("/media/user/MY\\040STICK") << "/media/user/MY STICK";
    QTest::newRow("tab and newline") << QByteArray("/m/a\\011b\\012c") << "/m/a\tb\nc";
    QTest::newRow("backslash") << QByteArray("/m/a\\134b") << "/m/a\\b";
    QTest::newRow("utf-8 bytes") << QByteArray("/media/\xe7\x9b\x98") << QString::fromUtf8("/media/\xe7\x9b\x98");
    QTest::newRow("short escape at end") << QByteArray("/m/a\\04") << "/m/a\\04";
    QTest::newRow("not octal") << QByteArray("/m/a\\089") << "/m/a\\089";
}

void TestLinuxDiskBackend::unescape()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, text);
    QCOMPARE(MountTable::unescape(field), text);
}

void TestLinuxDiskBackend::parseFields()
{
    const QByteArray text = (mountLine(30, "8:17", "/media/u/MY\\040STICK", "vfat", "/dev/sdb1", "/", "")
                             + mountLine(31, "179:1", "/mnt/sd", "exfat", "/dev/mmcblk0p1", "/dcim",
                                         "shared:7 master:3 propagate_from:2"))
                                .toUtf8();
    const QList<MountTable::Entry> entries = MountTable::parse(text);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].majorMinor, "8:17");
    QCOMPARE(entries[0].root, "/");
    QCOMPARE(entries[0].mountPoint, "/media/u/MY STICK");
    QCOMPARE(entries[0].fsType, "vfat");
    QCOMPARE(entries[0].source, "/dev/sdb1");
    QCOMPARE(entries[1].root, "/dcim");
    QCOMPARE(entries[1].mountPoint, "/mnt/sd");
    QCOMPARE(entries[1].source, "/dev/mmcblk0p1");
}

void TestLinuxDiskBackend::parseSkipsMalformedLines()
{
    const QByteArray text = QByteArray("garbage\n\n30 1 8:17 / /m rw - vfat\n")
                            + "30 1 8:17 / /m rw no separator here\n"
                            + kSdLine.toUtf8();
    const QList<MountTable::Entry> entries = MountTable::parse(text);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].mountPoint, "/media/user/SDCARD");
    QVERIFY(MountTable::read(m_dir->path() + "/missing").isEmpty());
}

void TestLinuxDiskBackend::realMountTableIsReadable()
{
    const QList<MountTable::Entry> entries = MountTable::read("/proc/self/mountinfo");
    const bool hasRoot = std::any_of(entries.begin(), entries.end(),
                                     [](const MountTable::Entry &e) { return e.mountPoint == "/"; });
    QVERIFY(hasRoot);
}

void TestLinuxDiskBackend::removableMounts_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("disks");

    QTest::newRow("USB stick") << kRootLine + kStickLine << QStringList{"/media/user/STICK"};
    QTest::newRow("SD card") << kRootLine + kSdLine << QStringList{"/media/user/SDCARD"};
    QTest::newRow("internal disk ignored")
        << kRootLine + mountLine(21, "8:1", "/boot/efi", "vfat", "/dev/sda1")
               + mountLine(22, "8:2", "/home", "ext4", "/dev/sda2", "/home")
        << QStringList{};
    QTest::newRow("mount point with a space")
        << kRootLine + mountLine(30, "8:17", "/media/user/MY\\040STICK", "vfat", "/dev/sdb1")
        << QStringList{"/media/user/MY STICK"};
    QTest::newRow("USB disk not flagged removable")
        << kRootLine + mountLine(32, "8:33", "/media/user/SSD", "ext4", "/dev/sdc1")
        << QStringList{"/media/user/SSD"};
    QTest::newRow("soldered eMMC ignored")
        << mountLine(20, "179:33", "/", "ext4", "/dev/mmcblk1p1")
               + mountLine(21, "179:33", "/data", "ext4", "/dev/mmcblk1p1")
        << QStringList{};
    QTest::newRow("optical disc ignored")
        << kRootLine + mountLine(33, "11:0", "/media/user/CDROM", "iso9660", "/dev/sr0") << QStringList{};
    QTest::newRow("pseudo file systems ignored")
        << kRootLine + mountLine(2, "0:22", "/proc", "proc", "proc")
               + mountLine(3, "0:23", "/run", "tmpfs", "tmpfs")
               + mountLine(4, "0:24", "/media/user/net", "nfs", "server:/export")
        << QStringList{};
    QTest::newRow("bind mount of a folder of the stick ignored")
        << kRootLine + kStickLine + mountLine(40, "8:17", "/srv/photos", "vfat", "/dev/sdb1", "/photos")
        << QStringList{"/media/user/STICK"};
    QTest::newRow("source named by label")
        << kRootLine + mountLine(30, "8:17", "/media/user/LBL", "vfat", "/dev/disk/by-label/LBL")
        << QStringList{"/media/user/LBL"};
    QTest::newRow("encrypted stick")
        << kRootLine + mountLine(34, "252:0", "/media/user/SAFE", "ext4", "/dev/mapper/luks-1")
        << QStringList{"/media/user/SAFE"};
    QTest::newRow("stick without partition table")
        << kRootLine + mountLine(35, "8:16", "/media/user/RAW", "vfat", "/dev/sdb") << QStringList{"/media/user/RAW"};
    QTest::newRow("system running from a stick: its root is no target")
        << mountLine(20, "8:17", "/", "ext4", "/dev/sdb1") << QStringList{};
    QTest::newRow("table order, one entry per mount point")
        << kRootLine + kSdLine + kStickLine + kStickLine
        << QStringList{"/media/user/SDCARD", "/media/user/STICK"};
    QTest::newRow("same stick at two places")
        << kRootLine + kStickLine + mountLine(41, "8:17", "/mnt/stick", "vfat", "/dev/sdb1")
        << QStringList{"/media/user/STICK", "/mnt/stick"};
}

void TestLinuxDiskBackend::removableMounts()
{
    QFETCH(QString, table);
    QFETCH(QStringList, disks);
    writeTable(table);
    LinuxDiskBackend backend(m_tablePath, m_sysfs->classBlockDir());
    QCOMPARE(backend.presentDisks(), disks);
}

void TestLinuxDiskBackend::presentDisksAnnouncesNothing()
{
    LinuxDiskBackend backend(m_tablePath, m_sysfs->classBlockDir());
    QSignalSpy arrived(&backend, &DiskBackend::diskArrived);
    writeTable(kRootLine + kStickLine);
    QCOMPARE(backend.presentDisks(), QStringList{"/media/user/STICK"});
    QCOMPARE(arrived.count(), 0);
    // The state taken by presentDisks is the base of the next comparison.
    backend.rescan();
    QCOMPARE(arrived.count(), 0);
}

void TestLinuxDiskBackend::unmountIsReportedOnce()
{
    writeTable(kRootLine + kStickLine + kSdLine);
    LinuxDiskBackend backend(m_tablePath, m_sysfs->classBlockDir());
    QSignalSpy arrived(&backend, &DiskBackend::diskArrived);
    QSignalSpy removed(&backend, &DiskBackend::diskRemoved);

    writeTable(kRootLine + kSdLine);
    backend.rescan();
    backend.rescan();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toString(), "/media/user/STICK");
    QCOMPARE(arrived.count(), 0);
}

void TestLinuxDiskBackend::remountElsewhereIsRemovalThenArrival()
{
    writeTable(kRootLine + kStickLine);
    auto owned = std::make_unique<LinuxDiskBackend>(m_tablePath, m_sysfs->classBlockDir());
    LinuxDiskBackend *backend = owned.get();
    DiskMonitor monitor(std::move(owned));
    monitor.scanDisks();
    QCOMPARE(monitor.knownDisks(), QStringList{"/media/user/STICK"});
    QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
    QSignalSpy removed(&monitor, &DiskMonitor::usbUMountEvent);

    writeTable(kRootLine + mountLine(30, "8:17", "/media/user/STICK1", "vfat", "/dev/sdb1"));
    backend->rescan();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toString(), "/media/user/STICK");
    QCOMPARE(mounted.count(), 1);
    QCOMPARE(mounted.at(0).at(0).toString(), "/media/user/STICK1");
    QCOMPARE(monitor.knownDisks(), QStringList{"/media/user/STICK1"});
}

void TestLinuxDiskBackend::changeSeenThroughNotification()
{
    // The kernel raises a priority event on /proc/self/mountinfo, which no ordinary file
    // can do; a pipe stands in for it. Nothing polls: the change arrives through the
    // event loop's descriptor watch alone.
    int fds[2];
    QCOMPARE(::pipe(fds), 0);
    {
        auto backend = std::make_unique<LinuxDiskBackend>(m_tablePath, m_sysfs->classBlockDir());
        backend->watchChangeDescriptor(fds[0]);
        DiskMonitor monitor(std::move(backend));
        monitor.scanDisks();
        QVERIFY(monitor.knownDisks().isEmpty());
        QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
        QSignalSpy removed(&monitor, &DiskMonitor::usbUMountEvent);

        writeTable(kRootLine + mountLine(30, "8:17", "/media/user/MY\\040STICK", "vfat", "/dev/sdb1"));
        QVERIFY(::write(fds[1], "x", 1) == 1);
        QVERIFY(mounted.wait(2000));
        QCOMPARE(monitor.knownDisks(), QStringList{"/media/user/MY STICK"});

        writeTable(kRootLine);
        QVERIFY(::write(fds[1], "xy", 2) == 2);
        QVERIFY(removed.wait(2000));
        QVERIFY(monitor.knownDisks().isEmpty());
        QCOMPARE(mounted.count(), 1);
    }
    ::close(fds[1]);
    ::close(fds[0]);
}

void TestLinuxDiskBackend::regularFileRaisesNoNotification()
{
    // Watching an ordinary file for the priority event must stay silent (and must not spin):
    // only the kernel's mount table raises it.
    LinuxDiskBackend backend(m_tablePath, m_sysfs->classBlockDir());
    QSignalSpy arrived(&backend, &DiskBackend::diskArrived);
    writeTable(kRootLine + kStickLine);
    QTest::qWait(100);
    QCOMPARE(arrived.count(), 0);
}

void TestLinuxDiskBackend::kernelMountTableNotification()
{
    // The real thing: the kernel's own mount table, watched for its priority event. A tmpfs
    // mounted in this process's private namespace under the device name of the fake USB
    // stick stands for the stick being mounted.
    if (!isolated)
        QSKIP("no private mount namespace: cannot mount here");
    const QString stick = m_dir->path() + "/media/STICK 2";
    QVERIFY(QDir().mkpath(stick));
    LinuxDiskBackend backend("/proc/self/mountinfo", m_sysfs->classBlockDir());
    QVERIFY(!backend.presentDisks().contains(stick));
    QSignalSpy arrived(&backend, &DiskBackend::diskArrived);
    QSignalSpy removed(&backend, &DiskBackend::diskRemoved);

    QVERIFY(PrivateMounts::mountTmpfs(stick, "/dev/sdb1", "size=16k"));
    QVERIFY(arrived.wait(3000));
    QCOMPARE(arrived.at(0).at(0).toString(), stick);

    PrivateMounts::unmount(stick);
    QVERIFY(removed.wait(3000));
    QCOMPARE(removed.at(0).at(0).toString(), stick);
    QCOMPARE(arrived.count(), 1);
}

int main(int argc, char **argv)
{
    // Before any thread starts: a private mount namespace for the kernel notification test.
    const bool isolated = PrivateMounts::enterNamespace();
    QCoreApplication app(argc, argv);
    TestLinuxDiskBackend test(isolated);
    return QTest::qExec(&test, argc, argv);
}
#include "test_linux_disk_backend.moc"
