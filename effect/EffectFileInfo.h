#pragma once

#include "effect/IndexedHeader.h"
#include "effect/SlottedHeader.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// What an effect file holds, read from its header alone: the layout, its fields and whether
// the file's length agrees with a display geometry. Used to inspect files without making
// any items.
struct EffectFileInfo
{
    enum class Layout { Indexed, Slotted };

    QString path;
    Layout layout = Layout::Slotted;
    qint64 fileSize = 0;
    qint64 expectedSize = 0; // for the geometry given
    int ledCount = 0;
    int lineNumber = 0;
    IndexedHeader indexed;   // valid for Layout::Indexed
    SlottedHeader slotted;   // valid for Layout::Slotted

    bool lengthAgrees() const { return fileSize == expectedSize; }
    int recordCount() const;
    QString layoutName() const;
    // "en_US", "zh_CN/zh_HK", "none" or the byte in hex for the indexed layout.
    QString languageName() const;
    QJsonObject toJson() const;
    // One line for every entry the show would pass over or play wrongly: a picture of time
    // 0 or repeat 0, a clip of 0 loops (a slotted picture slot of time 0, a slotted clip with
    // frames and 0 loops). Empty for a sound header.
    QStringList zeroTimings() const;

    // nullopt with *error set when the file is not a regular readable file (refused before
    // it is opened), is shorter than a slotted header, or has an indexed header that is
    // damaged or whose table is inconsistent.
    static std::optional<EffectFileInfo> inspect(const QString &path, int ledCount,
                                                 int lineNumber, QString *error);
};
