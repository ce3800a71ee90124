#include "effect/EffectWriter.h"

#include "effect/EffectFormat.h"
#include "effect/EffectLog.h"
#include "effect/EffectPlaylist.h"
#include "effect/IndexedHeader.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStorageInfo>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Every record in file order: the pictures and each clip's frames in play order (every
// picture, then every clip, unless the playlist gives another order).
QList<ImageObject *> recordItems(const EffectPlaylist &playlist)
{
    QList<ImageObject *> items;
    items.reserve(playlist.recordCount());
    for (const EffectPlaylist::Entry &entry : playlist.playOrder()) {
        if (entry.isClip)
            items.append(playlist.clips[entry.index].records());
        else
            items.append(playlist.pictures[entry.index].item);
    }
    return items;
}

std::filesystem::path nativePath(const QString &path)
{
    const QByteArray utf8 = QDir::toNativeSeparators(path).toUtf8();
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t *>(utf8.constData()), utf8.size()));
}

QByteArray recordData(ImageObject *item, qint64 expected, int index, QString *error)
{
    const QByteArray data = item ? item->readLedData() : QByteArray();
    if (data.size() != expected) {
        *error = QStringLiteral("record %1 holds %2 bytes of LED data, %3 expected for the "
                                "display geometry")
                     .arg(index + 1).arg(data.size()).arg(expected);
        return {};
    }
    return data;
}

// Fingerprint of a record, kept while writing so verification need not fetch every
// record from its item again. 64 bits of a hash that runs at memory speed.
size_t recordFingerprint(const char *data, qint64 size, int index)
{
    return qHashBits(data, size_t(size), size_t(index) * 0x9E3779B97F4A7C15ull + 1);
}

// Reads the staged file back, one record at a time into one buffer, and compares it with
// the header and the fingerprints of what was written.
QString verifyStaged(const QString &stagedPath, const QByteArray &header,
                     const std::vector<size_t> &fingerprints, qint64 recordLength, qint64 total)
{
    QFile file(stagedPath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read back %1: %2").arg(stagedPath, file.errorString());
    if (file.size() != total)
        return QStringLiteral("verification failed: %1 bytes written, %2 expected")
            .arg(file.size()).arg(total);
    auto mismatch = [](qint64 offset) {
        return QStringLiteral("verification failed: the written file differs from byte %1 on")
            .arg(offset);
    };
    QByteArray buffer(qMax<qint64>(header.size(), recordLength), Qt::Uninitialized);
    if (file.read(buffer.data(), header.size()) != header.size()
        || memcmp(buffer.constData(), header.constData(), size_t(header.size())) != 0)
        return mismatch(0);
    for (size_t i = 0; i < fingerprints.size(); ++i) {
        const qint64 offset = header.size() + qint64(i) * recordLength;
        if (file.read(buffer.data(), recordLength) != recordLength
            || recordFingerprint(buffer.constData(), recordLength, int(i)) != fingerprints[i])
            return mismatch(offset);
    }
    return {};
}

} // namespace

QString EffectWriter::stagingPath(const QString &path)
{
    return path + QStringLiteral(".part");
}

qint64 EffectWriter::expectedFileSize(const EffectPlaylist &playlist)
{
    return EffectFormat::kHeaderSize
           + playlist.recordCount()
                 * DataBitCalculation::ledDataLength(playlist.ledCount, playlist.lineNumber);
}

DownloadResult EffectWriter::write(const EffectPlaylist &playlist, const QString &path)
{
    return write(playlist, path, Hooks());
}

DownloadResult EffectWriter::write(const EffectPlaylist &playlist, const QString &path,
                                   const Hooks &hooks)
{
    auto fail = [&path](const QString &reason) {
        qCWarning(lcEffect).noquote() << "#MainWindow# downToUsb2 failed:" << reason;
        return DownloadResult::failure(path, reason);
    };

    if (playlist.ledCount < 1 || playlist.lineNumber < 1)
        return fail(QStringLiteral("invalid display geometry %1 x %2")
                        .arg(playlist.ledCount).arg(playlist.lineNumber));
    if (playlist.recordCount() > EffectFormat::kMaxRecords)
        return fail(QStringLiteral("too many pictures and frames: %1, at most %2 fit")
                        .arg(playlist.recordCount()).arg(EffectFormat::kMaxRecords));
    for (int c = 0; c < playlist.clips.size(); ++c) {
        if (playlist.clips[c].recordCount() > EffectFormat::kMaxClipFrames)
            return fail(QStringLiteral("clip %1 has %2 frames, at most %3 fit")
                            .arg(c + 1).arg(playlist.clips[c].recordCount())
                            .arg(EffectFormat::kMaxClipFrames));
    }

    const qint64 recordLength =
        DataBitCalculation::ledDataLength(playlist.ledCount, playlist.lineNumber);
    const qint64 total = expectedFileSize(playlist);
    const QString directory = QFileInfo(path).absolutePath();
    if (!QFileInfo(directory).isDir())
        return fail(QStringLiteral("cannot open %1: the directory does not exist").arg(path));

    const qint64 available = hooks.bytesAvailable ? hooks.bytesAvailable(directory)
                                                  : QStorageInfo(directory).bytesAvailable();
    if (available >= 0 && available < total)
        return fail(QStringLiteral("not enough space: need %1 bytes, %2 available")
                        .arg(total).arg(available));

    const QString staged = stagingPath(path);
    const QList<ImageObject *> items = recordItems(playlist);
    const QByteArray header = IndexedHeader::fromPlaylist(playlist).toBytes();
    std::vector<size_t> fingerprints;
    fingerprints.reserve(hooks.verify ? items.size() : 0);
    {
        QSaveFile file(staged);
        if (!file.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));

        qCDebug(lcEffect).noquote() << "#MainWindow# downToUsb2 bytes length = " << header.size();
        if (file.write(header) != header.size())
            return fail(QStringLiteral("write error on %1: %2").arg(path, file.errorString()));

        for (int i = 0; i < items.size(); ++i) {
            QString error;
            const QByteArray data = recordData(items[i], recordLength, i, &error);
            if (!error.isEmpty())
                return fail(error);
            if (hooks.verify)
                fingerprints.push_back(recordFingerprint(data.constData(), data.size(), i));
            const qint64 written = file.write(data);
            qCDebug(lcEffect).noquote() << "#MainWindow# downToUsb2 image bytes length = " << written;
            if (written != data.size())
                return fail(QStringLiteral("write error on %1: %2")
                                .arg(path, file.errorString()));
            if (hooks.progress)
                hooks.progress(i + 1, items.size());
        }
        const bool committed = hooks.commit ? hooks.commit(file) : file.commit();
        if (!committed) {
            QFile::remove(staged);
            return fail(QStringLiteral("write error on %1: %2").arg(path, file.errorString()));
        }
    }

    if (hooks.afterCommit)
        hooks.afterCommit(staged);
    if (hooks.verify) {
        const QString error = verifyStaged(staged, header, fingerprints, recordLength, total);
        if (!error.isEmpty()) {
            QFile::remove(staged);
            return fail(error);
        }
    }

    std::error_code ec;
    std::filesystem::rename(nativePath(staged), nativePath(path), ec);
    if (ec) {
        QFile::remove(staged);
        return fail(QStringLiteral("cannot replace %1: %2")
                        .arg(path, QString::fromLocal8Bit(ec.message())));
    }
    return DownloadResult::success(path, total);
}
