#include "disk/DiskBackend.h"
#include "disk/DiskMonitor.h"
#include "disk/DriveLetters.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Stands in for the platform: a fixed list of present disks and a queue of decoded
// native events.
class FakeBackend : public DiskBackend
{
public:
    QStringList disks;
    std::optional<DeviceChange> nextNativeChange;
    int nativeCalls = 0;

    QStringList presentDisks() override { return disks; }
    std::optional<DeviceChange> deviceChangeFromNativeEvent(const QByteArray &, void *) override
    {
        ++nativeCalls;
        return nextNativeChange;
    }
    void arrive(const QString &path) { emit diskArrived(path); }
    void remove(const QString &path) { emit diskRemoved(path); }
};

constexpr quint32 bitOf(char letter)
{
    return quint32(1) << (letter - 'A');
}

DeviceChange volume(DeviceChange::Event event, quint32 mask, quint32 flags = 0)
{
    DeviceChange change;
    change.event = event;
    change.deviceType = DeviceChange::kVolumeDeviceType;
    change.unitMask = mask;
    change.flags = flags;
    return change;
}

QStringList firstArguments(const QSignalSpy &spy)
{
    QStringList values;
    for (const QList<QVariant> &call : spy)
        values.append(call.at(0).toString());
    return values;
}

} // namespace

Q_DECLARE_METATYPE(DeviceChange)

class TestDiskMonitor : public QObject
{
    Q_OBJECT

private slots:
    void pathFromDeviceChange_data();
    void pathFromDeviceChange();
    void readyRemovableDrives_data();
    void readyRemovableDrives();

    void addDiskTwiceAnnouncesOnce();
    void deleteUnknownDiskAnnouncesNothing();
    void pathsCompareCaseSensitively();
    void deleteKeepsOrderOfOthers();

    void arrivalAndRemovalThroughNotifications();
    void ignoredNotificationsChangeNothing_data();
    void ignoredNotificationsChangeNothing();

    void startupScanListsBackendDisks();
    void startupScanForgetsEarlierList();
    void backendPathSignalsReachTheList();
    void nativeEventIsPassedOnAndNeverConsumed();
};

void TestDiskMonitor::pathFromDeviceChange_data()
{
    QTest::addColumn<quint32>("deviceType");
    QTest::addColumn<quint32>("mask");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<QString>("path");

    const quint32 vol = DeviceChange::kVolumeDeviceType;
    QTest::newRow("E and G give E") << vol << (bitOf('E') | bitOf('G')) << 0u << "E:";
    QTest::newRow("F alone") << vol << bitOf('F') << 0u << "F:";
    QTest::newRow("A, lowest bit") << vol << bitOf('A') << 0u << "A:";
    QTest::newRow("Z, bit 25") << vol << bitOf('Z') << 0u << "Z:";
    QTest::newRow("no bits") << vol << 0u << 0u << "";
    QTest::newRow("only bits above Z") << vol << ((1u << 26) | (1u << 31)) << 0u << "";
    QTest::newRow("bit above Z and M") << vol << ((1u << 30) | bitOf('M')) << 0u << "M:";
    QTest::newRow("network volume") << vol << bitOf('H') << DeviceChange::kNetworkFlag << "";
    QTest::newRow("medium change") << vol << bitOf('H') << DeviceChange::kMediumChangeFlag << "";
    QTest::newRow("unknown flag") << vol << bitOf('H') << 0x100u << "";
    QTest::newRow("port device") << 3u << bitOf('E') << 0u << "";
    QTest::newRow("interface device") << 5u << bitOf('E') << 0u << "";
}

void TestDiskMonitor::pathFromDeviceChange()
{
    QFETCH(quint32, deviceType);
    QFETCH(quint32, mask);
    QFETCH(quint32, flags);
    QFETCH(QString, path);

    DeviceChange change = volume(DeviceChange::Event::Arrival, mask, flags);
    change.deviceType = deviceType;
    QCOMPARE(DriveLetters::pathFromDeviceChange(change), path);
}

