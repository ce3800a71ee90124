#include "Win32Drives.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <dbt.h>

namespace Win32Drives {

namespace {

// "E:\" as the drive functions want it.
void rootOf(char letter, wchar_t root[4])
{
    root[0] = static_cast<wchar_t>(letter);
    root[1] = L':';
    root[2] = L'\\';
    root[3] = L'\0';
}

} // namespace

bool readDeviceChange(const void *nativeMessage, VolumeMessage *out)
{
    const MSG *msg = static_cast<const MSG *>(nativeMessage);
    if (msg == nullptr || msg->message != WM_DEVICECHANGE)
        return false;
    *out = VolumeMessage();
    if (msg->wParam == DBT_DEVICEARRIVAL)
        out->event = Event::Arrival;
    else if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
        out->event = Event::RemoveComplete;
    else
        return true;
    const DEV_BROADCAST_HDR *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(msg->lParam);
    if (header == nullptr)
        return true;
    out->deviceType = header->dbch_devicetype;
    if (header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
        const DEV_BROADCAST_VOLUME *volume = reinterpret_cast<const DEV_BROADCAST_VOLUME *>(header);
        out->unitMask = volume->dbcv_unitmask;
        out->flags = volume->dbcv_flags;
    }
    return true;
}

unsigned long logicalDrives()
{
    return GetLogicalDrives();
}

bool isRemovable(char letter)
{
    wchar_t root[4];
    rootOf(letter, root);
    return GetDriveTypeW(root) == DRIVE_REMOVABLE;
}

bool hasReadableVolume(char letter)
{
    wchar_t root[4];
    rootOf(letter, root);
    // An empty card reader must not raise the "insert a disk" system box.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const BOOL ok = GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    SetErrorMode(oldMode);
    return ok != FALSE;
}

} // namespace Win32Drives
