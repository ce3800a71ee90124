#pragma once

#include "app/Outcome.h"
#include "model/SamplingMode.h"

#include <QList>
#include <QSize>

#include <atomic>
#include <functional>
#include <optional>

class ImageObject;
class MediaObject;

// Converts a playlist for another geometry or sampling into new items, from the items'
// sources, leaving the playlist's own items untouched until the new ones are taken: a
// conversion that fails or is cancelled changes nothing. Each new item keeps its original's
// number, time, frame time, contrast, region and place; a clip its loop count and origin.
//
// Items without a source (read back from an effect file: LED data only) cannot be
// converted. For a new geometry they are left out (a clip with such a frame goes whole);
// for a sampling alone they are copied as they are, their LED data being valid still.
//
// Threads: construct, take and adopt on the GUI thread; run() on any one thread, while the
// original items stay alive and unchanged (the playlist is locked meanwhile).
class PlaylistConversion final
{
public:
    struct Target
    {
        // LEDs x lines the new items are made for.
        QSize geometry;
        // The sampling every picture and frame is to have; none: each keeps its own.
        std::optional<SamplingMode> sampling;
    };

    PlaylistConversion(const QList<ImageObject *> &pictures, const QList<MediaObject *> &clips,
                       const Target &target);
    // Deletes whatever was made and not taken (their sources stay with the originals).
    ~PlaylistConversion();
    Q_DISABLE_COPY_MOVE(PlaylistConversion)

    // Originals that cannot be converted (no source, or its file has gone): pictures, and
    // the clips holding such a frame. With a new geometry they are left out.
    const QList<ImageObject *> &unconvertiblePictures() const { return lostPictures; }
    const QList<MediaObject *> &unconvertibleClips() const { return lostClips; }
    // True when the geometry changes, so items without a source cannot stay.
    bool dropsUnconvertible() const { return newGeometry; }
    // True when the item's source file is there to convert from.
    static bool convertible(const ImageObject *item);

    // Pictures and frames run() converts, and those it copies as they are.
    int conversionCount() const { return int(jobs.size()); }
    int copyCount() const { return int(copies.size()); }

    // Converts (and copies) every item, in parallel; progress(done, total) on this thread.
    // Stops early, failing with "cancelled", when stop is set before it returns.
    Outcome run(const std::function<void(int done, int total)> &progress,
                const std::atomic<bool> *stop);

    // After a successful run, on the GUI thread: the new items, handed over once. Every
    // original's source file passes to its new item (the originals, about to be destroyed,
    // no longer name it); the originals left out keep theirs.
    QList<ImageObject *> takePictures();
    QList<MediaObject *> takeClips();

private:
    struct Copy
    {
        ImageObject *from = nullptr;
        ImageObject *to = nullptr;
    };
    ImageObject *prepare(ImageObject *original, const QString &label);
    void handOverSources();

    const Target target;
    bool newGeometry = false;
    bool ran = false;
    bool sourcesHandedOver = false;
    QList<ImageObject *> lostPictures;
    QList<MediaObject *> lostClips;
    QList<ImageObject *> newPictures;
    QList<MediaObject *> newClips;
    // Every new item with its original, for the sources.
    QList<Copy> made;
    struct Job
    {
        ImageObject *from = nullptr;
        ImageObject *to = nullptr;
        QString label;
    };
    QList<Job> jobs;
    QList<Copy> copies;
};
