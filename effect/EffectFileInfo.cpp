#include "effect/EffectFileInfo.h"

#include "app/InputFileCheck.h"
#include "app/LanguageTable.h"
#include "effect/EffectFormat.h"
#include "model/DataBitCalculation.h"

#include <QFile>
#include <QJsonArray>

int EffectFileInfo::recordCount() const
{
    if (layout == Layout::Indexed)
        return indexed.recordCount;
    return EffectFormat::kSlotCount + slotted.totalFrames();
}

QStringList EffectFileInfo::zeroTimings() const
{
    QStringList lines;
    if (layout == Layout::Indexed) {
        for (int i = 0; i < indexed.segments.size(); ++i) {
            const IndexedHeader::Segment &s = indexed.segments[i];
            if (s.isClip() && s.repeat == 0)
                lines << QStringLiteral("segment %1 is a clip of 0 loops").arg(i + 1);
            else if (!s.isClip() && s.time == 0)
                lines << QStringLiteral("segment %1 shows its picture for time 0").arg(i + 1);
            else if (!s.isClip() && s.repeat == 0)
                lines << QStringLiteral("segment %1 shows its picture 0 times").arg(i + 1);
        }
        return lines;
    }
    for (int i = 0; i < qMin<int>(slotted.pictureCount, int(slotted.timeBytes.size())); ++i) {
        if (slotted.timeBytes[size_t(i)] == 0)
            lines << QStringLiteral("picture slot %1 has a time of 0").arg(i + 1);
    }
    for (size_t c = 0; c < slotted.frameCounts.size(); ++c) {
        if (slotted.frameCounts[c] > 0 && slotted.loopCounts[c] == 0)
            lines << QStringLiteral("clip %1 has %2 frames and 0 loops")
                         .arg(c + 1)
                         .arg(slotted.frameCounts[c]);
    }
    return lines;
}

QString EffectFileInfo::layoutName() const
{
    return layout == Layout::Indexed ? QStringLiteral("indexed") : QStringLiteral("slotted");
}

QString EffectFileInfo::languageName() const
{
    if (layout != Layout::Indexed)
        return QString();
    const QString names = LanguageTable::namesOfFileByte(indexed.languageByte);
    if (!names.isEmpty())
        return names;
    return QStringLiteral("0x%1").arg(indexed.languageByte, 2, 16, QLatin1Char('0'));
}

QJsonObject EffectFileInfo::toJson() const
{
    QJsonObject json{
        {QStringLiteral("path"), path},
        {QStringLiteral("layout"), layoutName()},
        {QStringLiteral("ledCount"), ledCount},
        {QStringLiteral("lineNumber"), lineNumber},
        {QStringLiteral("fileSize"), double(fileSize)},
        {QStringLiteral("expectedSize"), double(expectedSize)},
        {QStringLiteral("lengthAgrees"), lengthAgrees()},
        {QStringLiteral("recordCount"), recordCount()},
    };
    if (layout == Layout::Indexed) {
        json.insert(QStringLiteral("language"), languageName());
        json.insert(QStringLiteral("languageByte"), int(indexed.languageByte));
        QJsonArray segments;
        for (const IndexedHeader::Segment &s : indexed.segments)
            segments.append(QJsonObject{{QStringLiteral("first"), s.first},
                                        {QStringLiteral("last"), s.last},
                                        {QStringLiteral("time"), s.time},
                                        {QStringLiteral("repeat"), s.repeat},
                                        {QStringLiteral("kind"), s.isClip()
                                                                     ? QStringLiteral("clip")
                                                                     : QStringLiteral("picture")},
                                        {QStringLiteral("seconds"),
                                         s.isClip() ? 0.0 : s.time * s.repeat / 10.0}});
        json.insert(QStringLiteral("segments"), segments);
    } else {
        QJsonArray frames, loops, times;
        for (int j = 0; j < EffectFormat::kClipPositions; ++j) {
            frames.append(slotted.frameCounts[j]);
            loops.append(slotted.loopCounts[j]);
        }
        for (int t : slotted.timeBytes)
            times.append(t);
        json.insert(QStringLiteral("pictureCount"), slotted.pictureCount);
        json.insert(QStringLiteral("clipFrameCounts"), frames);
        json.insert(QStringLiteral("clipLoopCounts"), loops);
        json.insert(QStringLiteral("slotTimes"), times);
    }
    return json;
}

std::optional<EffectFileInfo> EffectFileInfo::inspect(const QString &path, int ledCount,
                                                      int lineNumber, QString *error)
{
    auto fail = [error](const QString &reason) -> std::optional<EffectFileInfo> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QString refusal = InputFileCheck::refusal(path);
    if (!refusal.isEmpty())
        return fail(refusal);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));

    EffectFileInfo info;
    info.path = path;
    info.fileSize = file.size();
    info.ledCount = ledCount;
    info.lineNumber = lineNumber;
    const QByteArray head = file.read(EffectFormat::kHeaderSize);
    if (IndexedHeader::hasMagic(head)) {
        QString reason;
        const auto header = IndexedHeader::parse(head, &reason);
        if (!header)
            return fail(QStringLiteral("%1: %2").arg(path, reason));
        info.layout = Layout::Indexed;
        info.indexed = *header;
        info.expectedSize = EffectFormat::kHeaderSize
                            + header->recordCount
                                  * DataBitCalculation::ledDataLength(ledCount, lineNumber);
        return info;
    }
    const QString damage = IndexedHeader::damage(head);
    if (!damage.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(path, damage));
    const auto header = SlottedHeader::parse(head);
    if (!header)
        return fail(QStringLiteral("%1: shorter than an effect header (%2 bytes)")
                        .arg(path).arg(info.fileSize));
    info.layout = Layout::Slotted;
    info.slotted = *header;
    info.expectedSize = EffectFormat::kSlottedHeaderSize
                        + qint64(info.recordCount())
                              * EffectFormat::tripleRecordLength(ledCount, lineNumber);
    return info;
}
