#include "show/ShowRows.h"

#include "app/AppGlobals.h"
#include "app/InputFileCheck.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "show/ShowDatabase.h"
#include "show/ShowSchema.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace {

// A thumbnail or a 450 x 450 preview as PNG is a few hundred KB at most.
constexpr qint64 kMaxPngBytes = 64 * 1024 * 1024;
constexpr int kMaxItems = 1000000;
constexpr int kMaxLoops = 1000000;
constexpr double kMaxSeconds = 1.0e6;

// A text clip's settings as stored. What is no JSON object of a sane size is left out: the
// clip itself is whole and plays, it only cannot be opened in its dialog again.
QJsonObject descriptionOf(const QVariant &value)
{
    constexpr qsizetype kMaxDescriptionBytes = 64 * 1024;
    const QByteArray text = value.toString().toUtf8();
    if (text.isEmpty() || text.size() > kMaxDescriptionBytes)
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(text);
    return document.isObject() ? document.object() : QJsonObject();
}

bool readWhole(const QVariant &value, qint64 low, qint64 high, qint64 *out)
{
    bool ok = false;
    const qint64 v = value.toLongLong(&ok);
    if (!ok || v < low || v > high)
        return false;
    *out = v;
    return true;
}

bool readWhole(const QVariant &value, int low, int high, int *out)
{
    qint64 v = 0;
    if (!readWhole(value, qint64(low), qint64(high), &v))
        return false;
    *out = int(v);
    return true;
}

bool readReal(const QVariant &value, double low, double high, double *out)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < low || v > high)
        return false;
    *out = v;
    return true;
}

// A piece an item refers to: 0 for none; false when the reference names no stored piece.
bool readPiece(const QVariant &value, const ShowRows &rows, qint64 *id)
{
    if (value.isNull()) {
        *id = 0;
        return true;
    }
    bool ok = false;
    *id = value.toLongLong(&ok);
    return ok && rows.blobs.contains(*id);
}

QString checkPiece(const ShowRows &rows, qint64 id, qint64 maxBytes, qint64 exactBytes,
                   const QString &what)
{
    if (id == 0)
        return {};
    const ShowRows::Blob &blob = rows.blobs[id];
    if (blob.length != blob.size)
        return ShowRows::damaged(QStringLiteral("the %1 is %2 bytes where its record says %3")
                           .arg(what)
                           .arg(blob.length)
                           .arg(blob.size));
    if (blob.size > maxBytes || (exactBytes > 0 && blob.size != exactBytes))
        return ShowRows::damaged(QStringLiteral("the %1 has %2 bytes").arg(what).arg(blob.size));
    return {};
}

// Transitions came with format 2: an older file has none.
QString transitionColumn(int version)
{
    return version >= 2 ? QStringLiteral("transition") : QStringLiteral("NULL");
}

// A transition's JSON is a few dozen bytes; what is far longer is no description.
bool readTransition(const QVariant &value, QString *transition)
{
    constexpr qsizetype kMaxTransitionText = 4096;
    const QString text = value.isNull() ? QString() : value.toString();
    if (text.size() > kMaxTransitionText)
        return false;
    *transition = text;
    return true;
}

