#pragma once

#include "app/Outcome.h"
#include "show/ShowHashCache.h"

#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class ShowContent;
struct ShowInfo;
struct ShowLoadOptions;
struct ShowSnapshot;

// One show file (".hdshow"): an SQLite database (see ShowSchema) holding everything needed to
// resume and re-edit a playlist. Every call opens a connection of its own on the calling
// thread, so saves may run on a worker while the GUI thread goes on; saves of one ShowFile
// are taken one at a time.
//
// Saving is atomic: a file that already is a show of this version is updated in one SQLite
// transaction (a crash or power cut mid-save leaves it as it was, rolled back from its
// journal at the next open); anything else at the path (no file, an older format, a file that
// is not a show) is replaced by a complete new file written beside it and renamed over it.
// Pieces (sources, LED data, previews, thumbnails) are stored once by their SHA-256; an
// item whose revision was stored before is not read again, and a piece the file holds is
// never written again.
//
// Loading reads everything into new items and hands them over only when all is well; a
// file that is not a show, is damaged, comes from a newer version or misses a piece is
// refused with the reason.
class ShowFile final
{
public:
    static constexpr const char *Suffix = "hdshow";

    // cache: shared by the savers of one show (its file and its recovery copy); a fresh one
    // when none is given.
    explicit ShowFile(const QString &path, std::shared_ptr<ShowHashCache> cache = {});
    Q_DISABLE_COPY_MOVE(ShowFile)

    const QString &path() const { return target; }
    const std::shared_ptr<ShowHashCache> &hashCache() const { return cache; }

    // Writes the snapshot as the whole show. Any thread; the items must stay alive and out
    // of conversions until it returns. Warnings name what could not be kept (a source file
    // that has gone).
    Outcome save(const ShowSnapshot &snapshot);

    // Reads the show into *content (replaced only on success). Any thread; see
    // ShowLoadOptions for the geometry and the conversions.
    Outcome load(const ShowLoadOptions &options, ShowContent *content);

    // What the file holds, without making items.
    static Outcome readInfo(const QString &path, ShowInfo *info);

    // True when the file starts as a show file does (an SQLite database with the show's
    // application id); cheap, for telling a show from an effect file.
    static bool looksLikeShow(const QString &path);

    // Where a save that replaces the file writes first.
    QString stagingPath() const;

    // What the last save did: for tests, benchmarks and a trace line.
    struct SaveStats
    {
        bool replaced = false;      // written beside and renamed over, not updated in place
        int itemsRead = 0;          // items whose files were read and hashed
        int piecesWritten = 0;      // pieces the file did not hold yet
        qint64 bytesWritten = 0;    // their bytes
    };
    SaveStats lastSave() const;

    // Seam for tests: called on the saving thread with every piece and row written, just
    // before the transaction commits.
    void setBeforeCommit(std::function<void()> hook) { beforeCommit = std::move(hook); }
    // Set from anywhere to give a save up before it reads its next item: it fails and the
    // file stays as it was. The flag must outlive the saves.
    void setStop(const std::atomic<bool> *flag) { stop = flag; }

private:
    Outcome write(const ShowSnapshot &snapshot, const QString &dbPath, bool fresh);

    const QString target;
    std::shared_ptr<ShowHashCache> cache;
    mutable QMutex saving;
    SaveStats stats;
    std::function<void()> beforeCommit;
    const std::atomic<bool> *stop = nullptr;
};