void TestDiskMonitor::readyRemovableDrives_data()
{
    QTest::addColumn<quint32>("mask");
    QTest::addColumn<QStringList>("ready");  // drives the platform reports removable + readable
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("no drives") << 0u << QStringList{"E:"} << QStringList{};
    QTest::newRow("fixed C, stick E")
        << (bitOf('C') | bitOf('E')) << QStringList{"E:"} << QStringList{"E:"};
    // Late letters are found too: N: and Z: lie beyond the first thirteen letters.
    QTest::newRow("sticks on N and Z")
        << (bitOf('C') | bitOf('N') | bitOf('Z')) << QStringList{"N:", "Z:"} << QStringList{"N:", "Z:"};
    QTest::newRow("letter order")
        << (bitOf('G') | bitOf('E') | bitOf('M')) << QStringList{"M:", "G:", "E:"}
        << QStringList{"E:", "G:", "M:"};
    QTest::newRow("ready but not in mask") << bitOf('C') << QStringList{"E:"} << QStringList{};
}

void TestDiskMonitor::readyRemovableDrives()
{
    QFETCH(quint32, mask);
    QFETCH(QStringList, ready);
    QFETCH(QStringList, expected);

    QStringList asked;
    const QStringList found = DriveLetters::readyRemovableDrives(mask, [&](const QString &path) {
        asked.append(path);
        return ready.contains(path);
    });
    QCOMPARE(found, expected);
    // The platform is asked about drives in use only.
    for (const QString &path : asked)
        QVERIFY2(mask & bitOf(path.at(0).toLatin1()), qPrintable(path));
}

void TestDiskMonitor::addDiskTwiceAnnouncesOnce()
{
    DiskMonitor monitor(std::make_unique<FakeBackend>());
    QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
    monitor.AddDisk("F:");
    monitor.AddDisk("F:");
    QCOMPARE(monitor.knownDisks(), QStringList{"F:"});
    QCOMPARE(firstArguments(mounted), QStringList{"F:"});
}

void TestDiskMonitor::deleteUnknownDiskAnnouncesNothing()
{
    DiskMonitor monitor(std::make_unique<FakeBackend>());
    monitor.AddDisk("E:");
    QSignalSpy removed(&monitor, &DiskMonitor::usbUMountEvent);
    monitor.DeleteDisk("G:");
    QCOMPARE(removed.count(), 0);
    QCOMPARE(monitor.knownDisks(), QStringList{"E:"});
    monitor.DeleteDisk("E:");
    monitor.DeleteDisk("E:");
    QCOMPARE(firstArguments(removed), QStringList{"E:"});
    QVERIFY(monitor.knownDisks().isEmpty());
}

void TestDiskMonitor::pathsCompareCaseSensitively()
{
    DiskMonitor monitor(std::make_unique<FakeBackend>());
    QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
    monitor.AddDisk("/media/u/Stick");
    monitor.AddDisk("/media/u/STICK");
    QCOMPARE(monitor.knownDisks(), (QStringList{"/media/u/Stick", "/media/u/STICK"}));
    QCOMPARE(mounted.count(), 2);
}

void TestDiskMonitor::deleteKeepsOrderOfOthers()
{
    DiskMonitor monitor(std::make_unique<FakeBackend>());
    for (const char *path : {"E:", "F:", "G:"})
        monitor.AddDisk(path);
    monitor.DeleteDisk("F:");
    QCOMPARE(monitor.knownDisks(), (QStringList{"E:", "G:"}));
}

void TestDiskMonitor::arrivalAndRemovalThroughNotifications()
{
    DiskMonitor monitor(std::make_unique<FakeBackend>());
    QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
    QSignalSpy removed(&monitor, &DiskMonitor::usbUMountEvent);

    monitor.handleDeviceChange(volume(DeviceChange::Event::Arrival, bitOf('F')));
    monitor.handleDeviceChange(volume(DeviceChange::Event::Arrival, bitOf('F')));
    QCOMPARE(monitor.knownDisks(), QStringList{"F:"});
    QCOMPARE(firstArguments(mounted), QStringList{"F:"});

    monitor.handleDeviceChange(volume(DeviceChange::Event::RemoveComplete, bitOf('F')));
    QVERIFY(monitor.knownDisks().isEmpty());
    QCOMPARE(firstArguments(removed), QStringList{"F:"});

    // Inserted again after removal: listed again.
    monitor.handleDeviceChange(volume(DeviceChange::Event::Arrival, bitOf('F')));
    QCOMPARE(mounted.count(), 2);
}

