#include "disk/DriveLetters.h"

QString DriveLetters::pathFromDeviceChange(const DeviceChange &change)
{
    if (change.deviceType != DeviceChange::kVolumeDeviceType || change.flags != 0)
        return {};
    for (int bit = 0; bit < kLetterCount; ++bit) {
        if (change.unitMask & (quint32(1) << bit))
            return pathOfLetter(bit);
    }
    return {};
}

QString DriveLetters::pathOfLetter(int letterNumber)
{
    return QString(QChar(u'A' + letterNumber)) + u':';
}

QStringList DriveLetters::readyRemovableDrives(quint32 mask,
                                               const std::function<bool(const QString &)> &isReadyRemovable)
{
    QStringList drives;
    // Every letter is looked at: a stick that was given a late letter (N: and beyond, common
    // on machines with many card-reader slots) must be found at start-up too.
    for (int bit = 0; bit < kLetterCount && mask != 0; ++bit) {
        if (!(mask & (quint32(1) << bit)))
            continue;
        const QString path = pathOfLetter(bit);
        if (isReadyRemovable(path))
            drives.append(path);
    }
    return drives;
}
