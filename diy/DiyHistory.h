#pragma once

#include "diy/HistoryObject.h"

#include <memory>
#include <vector>

// The canvas's undo and redo snapshots, oldest first. Holds at most MaxSnapshots undo steps
// and about MaxBytes of pictures (pictures shared between snapshots count once); the oldest
// go first, but the current snapshot and the one before it always stay.
class DiyHistory final
{
public:
    static constexpr int MaxSnapshots = 100;
    static constexpr qint64 MaxBytes = 256LL * 1024 * 1024;

    DiyHistory();
    ~DiyHistory();
    Q_DISABLE_COPY_MOVE(DiyHistory)

    // Appends a snapshot and forgets what could be redone.
    void push(const QImage &image, const QImage &baseImage, int zoomStep);
    // Drops the current snapshot (kept for redo) and returns the one before it; null when only
    // one is left.
    const HistoryObject *undo();
    // Brings back the snapshot last undone; null when there is none.
    const HistoryObject *redo();
    const HistoryObject *current() const;

    int size() const { return int(done.size()); }
    int redoSize() const { return int(undone.size()); }
    qint64 bytes() const;

private:
    void applyLimits();

    std::vector<std::unique_ptr<HistoryObject>> done;
    std::vector<std::unique_ptr<HistoryObject>> undone;
};
