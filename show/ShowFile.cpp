#include "show/ShowFile.h"

#include "app/AppGlobals.h"
#include "app/InputFileCheck.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/WorkPack.h"
#include "show/ShowContent.h"
#include "show/ShowConverter.h"
#include "show/ShowDatabase.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "show/ShowLog.h"
#include "show/ShowRows.h"
#include "show/ShowSchema.h"
#include "show/ShowSnapshot.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QThread>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

QByteArray hashOf(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256);
}

QVariant idOrNull(qint64 id)
{
    return id > 0 ? QVariant(id) : QVariant(QMetaType::fromType<qint64>());
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

// The pieces of one save's transaction: looked up by hash, written only when missing.
class PieceStore
{
public:
    explicit PieceStore(QSqlDatabase &db) : find(db), insert(db)
    {
        find.prepare(QStringLiteral("SELECT id FROM blob WHERE hash = ?"));
        insert.prepare(QStringLiteral("INSERT INTO blob (hash, size, data) VALUES (?, ?, ?)"));
    }

    // The piece's id, 0 when the file does not hold it, -1 on error.
    qint64 idOf(const QByteArray &hash)
    {
        find.bindValue(0, hash);
        if (!find.exec()) {
            why = find.lastError().text();
            return -1;
        }
        const qint64 id = find.next() ? find.value(0).toLongLong() : 0;
        find.finish();
        return id;
    }

    // Stores data under hash unless the file holds it; its id, 0 for empty data, -1 on error.
    qint64 store(const QByteArray &hash, const QByteArray &data)
    {
        if (data.isEmpty())
            return 0;
        const qint64 id = idOf(hash);
        if (id != 0)
            return id;
        insert.bindValue(0, hash);
        insert.bindValue(1, qint64(data.size()));
        insert.bindValue(2, data);
        if (!insert.exec()) {
            why = insert.lastError().text();
            return -1;
        }
        ++written;
        bytes += data.size();
        return insert.lastInsertId().toLongLong();
    }

    QString why;
    int written = 0;
    qint64 bytes = 0;

private:
    QSqlQuery find;
    QSqlQuery insert;
};

// Never a null string: Qt SQL binds a null string as NULL.
QString textOf(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

QString suffixOf(const QString &path)
{
    return textOf(QFileInfo(path).completeSuffix());
}

// A suffix from a file is used in a file name: letters, digits and inner dots only.
QString safeSuffix(const QString &suffix)
{
    QString safe;
    for (const QChar c : suffix) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            safe.append(c);
        else if (c == QLatin1Char('.') && !safe.isEmpty() && !safe.endsWith(QLatin1Char('.')))
            safe.append(c);
    }
    while (safe.endsWith(QLatin1Char('.')))
        safe.chop(1);
    return safe.isEmpty() || safe.size() > 16 ? QStringLiteral("bin") : safe;
}

// The work-directory name a restored source gets, from the counter its importer uses.
QString restoredSourceName(int kind, const QString &suffix)
{
    const QString safe = safeSuffix(suffix);
    switch (kind) {
    case ImageObject::KindVideoFrame:
        return QStringLiteral("loadMedia_%1.%2").arg(loadMediaCounter.fetch_add(1)).arg(safe);
    case ImageObject::KindGifFrame:
        return QStringLiteral("loadGif_%1.%2").arg(loadGifCounter.fetch_add(1)).arg(safe);
    case ImageObject::KindDiy:
        return QStringLiteral("diy_%1.%2").arg(diyCounter.fetch_add(1)).arg(safe);
    default:
        return QStringLiteral("image_%1.%2").arg(imageCopyCounter.fetch_add(1)).arg(safe);
    }
}

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(bytes) == bytes.size() && file.flush())
        return true;
    *error = QStringLiteral("cannot write %1 (%2)").arg(path, file.errorString());
    file.close();
    QFile::remove(path);
    return false;
}

QString descriptionText(const QJsonObject &description)
{
    // Never a null string: the column is NOT NULL.
    return description.isEmpty()
               ? QStringLiteral("")
               : QString::fromUtf8(QJsonDocument(description).toJson(QJsonDocument::Compact));
}

// ------------------------------------------------------------------------ making items

class PieceReader
{
public:
    explicit PieceReader(ShowDatabase &db) : query(db.database())
    {
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT data FROM blob WHERE id = ?"));
    }