QString readItemRow(const QSqlQuery &q, const ShowRows &rows, ShowRows::Item *row)
{
    int sampling = 0;
    int side = 0;
    int x = 0;
    int y = 0;
    if (!readWhole(q.value(1), 0, 5, &row->kind) ||
        !readWhole(q.value(2), -kMaxItems, kMaxItems, &row->number) ||
        !readReal(q.value(3), 0.0, kMaxSeconds, &row->displayTime) ||
        !readReal(q.value(4), -1.0e12, 1.0e12, &row->frameTime) ||
        !readReal(q.value(5), 0.0, 100.0, &row->contrast) ||
        !readWhole(q.value(6), 0, 1, &sampling) ||
        !readWhole(q.value(7), -1, 1 << 20, &x) || !readWhole(q.value(8), -1, 1 << 20, &y) ||
        !readWhole(q.value(9), -1, 1 << 20, &side))
        return ShowRows::damaged(QStringLiteral("the values of %1 are out of range").arg(row->label));
    row->sampling = sampling == 1 ? SamplingMode::Smooth : SamplingMode::Sharp;
    row->square = side >= 0 ? QRect(x, y, side, side) : QRect();
    row->suffix = q.value(10).toString();
    if (!readTransition(q.value(15), &row->transition))
        return ShowRows::damaged(QStringLiteral("the transition after %1 is too long").arg(row->label));
    if (!readPiece(q.value(11), rows, &row->ids.source))
        return QStringLiteral("a piece is missing: the source of %1").arg(row->label);
    if (!readPiece(q.value(12), rows, &row->ids.thumbnail))
        return QStringLiteral("a piece is missing: the thumbnail of %1").arg(row->label);
    if (!readPiece(q.value(13), rows, &row->ids.led))
        return QStringLiteral("a piece is missing: the LED data of %1").arg(row->label);
    if (!readPiece(q.value(14), rows, &row->ids.preview))
        return QStringLiteral("a piece is missing: the preview of %1").arg(row->label);
    // Pictures and drawings are made from their sources; without one they cannot be edited.
    const bool needsSource =
        row->kind == ImageObject::KindPictureFile || row->kind == ImageObject::KindDiy;
    if (needsSource && row->ids.source == 0)
        return QStringLiteral("a piece is missing: the source of %1").arg(row->label);
    if (row->ids.source == 0 && row->ids.led == 0)
        return QStringLiteral("a piece is missing: %1 has neither a source nor LED data")
            .arg(row->label);
    const qint64 ledBytes = DataBitCalculation::ledDataLength(rows.ledCount, rows.lineNumber);
    for (const QString &problem :
         {checkPiece(rows, row->ids.source, ShowRows::MaxSourceBytes, 0,
                     QStringLiteral("source of %1").arg(row->label)),
          checkPiece(rows, row->ids.thumbnail, kMaxPngBytes, 0,
                     QStringLiteral("thumbnail of %1").arg(row->label)),
          checkPiece(rows, row->ids.led, ledBytes, ledBytes,
                     QStringLiteral("LED data of %1").arg(row->label)),
          checkPiece(rows, row->ids.preview, kMaxPngBytes, 0,
                     QStringLiteral("preview of %1").arg(row->label))}) {
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QString readMeta(ShowDatabase &db, ShowRows *rows)
{
    QSqlQuery q(db.database());
    if (!q.exec(QStringLiteral("SELECT key, value FROM meta")))
        return ShowRows::damaged(q.lastError().text());
    QHash<QString, QVariant> meta;
    while (q.next())
        meta.insert(q.value(0).toString(), q.value(1));
    for (const char *key : {"led_count", "line_number", "sampling", "language"}) {
        if (!meta.contains(QLatin1String(key)))
            return QStringLiteral("a piece is missing: the show's %1").arg(QLatin1String(key));
    }
    qint64 leds = 0;
    qint64 lines = 0;
    if (!readWhole(meta.value(QStringLiteral("led_count")), qint64(-1) << 62, qint64(1) << 62,
                   &leds) ||
        !readWhole(meta.value(QStringLiteral("line_number")), qint64(-1) << 62,
                   qint64(1) << 62, &lines) ||
        leds < 1 || leds > kMaxLedCount || lines < 1 || lines > kMaxLineNumber)
        return ShowRows::damaged(QStringLiteral("a geometry of %1 LEDs x %2 lines, outside 1-%3 x 1-%4")
                           .arg(meta.value(QStringLiteral("led_count")).toString(),
                                meta.value(QStringLiteral("line_number")).toString())
                           .arg(kMaxLedCount)
                           .arg(kMaxLineNumber));
    rows->ledCount = int(leds);
    rows->lineNumber = int(lines);
    int sampling = 0;
    if (!readWhole(meta.value(QStringLiteral("sampling")), 0, 1, &sampling) ||
        !readWhole(meta.value(QStringLiteral("language")), 0, 4, &rows->languageCode))
        return ShowRows::damaged(QStringLiteral("the sampling or the language is out of range"));
    rows->sampling = sampling == 1 ? SamplingMode::Smooth : SamplingMode::Sharp;
    rows->savedAt = meta.value(QStringLiteral("saved_at")).toString();
    return {};
}

QString readClips(ShowDatabase &db, ShowRows *rows, QHash<qint64, int> *clipIndex)
{
    QSqlQuery q(db.database());
    q.setForwardOnly(true);
    // Version 1 had no descriptions: its clips read as having none.
    const QString description =
        rows->version >= 2 ? QStringLiteral("description") : QStringLiteral("''");
    if (!q.exec(QStringLiteral(
            "SELECT id, number, loop_count, is_gif, origin_source, origin_path, start_ms, "
            "length_ms, zoom_steps, shown_width, shown_height, region_x, region_y, keep_speed, "
            "frame_tenths, %1, %2 FROM clip ORDER BY position")
                    .arg(transitionColumn(rows->version), description)))
        return ShowRows::damaged(q.lastError().text());
    while (q.next()) {
        ShowRows::Clip clip;
        clip.id = q.value(0).toLongLong();
        int source = 0;
        int w = 0, h = 0, x = 0, y = 0;
        if (!readWhole(q.value(1), -kMaxItems, kMaxItems, &clip.number) ||
            !readWhole(q.value(2), 0, kMaxLoops, &clip.loopCount) ||
            !readWhole(q.value(4), 0, int(ClipOrigin::Source::Text), &source) ||
            !readWhole(q.value(6), qint64(-1) << 40, qint64(1) << 40, &clip.origin.startMs) ||
            !readWhole(q.value(7), qint64(-1) << 40, qint64(1) << 40, &clip.origin.lengthMs) ||
            !readWhole(q.value(8), -1000, 1000, &clip.origin.zoomSteps) ||
            !readWhole(q.value(9), -1, 1 << 20, &w) || !readWhole(q.value(10), -1, 1 << 20, &h) ||
            !readWhole(q.value(11), -(1 << 20), 1 << 20, &x) ||
            !readWhole(q.value(12), -(1 << 20), 1 << 20, &y) ||
            !readWhole(q.value(14), 1, 255, &clip.frameTenths))
            return ShowRows::damaged(QStringLiteral("the values of clip %1 are out of range")
                               .arg(rows->clips.size() + 1));
        clip.isGif = q.value(3).toBool();
        clip.origin.source = ClipOrigin::Source(source);
        clip.origin.path = q.value(5).toString();
        clip.origin.shownSize = QSize(w, h);
        clip.origin.regionTopLeft = QPoint(x, y);
        clip.origin.keepSpeed = q.value(13).toBool();
        if (!readTransition(q.value(15), &clip.transition))
            return ShowRows::damaged(QStringLiteral("the transition after clip %1 is too long")
                               .arg(rows->clips.size() + 1));
        clip.origin.description = descriptionOf(q.value(16));
        clipIndex->insert(clip.id, int(rows->clips.size()));
        rows->clips.append(clip);
    }
    return {};
}

QString readItems(ShowDatabase &db, ShowRows *rows, const QHash<qint64, int> &clipIndex)
{
    QSqlQuery q(db.database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT clip, kind, number, display_time, frame_time, contrast, sampling, square_x, "
            "square_y, square_side, source_suffix, source, thumbnail, led, preview, %1 "
            "FROM item ORDER BY clip, position")
                    .arg(transitionColumn(rows->version))))
        return ShowRows::damaged(q.lastError().text());
    int count = 0;
    while (q.next()) {
        if (++count > kMaxItems)
            return ShowRows::damaged(QStringLiteral("more than %1 items").arg(kMaxItems));
        ShowRows::Item row;
        int clip = -1;
        if (!q.value(0).isNull()) {
            const auto it = clipIndex.constFind(q.value(0).toLongLong());
            if (it == clipIndex.constEnd())
                return ShowRows::damaged(QStringLiteral("a frame belongs to no clip"));
            clip = it.value();
        }
        row.label = ShowRows::label(clip, clip < 0 ? int(rows->pictures.size())
                                             : int(rows->clips[clip].frames.size()));
        if (const QString problem = readItemRow(q, *rows, &row); !problem.isEmpty())
            return problem;
        if (clip < 0)
            rows->pictures.append(row);
        else
            rows->clips[clip].frames.append(row);
    }
    if (q.lastError().isValid())
        return ShowRows::damaged(q.lastError().text());
    return {};
}

