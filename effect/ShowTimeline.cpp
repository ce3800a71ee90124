#include "effect/ShowTimeline.h"

#include "effect/EffectFileInfo.h"
#include "effect/EffectFormat.h"
#include "effect/EffectPlaylist.h"
#include "effect/IndexedHeader.h"
#include "effect/SlottedHeader.h"

#include <algorithm>

ShowTimeline ShowTimeline::fromIndexed(const IndexedHeader &header)
{
    ShowTimeline timeline;
    for (const IndexedHeader::Segment &segment : header.segments) {
        Run run;
        run.firstRecord = segment.first - 1;
        if (segment.isClip()) {
            run.frames = segment.length();
            run.frameMs = qint64(segment.time) * kTenthMs;
            run.repeats = segment.repeat;
        } else {
            // The display shows the picture `time` tenths, `repeat` times over: one stretch.
            run.frameMs = qint64(segment.time) * segment.repeat * kTenthMs;
        }
        timeline.append(run);
    }
    return timeline;
}

ShowTimeline ShowTimeline::fromSlotted(const SlottedHeader &header)
{
    ShowTimeline timeline;
    const int pictures = qMin(header.pictureCount, EffectFormat::kSlotCount);
    for (int slot = 0; slot < pictures; ++slot) {
        Run run;
        run.firstRecord = slot;
        run.frameMs = qint64(header.timeBytes[slot]) * kSlottedUnitMs;
        timeline.append(run);
    }
    int next = EffectFormat::kSlotCount;
    for (int j = 0; j < EffectFormat::kClipPositions; ++j) {
        Run run;
        run.firstRecord = next;
        run.frames = header.frameCounts[j];
        run.frameMs = kSlottedUnitMs;
        run.repeats = header.loopCounts[j];
        timeline.append(run);
        next += header.frameCounts[j];
    }
    return timeline;
}

ShowTimeline ShowTimeline::fromPlaylist(const EffectPlaylist &playlist)
{
    return fromIndexed(IndexedHeader::fromPlaylist(playlist, IndexedHeader::Trace::Off));
}

ShowTimeline ShowTimeline::fromInfo(const EffectFileInfo &info)
{
    return info.layout == EffectFileInfo::Layout::Indexed ? fromIndexed(info.indexed)
                                                          : fromSlotted(info.slotted);
}

void ShowTimeline::append(const Run &run)
{
    if (run.frames < 1 || run.frameMs < 1 || run.repeats < 1)
        return;
    Run placed = run;
    placed.startMs = total;
    list.append(placed);
    total += placed.lengthMs();
}

int ShowTimeline::recordsUsed() const
{
    int used = 0;
    for (const Run &run : list)
        used = qMax(used, run.firstRecord + run.frames);
    return used;
}

int ShowTimeline::runAt(qint64 ms) const
{
    if (ms < 0 || ms >= total)
        return -1;
    const auto after = std::upper_bound(list.cbegin(), list.cend(), ms,
                                        [](qint64 t, const Run &run) { return t < run.startMs; });
    return int(after - list.cbegin()) - 1;
}

int ShowTimeline::recordAt(qint64 ms) const
{
    const int index = runAt(ms);
    if (index < 0)
        return -1;
    const Run &run = list[index];
    const qint64 inPass = (ms - run.startMs) % (run.frameMs * run.frames);
    return run.firstRecord + int(inPass / run.frameMs);
}

qint64 ShowTimeline::nextChangeAfter(qint64 ms) const
{
    const int index = runAt(ms);
    if (index < 0)
        return total;
    const Run &run = list[index];
    const qint64 offset = ms - run.startMs;
    return run.startMs + (offset / run.frameMs + 1) * run.frameMs;
}

qint64 ShowTimeline::frameCount(int fps) const
{
    if (fps < 1)
        return 0;
    return (total * fps + 999) / 1000;
}

int ShowTimeline::recordOfFrame(qint64 frame, int fps) const
{
    if (fps < 1)
        return -1;
    // Whole milliseconds are exact here: every change falls on a whole millisecond.
    return recordAt(frame * 1000 / fps);
}

QList<ShowTimeline::Shown> ShowTimeline::expand(int limit) const
{
    QList<Shown> shown;
    for (const Run &run : list) {
        for (int pass = 0; pass < run.repeats; ++pass) {
            for (int k = 0; k < run.frames; ++k) {
                if (shown.size() >= limit)
                    return shown;
                shown.append({run.firstRecord + k, run.frameMs});
            }
        }
    }
    return shown;
}

QString ShowTimeline::lengthText(qint64 ms)
{
    const qint64 tenths = qMax<qint64>(0, ms) / 100;
    const qint64 seconds = tenths / 10;
    const QString rest = QStringLiteral("%1.%2")
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                             .arg(tenths % 10);
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
            .arg(rest);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(rest);
}
