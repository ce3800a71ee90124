#include "disk/WindowsDiskBackend.h"

#include "disk/DriveLetters.h"
#include "disk/Win32Drives.h"

WindowsDiskBackend::WindowsDiskBackend(QObject *parent)
    : DiskBackend(parent)
{
}

QStringList WindowsDiskBackend::presentDisks()
{
    return DriveLetters::readyRemovableDrives(Win32Drives::logicalDrives(), [](const QString &path) {
        const char letter = path.at(0).toLatin1();
        return Win32Drives::isRemovable(letter) && Win32Drives::hasReadableVolume(letter);
    });
}

std::optional<DeviceChange> WindowsDiskBackend::deviceChangeFromNativeEvent(const QByteArray &eventType,
                                                                            void *message)
{
    if (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG")
        return std::nullopt;
    Win32Drives::VolumeMessage volume;
    if (!Win32Drives::readDeviceChange(message, &volume))
        return std::nullopt;
    DeviceChange change;
    switch (volume.event) {
    case Win32Drives::Event::Arrival:
        change.event = DeviceChange::Event::Arrival;
        break;
    case Win32Drives::Event::RemoveComplete:
        change.event = DeviceChange::Event::RemoveComplete;
        break;
    case Win32Drives::Event::Other:
        change.event = DeviceChange::Event::Other;
        break;
    }
    change.deviceType = quint32(volume.deviceType);
    change.unitMask = quint32(volume.unitMask);
    change.flags = quint32(volume.flags);
    return change;
}