QString readBlobs(ShowDatabase &db, ShowRows *rows)
{
    QSqlQuery q(db.database());
    q.setForwardOnly(true);
    // length() of a blob comes from its record header: the data itself is not read.
    if (!q.exec(QStringLiteral("SELECT id, size, length(data), hash FROM blob")))
        return ShowRows::damaged(q.lastError().text());
    while (q.next()) {
        ShowRows::Blob blob;
        blob.size = q.value(1).toLongLong();
        blob.length = q.value(2).toLongLong();
        blob.hash = q.value(3).toByteArray();
        rows->blobs.insert(q.value(0).toLongLong(), blob);
    }
    if (q.lastError().isValid())
        return ShowRows::damaged(q.lastError().text());
    return {};
}

} // namespace

QString ShowRows::read(const QString &path, std::unique_ptr<ShowDatabase> *opened,
                       ShowRows *rows)
{
    if (const QString problem = InputFileCheck::problem(path); !problem.isEmpty())
        return problem;
    if (const QString problem = ShowSchema::headerProblem(path); !problem.isEmpty())
        return problem;
    // A journal left by a save that died must be rolled back, which needs write access.
    const bool hotJournal = QFileInfo(path + QStringLiteral("-journal")).size() > 0;
    auto db = std::make_unique<ShowDatabase>(
        path, hotJournal ? ShowDatabase::Mode::ReadWrite : ShowDatabase::Mode::ReadOnly);
    if (!db->isOpen())
        return ShowRows::damaged(db->errorText());
    const QVariant application = db->value(QStringLiteral("PRAGMA application_id"));
    if (!application.isValid())
        return ShowRows::damaged(db->errorText());
    if (application.toInt() != ShowSchema::ApplicationId)
        return QStringLiteral("it is not a show file");
    rows->version = db->value(QStringLiteral("PRAGMA user_version")).toInt();
    if (rows->version > ShowSchema::Version)
        return QStringLiteral("it was saved by a newer version of the program (show format %1; "
                              "this version reads up to %2)")
            .arg(rows->version)
            .arg(ShowSchema::Version);
    if (rows->version < 1)
        return QStringLiteral("it is not a show file");
    // Pieces are copied straight out of the mapped file rather than read page by page.
    if (!db->exec(QStringLiteral("PRAGMA mmap_size = 2147483648")) ||
        !db->exec(QStringLiteral("BEGIN")))
        return ShowRows::damaged(db->errorText());
    QHash<qint64, int> clipIndex;
    for (const QString &problem :
         {readMeta(*db, rows), readBlobs(*db, rows), readClips(*db, rows, &clipIndex),
          readItems(*db, rows, clipIndex)}) {
        if (!problem.isEmpty())
            return problem;
    }
    *opened = std::move(db);
    return {};
}

QString ShowRows::label(int clipIndex, int position)
{
    if (clipIndex < 0)
        return QStringLiteral("picture %1").arg(position + 1);
    return QStringLiteral("frame %1 of clip %2").arg(position + 1).arg(clipIndex + 1);
}

QString ShowRows::damaged(const QString &what)
{
    return QStringLiteral("it is damaged (%1)").arg(what);
}
