#pragma once

#include "disk/DeviceChange.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

// What the disk list needs of the platform: the removable disks present now, and word of
// changes. A backend reports changes either as ready disk paths (diskArrived, diskRemoved)
// or, where the platform speaks in native window messages, by decoding such a message into
// a DeviceChange that the disk list interprets. This base class is the backend of platforms
// without removable-disk support: it reports no disks and no changes.
class DiskBackend : public QObject
{
    Q_OBJECT
public:
    explicit DiskBackend(QObject *parent = nullptr);
    ~DiskBackend() override;
    Q_DISABLE_COPY_MOVE(DiskBackend)

    // The backend for the platform the program runs on.
    static std::unique_ptr<DiskBackend> createDefault();

    // Paths of the removable disks that are present and readable now, in a stable order.
    virtual QStringList presentDisks();

    // Decodes a native window message; nullopt when it is not a device change.
    virtual std::optional<DeviceChange> deviceChangeFromNativeEvent(const QByteArray &eventType,
                                                                    void *message);

signals:
    void diskArrived(const QString &path);
    void diskRemoved(const QString &path);
};
