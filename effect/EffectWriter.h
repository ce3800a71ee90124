#pragma once

#include "effect/DownloadResult.h"

#include <QString>

#include <functional>

class QSaveFile;
struct EffectPlaylist;

// Writes a playlist snapshot as an effect file in the indexed layout: the 4096-byte header,
// then every picture's and every clip frame's LED data as the item holds it.
//
// The file is first written completely beside the target (target + ".part"), flushed and
// synced, read back record by record and compared with what was meant (the header byte for
// byte, each record against a 64-bit fingerprint taken while writing), and only then moved
// over the target. Free space is checked first. Any failure (no space, cannot open, write
// error, medium removed, mismatch, a record whose length does not fit the geometry, more
// records than the header can count or a clip longer than EffectFormat::kMaxClipFrames)
// leaves an existing target untouched and is returned with a reason.
//
// Runs on the loop thread; it reads only the snapshot and the items' LED data
// (ImageObject::readLedData, under each item's mutex).
class EffectWriter
{
public:
    // Seams for tests; the defaults use the real file system.
    struct Hooks
    {
        // Free bytes for the directory; default QStorageInfo::bytesAvailable(). A negative
        // answer means "unknown" and skips the check.
        std::function<qint64(const QString &directory)> bytesAvailable;
        // Commits the staged file; default QSaveFile::commit().
        std::function<bool(QSaveFile &file)> commit;
        // Called with the staged file's path after the commit, before it is verified.
        std::function<void(const QString &stagedPath)> afterCommit;
        // Read the staged file back and compare it before replacing the target.
        bool verify = true;
        // Called after each record written: records done of all.
        std::function<void(qint64 done, qint64 total)> progress;
    };

    static DownloadResult write(const EffectPlaylist &playlist, const QString &path);
    static DownloadResult write(const EffectPlaylist &playlist, const QString &path,
                                const Hooks &hooks);

    // Length of the file the playlist gives with its geometry.
    static qint64 expectedFileSize(const EffectPlaylist &playlist);

    // Name of the staged file written before it replaces path.
    static QString stagingPath(const QString &path);
};
