#include "show/ShowSchema.h"

#include "show/ShowDatabase.h"

#include <QFile>
#include <QtEndian>

namespace {

const char *const kTables[] = {
    "CREATE TABLE meta (key TEXT PRIMARY KEY, value NOT NULL)",
    "CREATE TABLE blob (id INTEGER PRIMARY KEY, hash BLOB NOT NULL UNIQUE, "
    "size INTEGER NOT NULL, data BLOB NOT NULL)",
    "CREATE TABLE clip (id INTEGER PRIMARY KEY, position INTEGER NOT NULL UNIQUE, "
    "number INTEGER NOT NULL, loop_count INTEGER NOT NULL, is_gif INTEGER NOT NULL, "
    "origin_source INTEGER NOT NULL, origin_path TEXT NOT NULL, start_ms INTEGER NOT NULL, "
    "length_ms INTEGER NOT NULL, zoom_steps INTEGER NOT NULL, shown_width INTEGER NOT NULL, "
    "shown_height INTEGER NOT NULL, region_x INTEGER NOT NULL, region_y INTEGER NOT NULL, "
    "keep_speed INTEGER NOT NULL, frame_tenths INTEGER NOT NULL, transition TEXT, "
    "description TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE item (id INTEGER PRIMARY KEY, clip INTEGER REFERENCES clip(id), "
    "position INTEGER NOT NULL, kind INTEGER NOT NULL, number INTEGER NOT NULL, "
    "display_time REAL NOT NULL, frame_time REAL NOT NULL, contrast REAL NOT NULL, "
    "sampling INTEGER NOT NULL, square_x INTEGER NOT NULL, square_y INTEGER NOT NULL, "
    "square_side INTEGER NOT NULL, source_suffix TEXT NOT NULL, "
    "source INTEGER REFERENCES blob(id), thumbnail INTEGER REFERENCES blob(id), "
    "led INTEGER REFERENCES blob(id), preview INTEGER REFERENCES blob(id), transition TEXT)",
    "CREATE INDEX item_order ON item (clip, position)",
};

// The SQLite file header (its first 100 bytes), as the file format documents it.
constexpr char kMagic[] = "SQLite format 3";
constexpr int kHeaderSize = 100;

} // namespace

bool ShowSchema::create(ShowDatabase &db, QString *error)
{
    for (const char *table : kTables) {
        if (!db.exec(QString::fromLatin1(table))) {
            *error = db.errorText();
            return false;
        }
    }
    if (!db.exec(QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId)) ||
        !db.exec(QStringLiteral("PRAGMA user_version = %1").arg(Version))) {
        *error = db.errorText();
        return false;
    }
    return true;
}

bool ShowSchema::upgrade(ShowDatabase &db, int fromVersion, QString *error)
{
    if (fromVersion == Version)
        return true;
    if (fromVersion == 1) {
        // Format 2 keeps the transition after a picture or clip and a text clip's settings;
        // format 1 has neither.
        for (const char *change : {"ALTER TABLE item ADD COLUMN transition TEXT",
                                   "ALTER TABLE clip ADD COLUMN transition TEXT",
                                   "ALTER TABLE clip ADD COLUMN description TEXT NOT NULL DEFAULT ''"}) {
            if (!db.exec(QString::fromLatin1(change))) {
                *error = db.errorText();
                return false;
            }
        }
        if (!db.exec(QStringLiteral("PRAGMA user_version = %1").arg(Version))) {
            *error = db.errorText();
            return false;
        }
        return true;
    }
    *error = QStringLiteral("no way to read format version %1").arg(fromVersion);
    return false;
}

QString ShowSchema::headerProblem(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("it cannot be opened (%1)").arg(file.errorString());
    const QByteArray header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith(QByteArray(kMagic, sizeof kMagic)))
        return QStringLiteral("it is not a show file");
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    // Page size at 16 (1 means 65536), pages at 28, valid while the change counter at 24
    // equals the one at 92.
    qint64 pageSize = qFromBigEndian<quint16>(bytes + 16);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 pages = qFromBigEndian<quint32>(bytes + 28);
    const bool pagesValid = qFromBigEndian<quint32>(bytes + 24) == qFromBigEndian<quint32>(bytes + 92);
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return QStringLiteral("it is damaged (its header is not valid)");
    if (pagesValid && pages > 0 && file.size() < pageSize * pages)
        return QStringLiteral("it is damaged (cut short: %1 of %2 bytes)")
            .arg(file.size())
            .arg(pageSize * pages);
    return {};
}
