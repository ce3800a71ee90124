#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct EffectPlaylist;

// The 4096-byte header of the indexed layout: language byte, start magic, record count,
// a table of at most 500 segments, end magic.
class IndexedHeader
{
public:
    // One table entry: records first..last (1-based) are shown `time` tenths each, the
    // whole run `repeat` times. Time 1 marks a clip; a picture has time 2..255.
    struct Segment
    {
        int first = 0;
        int last = 0;
        int time = 0;
        int repeat = 0;
        bool isClip() const;
        int length() const { return last - first + 1; }
        bool operator==(const Segment &) const = default;
    };

    quint8 languageByte = 0;
    int recordCount = 0;
    QList<Segment> segments;

    // Pictures first, then the clips' frames; a clip without frames gets no entry. Entries
    // beyond 500 are left out while the records are still counted.
    // The writer traces each picture's tenths; the show's timeline asks quietly.
    enum class Trace { On, Off };
    static IndexedHeader fromPlaylist(const EffectPlaylist &playlist, Trace trace = Trace::On);

    QByteArray toBytes() const;

    // True when bytes hold the start magic at offset 1 and the end magic at 3024.
    static bool hasMagic(const QByteArray &bytes);

    // Why bytes look like a damaged indexed header: one magic without the other, or the
    // start magic in bytes that end before the end magic. Empty when both magics are in
    // place or neither is (a slotted header).
    static QString damage(const QByteArray &bytes);

    // Reads a header and checks its table: entries follow each other without gaps from
    // record 1 and stay within the record count. nullopt with *error set otherwise.
    static std::optional<IndexedHeader> parse(const QByteArray &bytes, QString *error);
};
