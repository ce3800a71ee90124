#pragma once

#include <QList>
#include <QString>

struct EffectFileInfo;
struct EffectPlaylist;
class IndexedHeader;
struct SlottedHeader;

// The show as the display plays it: which record is lit when, and for how long. Built from a
// segment table (the file as written, or the one a playlist will be written with) or from a
// slotted header, without touching any record, so the window, `inspect` and `render` agree.
//
// A run is one table entry: `frames` records from `firstRecord` (0-based, in file order) each
// shown `frameMs`, the whole run `repeats` times. Pictures are runs of one record shown for
// their time x repeat; clips are runs of their frames at 100 ms, repeated by their loop
// count. Runs that last no time are left out. Runs are kept rather than frames so that a
// hostile table of long looped clips costs no memory.
class ShowTimeline
{
public:
    struct Run
    {
        int firstRecord = 0;
        int frames = 1;
        qint64 frameMs = 0;
        int repeats = 1;
        qint64 startMs = 0;
        qint64 lengthMs() const { return frameMs * frames * repeats; }
    };

    // One lit record and for how long, as expand() lists them.
    struct Shown
    {
        int record = 0;
        qint64 ms = 0;
        bool operator==(const Shown &) const = default;
    };

    // Tenths of a second in the table's time byte; a clip's frame is one tenth.
    static constexpr int kTenthMs = 100;
    // The slotted layout keeps picture times in units of 0.2 s and shows clip frames 0.2 s.
    static constexpr int kSlottedUnitMs = 200;

    static ShowTimeline fromIndexed(const IndexedHeader &header);
    static ShowTimeline fromSlotted(const SlottedHeader &header);
    // In the order the effect file will hold it, with the times it will store.
    static ShowTimeline fromPlaylist(const EffectPlaylist &playlist);
    static ShowTimeline fromInfo(const EffectFileInfo &info);

    const QList<Run> &runs() const { return list; }
    qint64 totalMs() const { return total; }
    bool isEmpty() const { return total == 0; }
    // Records the show lights, the highest one plus one (0 for an empty show).
    int recordsUsed() const;

    // The record lit at ms (0 <= ms < totalMs()), -1 outside the show.
    int recordAt(qint64 ms) const;
    // When the record lit at ms gives way to the next one (totalMs() at the end).
    qint64 nextChangeAfter(qint64 ms) const;

    // Frames of a video of the show at fps: enough to cover every millisecond of it.
    qint64 frameCount(int fps) const;
    // The record of video frame i at fps (frame i is the picture at i / fps seconds).
    int recordOfFrame(qint64 frame, int fps) const;

    // Every record as it is lit, in order, merging nothing; for checks and small shows.
    // Stops after `limit` entries.
    QList<Shown> expand(int limit = 100000) const;

    // "1:05.3" (minutes, seconds and tenths), "1:02:05.3" from an hour on.
    static QString lengthText(qint64 ms);

private:
    void append(const Run &run);
    int runAt(qint64 ms) const;

    QList<Run> list;
    qint64 total = 0;
};
