#include "effect/IndexedHeader.h"

#include "effect/EffectFormat.h"
#include "effect/EffectLog.h"
#include "effect/EffectPlaylist.h"

#include <QDebug>

namespace {

void appendBigEndian16(QByteArray &bytes, int value)
{
    bytes.append(char((value >> 8) & 0xFF));
    bytes.append(char(value & 0xFF));
}

int bigEndian16(const QByteArray &bytes, int offset)
{
    return (quint8(bytes[offset]) << 8) | quint8(bytes[offset + 1]);
}

} // namespace

bool IndexedHeader::Segment::isClip() const
{
    return time == EffectFormat::kClipTimeByte;
}

IndexedHeader IndexedHeader::fromPlaylist(const EffectPlaylist &playlist, Trace trace)
{
    IndexedHeader header;
    header.languageByte = EffectFormat::languageByte(playlist.languageCode);
    header.recordCount = int(qMin<qint64>(playlist.recordCount(), EffectFormat::kMaxRecords));

    // Records are numbered in play order, so segments follow each other as readers expect.
    int next = 1;
    for (const EffectPlaylist::Entry &entry : playlist.playOrder()) {
        if (header.segments.size() >= EffectFormat::kMaxSegments)
            break;
        if (!entry.isClip) {
            const EffectPlaylist::Picture &picture = playlist.pictures[entry.index];
            const qint64 tenths = EffectFormat::tenthsOf(picture.displayTime);
            const EffectFormat::PictureTiming timing = EffectFormat::pictureTiming(tenths);
            if (trace == Trace::On)
                qCDebug(lcEffect).noquote() << "#MainWindow# downToUsb2 time = " << tenths;
            header.segments.append({next, next, timing.time, timing.repeat});
            ++next;
            continue;
        }
        const EffectPlaylist::Clip &clip = playlist.clips[entry.index];
        if (clip.frames.isEmpty())
            continue;
        const int last = next + int(clip.recordCount()) - 1;
        header.segments.append({next, last, EffectFormat::kClipTimeByte,
                                EffectFormat::loopByte(clip.loopCount)});
        next = last + 1;
    }
    return header;
}

QByteArray IndexedHeader::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(EffectFormat::kHeaderSize);
    bytes.append(char(languageByte));
    bytes.append(EffectFormat::startMagic());
    appendBigEndian16(bytes, recordCount & 0xFFFF);
    bytes.append(6, '\0');
    for (int i = 0; i < EffectFormat::kMaxSegments; ++i) {
        if (i < segments.size()) {
            const Segment &s = segments[i];
            appendBigEndian16(bytes, s.first & 0xFFFF);
            appendBigEndian16(bytes, s.last & 0xFFFF);
            bytes.append(char(s.time & 0xFF));
            bytes.append(char(s.repeat & 0xFF));
        } else {
            bytes.append(EffectFormat::kSegmentEntrySize, '\0');
        }
    }
    bytes.append(8, '\0');
    bytes.append(EffectFormat::endMagic());
    bytes.append(EffectFormat::kHeaderSize - bytes.size(), '\0');
    return bytes;
}

bool IndexedHeader::hasMagic(const QByteArray &bytes)
{
    const QByteArray start = EffectFormat::startMagic();
    const QByteArray end = EffectFormat::endMagic();
    return bytes.size() >= EffectFormat::kEndMagicOffset + end.size()
           && bytes.mid(EffectFormat::kStartMagicOffset, start.size()) == start
           && bytes.mid(EffectFormat::kEndMagicOffset, end.size()) == end;
}

QString IndexedHeader::damage(const QByteArray &bytes)
{
    const QByteArray start = EffectFormat::startMagic();
    const QByteArray end = EffectFormat::endMagic();
    const bool hasStart = bytes.mid(EffectFormat::kStartMagicOffset, start.size()) == start;
    const bool hasEnd = bytes.mid(EffectFormat::kEndMagicOffset, end.size()) == end;
    if (hasStart == hasEnd)
        return {};
    if (hasStart && bytes.size() < EffectFormat::kEndMagicOffset + end.size())
        return QStringLiteral("damaged indexed header: the file ends at byte %1, before the "
                              "end magic at byte %2")
            .arg(bytes.size()).arg(EffectFormat::kEndMagicOffset);
    if (hasStart)
        return QStringLiteral("damaged indexed header: the start magic is in place but the "
                              "end magic at byte %1 is not")
            .arg(EffectFormat::kEndMagicOffset);
    return QStringLiteral("damaged indexed header: the end magic is in place but the start "
                          "magic at byte %1 is not")
        .arg(EffectFormat::kStartMagicOffset);
}

std::optional<IndexedHeader> IndexedHeader::parse(const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &reason) -> std::optional<IndexedHeader> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (bytes.size() < EffectFormat::kHeaderSize || !hasMagic(bytes))
        return fail(QStringLiteral("not an indexed effect header"));

    IndexedHeader header;
    header.languageByte = quint8(bytes[0]);
    header.recordCount = bigEndian16(bytes, EffectFormat::kRecordCountOffset);
    int next = 1;
    for (int i = 0; i < EffectFormat::kMaxSegments; ++i) {
        const int at = EffectFormat::kSegmentTableOffset + i * EffectFormat::kSegmentEntrySize;
        Segment s{bigEndian16(bytes, at), bigEndian16(bytes, at + 2), quint8(bytes[at + 4]),
                  quint8(bytes[at + 5])};
        if (s.first == 0 && s.last == 0 && s.time == 0 && s.repeat == 0)
            break; // unused entries are zero and close the table
        if (s.first != next || s.last < s.first || s.last > header.recordCount)
            return fail(QStringLiteral("segment %1 (records %2 to %3) does not follow the "
                                       "table (next record %4 of %5)")
                            .arg(i + 1).arg(s.first).arg(s.last).arg(next)
                            .arg(header.recordCount));
        header.segments.append(s);
        next = s.last + 1;
    }
    return header;
}