void TestDiskMonitor::ignoredNotificationsChangeNothing_data()
{
    QTest::addColumn<DeviceChange>("change");
    DeviceChange other = volume(DeviceChange::Event::Other, bitOf('E'));
    DeviceChange network = volume(DeviceChange::Event::Arrival, bitOf('E'), DeviceChange::kNetworkFlag);
    DeviceChange medium = volume(DeviceChange::Event::Arrival, bitOf('E'), DeviceChange::kMediumChangeFlag);
    DeviceChange port = volume(DeviceChange::Event::Arrival, bitOf('E'));
    port.deviceType = 3;
    DeviceChange noLetter = volume(DeviceChange::Event::Arrival, 0);
    DeviceChange removeNetwork = volume(DeviceChange::Event::RemoveComplete, bitOf('D'),
                                        DeviceChange::kNetworkFlag);
    QTest::newRow("other event") << other;
    QTest::newRow("network arrival") << network;
    QTest::newRow("medium change") << medium;
    QTest::newRow("non-volume device") << port;
    QTest::newRow("no letter") << noLetter;
    QTest::newRow("network removal of a known letter") << removeNetwork;
}

void TestDiskMonitor::ignoredNotificationsChangeNothing()
{
    QFETCH(DeviceChange, change);
    DiskMonitor monitor(std::make_unique<FakeBackend>());
    monitor.AddDisk("D:");
    QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
    QSignalSpy removed(&monitor, &DiskMonitor::usbUMountEvent);
    monitor.handleDeviceChange(change);
    QCOMPARE(monitor.knownDisks(), QStringList{"D:"});
    QCOMPARE(mounted.count(), 0);
    QCOMPARE(removed.count(), 0);
}

void TestDiskMonitor::startupScanListsBackendDisks()
{
    auto backend = std::make_unique<FakeBackend>();
    backend->disks = {"E:", "G:", "E:"};
    DiskMonitor monitor(std::move(backend));
    QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
    monitor.scanDisks();
    QCOMPARE(monitor.knownDisks(), (QStringList{"E:", "G:"}));
    QCOMPARE(firstArguments(mounted), (QStringList{"E:", "G:"}));
}

void TestDiskMonitor::startupScanForgetsEarlierList()
{
    auto backend = std::make_unique<FakeBackend>();
    FakeBackend *fake = backend.get();
    DiskMonitor monitor(std::move(backend));
    monitor.AddDisk("X:");
    fake->disks = {"/media/u/SD"};
    monitor.scanDisks();
    QCOMPARE(monitor.knownDisks(), QStringList{"/media/u/SD"});
    fake->disks.clear();
    monitor.scanDisks();
    QVERIFY(monitor.knownDisks().isEmpty());
}

void TestDiskMonitor::backendPathSignalsReachTheList()
{
    auto backend = std::make_unique<FakeBackend>();
    FakeBackend *fake = backend.get();
    DiskMonitor monitor(std::move(backend));
    QSignalSpy mounted(&monitor, &DiskMonitor::usbMountEvent);
    QSignalSpy removed(&monitor, &DiskMonitor::usbUMountEvent);

    fake->arrive("/media/u/MY STICK");
    fake->arrive("/media/u/MY STICK");
    fake->remove("/media/u/OTHER");
    QCOMPARE(monitor.knownDisks(), QStringList{"/media/u/MY STICK"});
    fake->remove("/media/u/MY STICK");
    QCOMPARE(firstArguments(mounted), QStringList{"/media/u/MY STICK"});
    QCOMPARE(firstArguments(removed), QStringList{"/media/u/MY STICK"});
}

void TestDiskMonitor::nativeEventIsPassedOnAndNeverConsumed()
{
    auto backend = std::make_unique<FakeBackend>();
    FakeBackend *fake = backend.get();
    DiskMonitor monitor(std::move(backend));
    qintptr result = 0;

    // Not a device change: nothing happens.
    QVERIFY(!monitor.nativeEvent("windows_generic_MSG", nullptr, &result));
    QCOMPARE(fake->nativeCalls, 1);
    QVERIFY(monitor.knownDisks().isEmpty());

    fake->nextNativeChange = volume(DeviceChange::Event::Arrival, bitOf('E') | bitOf('G'));
    QVERIFY(!monitor.nativeEvent("windows_generic_MSG", nullptr, &result));
    QCOMPARE(monitor.knownDisks(), QStringList{"E:"});

    fake->nextNativeChange = volume(DeviceChange::Event::RemoveComplete, bitOf('E'));
    QVERIFY(!monitor.nativeEvent("windows_generic_MSG", nullptr, &result));
    QVERIFY(monitor.knownDisks().isEmpty());
}


QTEST_GUILESS_MAIN(TestDiskMonitor)
#include "test_disk_monitor.moc"
