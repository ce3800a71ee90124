#pragma once

// The Win32 calls of the disk list, kept free of Qt types so that this file can be checked
// with a plain cross compiler. Drive letters are 'A' to 'Z'.

namespace Win32Drives {

// Event of a device-change message.
enum class Event { Other, Arrival, RemoveComplete };

// A WM_DEVICECHANGE message reduced to what the disk list needs.
struct VolumeMessage
{
    Event event = Event::Other;
    unsigned long deviceType = 0;
    unsigned long unitMask = 0;   // volume broadcasts only
    unsigned long flags = 0;      // volume broadcasts only
};

// Decodes a native MSG; false when it is no WM_DEVICECHANGE message.
bool readDeviceChange(const void *nativeMessage, VolumeMessage *out);

// Drives in use, bit 0 = A (GetLogicalDrives).
unsigned long logicalDrives();

// The drive is of the removable kind (GetDriveTypeW == DRIVE_REMOVABLE).
bool isRemovable(char letter);

// A medium is inserted and its volume can be read (GetVolumeInformationW succeeds).
bool hasReadableVolume(char letter);

} // namespace Win32Drives
