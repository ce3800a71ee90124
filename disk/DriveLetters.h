#pragma once

#include "disk/DeviceChange.h"

#include <QString>
#include <QStringList>

#include <functional>

// Drive-letter rules of the disk list, free of any platform call: which disk a volume
// notification names, and which drives of a drive mask count as present removable disks.
class DriveLetters
{
public:
    // Number of letters a drive mask can name (A to Z).
    static constexpr int kLetterCount = 26;

    // "E:" for a plain volume notification whose lowest set unit bit (of bits 0 to 25) is E;
    // empty when the notification is not about a volume, has flags set (medium change,
    // network volume) or names no letter.
    static QString pathFromDeviceChange(const DeviceChange &change);

    // Drive path ("A:" .. "Z:") of a letter number 0..25.
    static QString pathOfLetter(int letterNumber);

    // The drives of mask, in letter order A to Z, for which isReadyRemovable(path) holds.
    static QStringList readyRemovableDrives(quint32 mask,
                                            const std::function<bool(const QString &)> &isReadyRemovable);
};
