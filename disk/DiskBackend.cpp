#include "disk/DiskBackend.h"

#if defined(Q_OS_WIN)
#include "disk/WindowsDiskBackend.h"
#elif defined(Q_OS_LINUX)
#include "disk/LinuxDiskBackend.h"
#endif

DiskBackend::DiskBackend(QObject *parent)
    : QObject(parent)
{
}

DiskBackend::~DiskBackend() = default;

std::unique_ptr<DiskBackend> DiskBackend::createDefault()
{
#if defined(Q_OS_WIN)
    return std::make_unique<WindowsDiskBackend>();
#elif defined(Q_OS_LINUX)
    return std::make_unique<LinuxDiskBackend>();
#else
    return std::make_unique<DiskBackend>();
#endif
}

QStringList DiskBackend::presentDisks()
{
    return {};
}

std::optional<DeviceChange> DiskBackend::deviceChangeFromNativeEvent(const QByteArray &, void *)
{
    return std::nullopt;
}
