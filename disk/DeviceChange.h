#pragma once

#include <QtGlobal>

// One device-change notification as the operating system reports it, reduced to what the
// disk list needs. The values follow the Windows broadcast (a volume's device type is 2, the
// unit mask has bit 0 = A, flags 1 = medium change, 2 = network volume) so that the decoding
// can be written and tested on every platform.
struct DeviceChange
{
    enum class Event { Other, Arrival, RemoveComplete };

    static constexpr quint32 kVolumeDeviceType = 2;
    static constexpr quint32 kMediumChangeFlag = 1;
    static constexpr quint32 kNetworkFlag = 2;

    Event event = Event::Other;
    quint32 deviceType = 0;
    quint32 unitMask = 0;
    quint32 flags = 0;
};
