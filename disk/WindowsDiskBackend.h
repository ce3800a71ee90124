#pragma once

#include "disk/DiskBackend.h"

// Removable disks on Windows: drive letters of the removable kind with a readable volume,
// changes taken from WM_DEVICECHANGE messages that the main window's native event hook
// passes on.
class WindowsDiskBackend : public DiskBackend
{
    Q_OBJECT
public:
    explicit WindowsDiskBackend(QObject *parent = nullptr);

    QStringList presentDisks() override;
    std::optional<DeviceChange> deviceChangeFromNativeEvent(const QByteArray &eventType,
                                                            void *message) override;
};
