#pragma once

#include "disk/DeviceChange.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <memory>

class DiskBackend;

// The list of removable disks that are present, kept up to date from the platform's
// notifications and announced through usbMountEvent / usbUMountEvent. The main window owns
// one and forwards its signals; everything runs on the GUI thread.
class DiskMonitor : public QObject
{
    Q_OBJECT
public:
    // Uses the backend of the platform the program runs on.
    explicit DiskMonitor(QObject *parent = nullptr);
    // Uses the given backend (tests hand in fakes).
    explicit DiskMonitor(std::unique_ptr<DiskBackend> backend, QObject *parent = nullptr);
    ~DiskMonitor() override;
    Q_DISABLE_COPY_MOVE(DiskMonitor)

    // Disk paths in the order they were found, without duplicates.
    const QStringList &knownDisks() const { return m_knownDisks; }

    // Adds a disk and emits usbMountEvent; a path already known changes nothing.
    void AddDisk(const QString &path);
    // Removes a disk and emits usbUMountEvent; an unknown path changes nothing.
    void DeleteDisk(const QString &path);
    // Start-up scan: empties the list, then adds every present removable disk.
    void scanDisks();

    // Interprets one device-change notification (arrival or removal of a volume).
    void handleDeviceChange(const DeviceChange &change);

    // For the main window's native event hook; never consumes the event (returns false).
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result);

    DiskBackend *backend() const { return m_backend.get(); }

signals:
    void usbMountEvent(QString path);
    void usbUMountEvent(QString path);

private:
    void diskArrived(const QString &path);
    void diskRemoved(const QString &path);

    std::unique_ptr<DiskBackend> m_backend;
    QStringList m_knownDisks;
};