    bool read(qint64 id, QByteArray *data, QString *error)
    {
        query.bindValue(0, id);
        if (!query.exec() || !query.next()) {
            *error = ShowRows::damaged(query.lastError().text());
            return false;
        }
        *data = query.value(0).toByteArray();
        query.finish();
        return true;
    }

private:
    QSqlQuery query;
};

// Writes the restored files on threads of its own while the loading thread goes on reading
// pieces: reading from the show and writing into the work directory then overlap. At most
// kInFlightBytes wait at a time, so a show of large photographs is not held in memory whole.
// Plain threads and standard locks keep the hand-overs visible to ThreadSanitizer.
class FileWriters
{
public:
    // Small pieces go into pack; sources, used by path everywhere, get files of their own.
    explicit FileWriters(std::shared_ptr<WorkPack> pack) : pack(std::move(pack))
    {
        for (int t = 0; t < qMax(1, QThread::idealThreadCount()); ++t)
            threads.emplace_back([this] { work(); });
    }
    ~FileWriters() { finish(); }
    Q_DISABLE_COPY_MOVE(FileWriters)

    void write(const QString &path, const QByteArray &bytes)
    {
        run(bytes.size(), [this, path, bytes] {
            QString error;
            if (!writeWholeFile(path, bytes, &error))
                fail(error);
        });
    }

    // Where bytes will lie in the pack once written.
    WorkPack::Span packed(const QByteArray &bytes)
    {
        const WorkPack::Span span = pack->reserve(bytes.size());
        run(bytes.size(), [this, span, bytes] {
            QString error;
            if (!pack->write(span, bytes, &error))
                fail(error);
        });
        return span;
    }

    std::shared_ptr<const WorkPack> sharedPack() const { return pack; }

    // Waits for every write and ends the threads; the first failure, or empty.
    QString finish()
    {
        {
            std::lock_guard lock(mutex);
            closed = true;
        }
        changed.notify_all();
        for (std::thread &thread : threads)
            thread.join();
        threads.clear();
        std::lock_guard lock(mutex);
        return firstError;
    }

private:
    static constexpr qint64 kInFlightBytes = 64 * 1024 * 1024;
    struct Task
    {
        qint64 bytes;
        std::function<void()> job;
    };

    void run(qint64 bytes, std::function<void()> job)
    {
        std::unique_lock lock(mutex);
        // One piece larger than the bound still goes, alone.
        changed.wait(lock, [&] { return inFlight == 0 || inFlight + bytes <= kInFlightBytes; });
        inFlight += bytes;
        tasks.push_back({bytes, std::move(job)});
        changed.notify_all();
    }

    void work()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return !tasks.empty() || closed; });
            if (tasks.empty())
                return;
            Task task = std::move(tasks.front());
            tasks.pop_front();
            lock.unlock();
            task.job();
            lock.lock();
            inFlight -= task.bytes;
            changed.notify_all();
        }
    }

    void fail(const QString &error)
    {
        std::lock_guard lock(mutex);
        if (firstError.isEmpty())
            firstError = error;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Task> tasks;
    qint64 inFlight = 0;
    bool closed = false;
    QString firstError;
    const std::shared_ptr<WorkPack> pack;
    std::vector<std::thread> threads;
};

struct Plan
{
    enum Kind { Stored, Convert, Drop };
    Kind kind = Stored;
};

// written: every source file made, for removal when the load fails (an item's destructor
// removes its other files, not its source). The files are written by writers; the item is
// complete once they have finished.
ImageObject *makeItem(const ShowRows::Item &row, bool withLed, PieceReader &pieces,
                      FileWriters &writers, QStringList *written, QString *error)
{
    auto item = std::make_unique<ImageObject>(row.number, QString(), row.displayTime, row.kind);
    item->frameTime = float(row.frameTime);
    item->contrastFactor = float(row.contrast);
    item->sampling = row.sampling;
    item->squareRect = row.square;
    QByteArray bytes;
    if (row.ids.source != 0) {
        if (!pieces.read(row.ids.source, &bytes, error))
            return nullptr;
        const QString path = workFilePath(restoredSourceName(row.kind, row.suffix));
        written->append(path);
        writers.write(path, bytes);
        item->sourcePath = path;
    }
    ImageObject::PackedPieces packed{writers.sharedPack(), {}, {}, {}};
    const auto pack = [&](qint64 id, WorkPack::Span *span) {
        if (id == 0)
            return true;
        if (!pieces.read(id, &bytes, error))
            return false;
        *span = writers.packed(bytes);
        return true;
    };
    if (!pack(row.ids.thumbnail, &packed.thumbnail))
        return nullptr;
    if (withLed && (!pack(row.ids.led, &packed.ledData) ||
                    !pack(row.ids.preview, &packed.samplingPreview)))
        return nullptr;
    item->usePackedPieces(std::move(packed));
    return item.release();
}

