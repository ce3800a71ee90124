#include "disk/DiskMonitor.h"

#include "disk/DiskBackend.h"
#include "disk/DiskLog.h"
#include "disk/DriveLetters.h"

#include <QCoreApplication>
#include <QDebug>

DiskMonitor::DiskMonitor(QObject *parent)
    : DiskMonitor(DiskBackend::createDefault(), parent)
{
}

DiskMonitor::DiskMonitor(std::unique_ptr<DiskBackend> backend, QObject *parent)
    : QObject(parent)
    , m_backend(std::move(backend))
{
    if (!m_backend)
        m_backend = std::make_unique<DiskBackend>();
    connect(m_backend.get(), &DiskBackend::diskArrived, this, &DiskMonitor::diskArrived);
    connect(m_backend.get(), &DiskBackend::diskRemoved, this, &DiskMonitor::diskRemoved);
}

DiskMonitor::~DiskMonitor() = default;

void DiskMonitor::AddDisk(const QString &path)
{
    qCDebug(lcDisk) << "#MainWindow# AddDisk " << path;
    if (m_knownDisks.contains(path))
        return;
    qCDebug(lcDisk) << "#MainWindow# AddDisk " << path << " 11111";
    m_knownDisks.append(path);
    emit usbMountEvent(path);
}

void DiskMonitor::DeleteDisk(const QString &path)
{
    qCDebug(lcDisk).noquote() << "#MainWindow# DeleteDisk " << '"' + path + '"';
    if (m_knownDisks.removeOne(path))
        emit usbUMountEvent(path);
}

void DiskMonitor::scanDisks()
{
    m_knownDisks.clear();
    // The texts belong to the main window's catalogue, where the disk list used to live.
    qCDebug(lcDisk) << QCoreApplication::translate("MainWindow", "开机U盘扫描");
    const QStringList present = m_backend->presentDisks();
    for (const QString &path : present) {
        qCDebug(lcDisk) << QCoreApplication::translate("MainWindow", "U盘准备就绪！") << path;
        AddDisk(path);
    }
}

void DiskMonitor::handleDeviceChange(const DeviceChange &change)
{
    qCDebug(lcDisk) << "#MainWindow# device change";
    if (change.event == DeviceChange::Event::Other)
        return;
    const QString path = DriveLetters::pathFromDeviceChange(change);
    if (path.isEmpty())
        return;
    if (change.event == DeviceChange::Event::Arrival)
        diskArrived(path);
    else
        diskRemoved(path);
}

bool DiskMonitor::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(result)
    if (const auto change = m_backend->deviceChangeFromNativeEvent(eventType, message))
        handleDeviceChange(*change);
    return false;
}

void DiskMonitor::diskArrived(const QString &path)
{
    AddDisk(path);
    qCDebug(lcDisk) << "this->USBDisk Path =" << path;
}

void DiskMonitor::diskRemoved(const QString &path)
{
    qCDebug(lcDisk) << "USB_Removed";
    DeleteDisk(path);
    qCDebug(lcDisk) << "this-delete is =" << path;
}