void seed(ShowHashCache &cache, const ShowRows &rows, const ShowRows::Item &row,
          const ImageObject *item)
{
    const auto hash = [&](qint64 id) { return id ? rows.blobs.value(id).hash : QByteArray(); };
    cache.insert(item->revision(), item->sourcePath,
                 {hash(row.ids.source), hash(row.ids.thumbnail), hash(row.ids.led),
                  hash(row.ids.preview)});
}

#ifdef Q_OS_UNIX
// A rename is durable only once the directory holding it is.
void syncDirectory(const QString &directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

// ---------------------------------------------------------------------------- ShowFile

ShowFile::ShowFile(const QString &path, std::shared_ptr<ShowHashCache> shared)
    : target(path), cache(shared ? std::move(shared) : std::make_shared<ShowHashCache>())
{
}

QString ShowFile::stagingPath() const
{
    return QStringLiteral("%1.%2.saving")
        .arg(target)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

ShowFile::SaveStats ShowFile::lastSave() const
{
    QMutexLocker lock(&saving);
    return stats;
}

bool ShowFile::looksLikeShow(const QString &path)
{
    if (!InputFileCheck::problem(path).isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    // The application id sits at offset 68 of the SQLite header, big-endian.
    return header.size() == 100 && header.startsWith(QByteArrayLiteral("SQLite format 3\0")) &&
           qFromBigEndian<quint32>(header.constData() + 68) == quint32(ShowSchema::ApplicationId);
}

Outcome ShowFile::save(const ShowSnapshot &snapshot)
{
    QMutexLocker lock(&saving);
    stats = SaveStats();
    // Updated in place only when the file is a show this version writes: anything else is
    // replaced whole, so a save never half-changes a file it does not understand.
    bool inPlace = false;
    const QString journal = target + QStringLiteral("-journal");
    if (QFileInfo(target).isFile() && looksLikeShow(target) &&
        ShowSchema::headerProblem(target).isEmpty()) {
        // A journal left by a save that died is rolled back by the first read-write look.
        const bool hotJournal = QFileInfo(journal).size() > 0;
        ShowDatabase db(target, hotJournal ? ShowDatabase::Mode::ReadWrite
                                           : ShowDatabase::Mode::ReadOnly);
        inPlace = db.isOpen() &&
                  db.value(QStringLiteral("PRAGMA user_version")).toInt() == ShowSchema::Version;
    }
    if (inPlace)
        return write(snapshot, target, false);

    const QString staged = stagingPath();
    QFile::remove(staged);
    const auto cleanUp = qScopeGuard([&] {
        QFile::remove(staged);
        QFile::remove(staged + QStringLiteral("-journal"));
    });
    Outcome outcome = write(snapshot, staged, true);
    if (!outcome)
        return outcome;
    // A journal of the file being replaced would be played back into the new one.
    if (QFileInfo::exists(journal) && !QFile::remove(journal))
        return Outcome::failure(QStringLiteral("cannot replace %1: its journal %2 stays")
                                    .arg(target, journal));
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(staged).toStdString()),
                            std::filesystem::path(QFile::encodeName(target).toStdString()), error);
    if (error)
        return Outcome::failure(QStringLiteral("cannot replace %1 (%2)")
                                    .arg(target, QString::fromStdString(error.message())));
#ifdef Q_OS_UNIX
    syncDirectory(QFileInfo(target).absolutePath());
#endif
    stats.replaced = true;
    return outcome;
}

Outcome ShowFile::write(const ShowSnapshot &snapshot, const QString &dbPath, bool fresh)
{
    const auto failed = [&](const QString &why) {
        return Outcome::failure(QStringLiteral("cannot save %1: %2").arg(target, why));
    };
    if (snapshot.ledCount < 1 || snapshot.ledCount > kMaxLedCount || snapshot.lineNumber < 1 ||
        snapshot.lineNumber > kMaxLineNumber)
        return failed(QStringLiteral("the geometry %1 x %2 is out of range")
                          .arg(snapshot.ledCount)
                          .arg(snapshot.lineNumber));
    ShowDatabase db(dbPath, ShowDatabase::Mode::ReadWrite);
    if (!db.isOpen())
        return failed(db.errorText());
    // Removed pieces give their pages back to the file system. Large pages keep a
    // photograph's bytes in a few hundred pages instead of a thousand small ones.
    if (fresh && (!db.exec(QStringLiteral("PRAGMA page_size = 65536")) ||
                  !db.exec(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"))))
        return failed(db.errorText());
    if (!db.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) ||
        !db.exec(QStringLiteral("PRAGMA synchronous = FULL")) ||
        !db.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed(db.errorText());
    bool committed = false;
    const auto rollback = qScopeGuard([&] {
        if (!committed)
            db.exec(QStringLiteral("ROLLBACK"));
    });
    QString error;
    if (fresh && !ShowSchema::create(db, &error))
        return failed(error);

    Outcome outcome;
    {
        QSqlQuery meta(db.database());
        meta.prepare(QStringLiteral("INSERT OR REPLACE INTO meta (key, value) VALUES (?, ?)"));
        const QList<std::pair<QString, QVariant>> values{
            {QStringLiteral("led_count"), snapshot.ledCount},
            {QStringLiteral("line_number"), snapshot.lineNumber},
            {QStringLiteral("sampling"), snapshot.sampling == SamplingMode::Smooth ? 1 : 0},
            {QStringLiteral("language"), snapshot.languageCode},
            {QStringLiteral("saved_at"),
             QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        };
        for (const auto &[key, value] : values) {
            meta.bindValue(0, key);
            meta.bindValue(1, value);
            if (!meta.exec())
                return failed(meta.lastError().text());
        }

        QSqlQuery clear(db.database());
        if (!clear.exec(QStringLiteral("DELETE FROM item")) ||
            !clear.exec(QStringLiteral("DELETE FROM clip")))
            return failed(clear.lastError().text());

        PieceStore store(db.database());
        const qint64 ledBytes =
            DataBitCalculation::ledDataLength(snapshot.ledCount, snapshot.lineNumber);
        // The ids of an item's pieces: from the hashes remembered for its revision when the
        // file holds them all, else read from the item and stored.
        const auto piecesOf = [&](const ShowSnapshot::Item &item, const QString &label,
                                  ShowRows::Pieces *ids) -> bool {
            ShowHashCache::Pieces hashes;
            if (cache->find(item.revision, item.sourcePath, &hashes)) {
                bool all = true;
                const auto look = [&](const QByteArray &hash, qint64 *id) {
                    *id = hash.isEmpty() ? 0 : store.idOf(hash);
                    if (!hash.isEmpty() && *id <= 0)
                        all = false;
                };
                look(hashes.source, &ids->source);
                look(hashes.thumbnail, &ids->thumbnail);
                look(hashes.led, &ids->led);
                look(hashes.preview, &ids->preview);
                if (all)
                    return true;
            }
            // Given up between items: nothing is committed, the file stays as it was.
            if (stop && stop->load()) {
                error = QStringLiteral("cancelled");
                return false;
            }
            ++stats.itemsRead;
            ImageObject::StoredFiles files = item.item->readStoredFiles();
            QByteArray source;
            if (!item.sourcePath.isEmpty()) {
                QFile file(item.sourcePath);
                if (file.size() > ShowRows::MaxSourceBytes) {
                    error = QStringLiteral("the source of %1 is larger than a show holds (%2)")
                                .arg(label, item.sourcePath);
                    return false;
                }
                if (file.open(QIODevice::ReadOnly))
                    source = file.readAll();
                if (source.isEmpty())
                    outcome.warn(QStringLiteral("the source of %1 (%2) could not be read and "
                                                "is not kept")
                                     .arg(label, item.sourcePath));
            }
            // LED data of another length was not made for this geometry: not kept, so an
            // open converts the item from its source instead.
            if (files.ledData.size() != ledBytes)
                files.ledData.clear();
            hashes = {source.isEmpty() ? QByteArray() : hashOf(source),
                      files.thumbnailPng.isEmpty() ? QByteArray() : hashOf(files.thumbnailPng),
                      files.ledData.isEmpty() ? QByteArray() : hashOf(files.ledData),
                      files.samplingPreviewPng.isEmpty() ? QByteArray()
                                                         : hashOf(files.samplingPreviewPng)};
            ids->source = store.store(hashes.source, source);
            ids->thumbnail = store.store(hashes.thumbnail, files.thumbnailPng);
            ids->led = store.store(hashes.led, files.ledData);
            ids->preview = store.store(hashes.preview, files.samplingPreviewPng);
            if (ids->source < 0 || ids->thumbnail < 0 || ids->led < 0 || ids->preview < 0) {
                error = store.why;
                return false;
            }
            // Data read after a change is stored, but remembered only for the revision it is.
            if (files.revision == item.revision)
                cache->insert(item.revision, item.sourcePath, hashes);
            return true;
        };

        QSqlQuery items(db.database());
        items.prepare(QStringLiteral(
            "INSERT INTO item (clip, position, kind, number, display_time, frame_time, "
            "contrast, sampling, square_x, square_y, square_side, source_suffix, source, "
            "thumbnail, led, preview, transition) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const auto insertItem = [&](const ShowSnapshot::Item &item, qint64 clipId, int position,
                                    const QString &label) -> bool {
            ShowRows::Pieces ids;
            if (!piecesOf(item, label, &ids))
                return false;
            const bool square = item.squareRect.isValid();
            items.bindValue(0, idOrNull(clipId));
            items.bindValue(1, position);
            items.bindValue(2, item.kind);
            items.bindValue(3, item.number);
            items.bindValue(4, item.displayTime);
            items.bindValue(5, double(item.frameTime));
            items.bindValue(6, double(item.contrastFactor));
            items.bindValue(7, item.sampling == SamplingMode::Smooth ? 1 : 0);
            items.bindValue(8, square ? item.squareRect.x() : 0);
            items.bindValue(9, square ? item.squareRect.y() : 0);
            items.bindValue(10, square ? item.squareRect.width() : -1);
            items.bindValue(11, suffixOf(item.sourcePath));
            items.bindValue(12, idOrNull(ids.source));
            items.bindValue(13, idOrNull(ids.thumbnail));
            items.bindValue(14, idOrNull(ids.led));
            items.bindValue(15, idOrNull(ids.preview));
            items.bindValue(16, textOrNull(item.transition));
            if (!items.exec()) {
                error = items.lastError().text();
                return false;
            }
            return true;
        };

        for (int i = 0; i < snapshot.pictures.size(); ++i) {
            if (!insertItem(snapshot.pictures[i], 0, i, ShowRows::label(-1, i)))
                return failed(error);
        }
        QSqlQuery clips(db.database());
        clips.prepare(QStringLiteral(
            "INSERT INTO clip (position, number, loop_count, is_gif, origin_source, "
            "origin_path, start_ms, length_ms, zoom_steps, shown_width, shown_height, "
            "region_x, region_y, keep_speed, frame_tenths, transition, description) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int c = 0; c < snapshot.clips.size(); ++c) {
            const ShowSnapshot::Clip &clip = snapshot.clips[c];
            const ClipOrigin &origin = clip.origin;
            const QVariantList values{c, clip.number, clip.loopCount, clip.isGif ? 1 : 0,
                                      int(origin.source), textOf(origin.path), origin.startMs,
                                      origin.lengthMs, origin.zoomSteps,
                                      origin.shownSize.width(), origin.shownSize.height(),
                                      origin.regionTopLeft.x(), origin.regionTopLeft.y(),
                                      origin.keepSpeed ? 1 : 0, clip.frameTenths,
                                      textOrNull(clip.transition),
                                      descriptionText(origin.description)};
            for (int v = 0; v < values.size(); ++v)
                clips.bindValue(v, values[v]);
            if (!clips.exec())
                return failed(clips.lastError().text());
            const qint64 clipId = clips.lastInsertId().toLongLong();
            for (int f = 0; f < clip.frames.size(); ++f) {
                if (!insertItem(clip.frames[f], clipId, f, ShowRows::label(c, f)))
                    return failed(error);
            }
        }
        // Pieces no item uses any more go, and so do their pages.
        if (!clear.exec(QStringLiteral(
                "DELETE FROM blob WHERE id NOT IN ("
                "SELECT source FROM item WHERE source IS NOT NULL UNION "
                "SELECT thumbnail FROM item WHERE thumbnail IS NOT NULL UNION "
                "SELECT led FROM item WHERE led IS NOT NULL UNION "
                "SELECT preview FROM item WHERE preview IS NOT NULL)")))
            return failed(clear.lastError().text());
        stats.piecesWritten = store.written;
        stats.bytesWritten = store.bytes;
    }
    if (beforeCommit)
        beforeCommit();
    if (!db.exec(QStringLiteral("PRAGMA incremental_vacuum")) ||
        !db.exec(QStringLiteral("COMMIT")))
        return failed(db.errorText());
    committed = true;
    qCDebug(lcShow).nospace() << "save " << target << ": " << snapshot.itemCount() << " items, "
                              << stats.itemsRead << " read, " << stats.piecesWritten
                              << " pieces written (" << stats.bytesWritten << " bytes)";
    return outcome;
}

Outcome ShowFile::readInfo(const QString &path, ShowInfo *info)
{
    std::unique_ptr<ShowDatabase> db;
    ShowRows rows;
    if (const QString problem = ShowRows::read(path, &db, &rows); !problem.isEmpty())
        return Outcome::failure(QStringLiteral("cannot open %1: %2").arg(path, problem));
    ShowInfo result;
    result.version = rows.version;
    result.ledCount = rows.ledCount;
    result.lineNumber = rows.lineNumber;
    result.languageCode = rows.languageCode;
    result.sampling = rows.sampling;
    result.savedAt = rows.savedAt;
    for (const ShowRows::Item &row : rows.pictures)
        result.pictures.append({row.kind, row.number, row.displayTime, float(row.contrast),
                                row.sampling, row.ids.source != 0, row.ids.led != 0,
                                row.transition});
    for (const ShowRows::Clip &clip : rows.clips)
        result.clips.append({int(clip.frames.size()), clip.loopCount, clip.isGif, clip.origin,
                             clip.transition});
    *info = result;
    return Outcome::success();
}

Outcome ShowFile::load(const ShowLoadOptions &options, ShowContent *content)
{
    const auto refused = [&](const QString &why) {
        return Outcome::failure(QStringLiteral("cannot open %1: %2").arg(target, why));
    };
    std::unique_ptr<ShowDatabase> db;
    ShowRows rows;
    if (const QString problem = ShowRows::read(target, &db, &rows); !problem.isEmpty())
        return refused(problem);

    const int leds = ::ledCount.load();
    const int lines = ::lineNumber.load();
    const bool sameGeometry = leds == rows.ledCount && lines == rows.lineNumber;
    Outcome outcome;
    if (options.maxPictures > 0 && rows.pictures.size() > options.maxPictures) {
        outcome.warn(QStringLiteral("%1 pictures beyond the limit of %2 were left out")
                         .arg(rows.pictures.size() - options.maxPictures)
                         .arg(options.maxPictures));
        rows.pictures.resize(options.maxPictures);
    }
    ShowContent loaded;
    loaded.ledCount = leds;
    loaded.lineNumber = lines;
    loaded.savedLedCount = rows.ledCount;
    loaded.savedLineNumber = rows.lineNumber;
    loaded.languageCode = rows.languageCode;
    loaded.sampling = options.sampling.value_or(rows.sampling);

    // Stored LED data is taken when it was made for this geometry and the wanted sampling;
    // the rest is converted from its source, or left out when it has none. A clip with such
    // a frame goes whole (as a playlist conversion has it), and is named once, not per frame.
    const auto planFor = [&](const ShowRows::Item &row) {
        const SamplingMode wanted = options.sampling.value_or(row.sampling);
        if (sameGeometry && row.ids.led != 0 && (wanted == row.sampling || row.ids.source == 0))
            return Plan::Stored;
        return row.ids.source != 0 ? Plan::Convert : Plan::Drop;
    };
    const auto keepsSampling = [&](const ShowRows::Item &row) {
        return row.ids.source == 0 && options.sampling && *options.sampling != row.sampling;
    };
    const auto noteLeftOut = [&](const QString &label) {
        outcome.warn(QStringLiteral("%1 has no source to convert for %2 x %3 and is left out")
                         .arg(label)
                         .arg(leds)
                         .arg(lines));
    };
    const auto noteKept = [&](const QString &label) {
        outcome.warn(QStringLiteral("%1 has no source and keeps its sampling").arg(label));
    };

    QList<ShowConverter::Job> jobs;
    QList<std::pair<const ShowRows::Item *, ImageObject *>> stored;
    QStringList written;
    bool complete = false;
    // A failed load leaves no source behind (items remove only their other files).
    const auto removeSources = qScopeGuard([&] {
        if (!complete)
            for (const QString &path : std::as_const(written))
                QFile::remove(path);
    });
    QString error;
    ensureWorkDirectory();
    {
        std::shared_ptr<WorkPack> pack = WorkPack::create(&error);
        if (!pack)
            return refused(error);
        // Declared first, so that on every return its writes end before the items go.
        FileWriters writers(std::move(pack));
        PieceReader pieces(*db);
        const auto make = [&](const ShowRows::Item &row) -> ImageObject * {
            const Plan::Kind plan = planFor(row);
            if (plan == Plan::Drop)
                return nullptr;
            ImageObject *item =
                makeItem(row, plan == Plan::Stored, pieces, writers, &written, &error);
            if (!item)
                return nullptr;
            if (plan == Plan::Convert) {
                item->sampling = options.sampling.value_or(row.sampling);
                jobs.append({item, item->sourcePath, item->contrastFactor, row.label, QSize()});
            } else {
                stored.append({&row, item});
            }
            return item;
        };
        for (const ShowRows::Item &row : rows.pictures) {
            if (options.stop && options.stop->load())
                return refused(QStringLiteral("cancelled"));
            if (planFor(row) == Plan::Drop)
                noteLeftOut(row.label);
            else if (keepsSampling(row))
                noteKept(row.label);
            if (ImageObject *item = make(row)) {
                loaded.addPicture(item);
                loaded.setTransition(item, row.transition);
            } else if (!error.isEmpty())
                return refused(error);
        }
        for (qsizetype c = 0; c < rows.clips.size(); ++c) {
            const ShowRows::Clip &clipRow = rows.clips[c];
            if (clipRow.frames.isEmpty())
                continue;
            const QString clipLabel = QStringLiteral("clip %1").arg(c + 1);
            const auto planned = [&](auto test) {
                return std::any_of(clipRow.frames.cbegin(), clipRow.frames.cend(), test);
            };
            if (planned([&](const ShowRows::Item &row) { return planFor(row) == Plan::Drop; })) {
                noteLeftOut(clipLabel);
                continue;
            }
            if (planned(keepsSampling))
                noteKept(clipLabel);
            auto *clip = new MediaObject(clipRow.number, clipRow.origin.path);
            loaded.addClip(clip);
            loaded.setTransition(clip, clipRow.transition);
            clip->loopCount = clipRow.loopCount;
            clip->frameTenths = clipRow.frameTenths;
            clip->isGif = clipRow.isGif;
            clip->origin = clipRow.origin;
            for (const ShowRows::Item &row : clipRow.frames) {
                if (options.stop && options.stop->load())
                    return refused(QStringLiteral("cancelled"));
                if (ImageObject *item = make(row))
                    clip->frames.append(item);
                else if (!error.isEmpty())
                    return refused(error);
            }
        }
        if (const QString failed = writers.finish(); !failed.isEmpty())
            return refused(failed);
    }
    db.reset();

    const Outcome converted = ShowConverter::run(jobs, options.progress, options.stop);
    if (!converted)
        return refused(converted.error());
    loaded.converted = int(jobs.size());
    for (const auto &[row, item] : stored)
        seed(*cache, rows, *row, item);
    if (options.itemThread) {
        for (ImageObject *item : loaded.pictures())
            item->moveToThread(options.itemThread);
        for (MediaObject *clip : loaded.clips()) {
            clip->moveToThread(options.itemThread);
            for (ImageObject *frame : clip->frames)
                frame->moveToThread(options.itemThread);
        }
    }
    qCDebug(lcShow).nospace() << "load " << target << ": " << loaded.pictures().size()
                              << " pictures, " << loaded.clips().size() << " clips, "
                              << loaded.converted << " converted";
    *content = std::move(loaded);
    complete = true;
    return outcome;
}
