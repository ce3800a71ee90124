#include "model/ImageObject.h"

#include "model/OpaquePngFile.h"

#include "app/AppGlobals.h"
#include "app/WorkDirectory.h"
#include "model/PictureLoader.h"
#include "model/RoundSquare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

namespace {
// Revisions of every item come from one counter, so a revision never names two states.
std::atomic<quint64> nextRevision{1};

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
} // namespace

ImageObject::ImageObject(int number, const QString &sourcePath, double displayTime, int kind)
    : kind(kind), number(number), sourcePath(sourcePath), displayTime(displayTime),
      squareRect(), id(nextItemId.fetch_add(1)), stamp(nextRevision.fetch_add(1))
{
    prepareThumbnail();
}

ImageObject::~ImageObject()
{
    // At exit the work directory goes as a whole, faster than file by file.
    if (WorkDirectory::goesWhole())
        return;
    QMutexLocker lock(&mutex);
    if (!m_bufPath.isEmpty() && QFile::exists(m_bufPath))
        QFile::remove(m_bufPath);
    QFile::remove(thumbnailPath());
    QFile::remove(samplingPreviewPath());
    // The source in the work directory is this item's own copy (a cut frame, a copied or
    // drawn picture): nobody else names it, and it would outlive the item otherwise.
    if (ownsSourceFile())
        QFile::remove(sourcePath);
    ledData.clear();
}

bool ImageObject::ownsSourceFile() const
{
    const QString work = workDirectory();
    if (sourcePath.isEmpty() || work.isEmpty())
        return false;
    return QFileInfo(sourcePath).absoluteDir() == QDir(work);
}

QString ImageObject::bufPath() const
{
    QMutexLocker lock(&mutex);
    return m_bufPath;
}

QString ImageObject::thumbnailPath() const
{
    return workFilePath(QStringLiteral("%1_1.png").arg(id));
}

QString ImageObject::samplingPreviewPath() const
{
    return workFilePath(QStringLiteral("%1_2.png").arg(id));
}

void ImageObject::touch()
{
    stamp.store(nextRevision.fetch_add(1), std::memory_order_release);
}

ImageObject::StoredFiles ImageObject::readStoredFiles() const
{
    QMutexLocker lock(&mutex);
    StoredFiles files;
    files.revision = stamp.load(std::memory_order_acquire);
    files.ledData = ledData.isEmpty() ? readPiece(m_bufPath, packed.ledData) : ledData;
    files.thumbnailPng = readPiece(thumbnailPath(), packed.thumbnail);
    files.samplingPreviewPng = readPiece(samplingPreviewPath(), packed.samplingPreview);
    return files;
}

QByteArray ImageObject::readPiece(const QString &path, const WorkPack::Span &span) const
{
    if (!span.isNull() && packed.pack)
        return packed.pack->read(span);
    return readWholeFile(path);
}

QByteArray ImageObject::thumbnailPng() const
{
    return readPieceAside(thumbnailPath(), &PackedPieces::thumbnail);
}

QByteArray ImageObject::samplingPreviewPng() const
{
    return readPieceAside(samplingPreviewPath(), &PackedPieces::samplingPreview);
}

// The window reads thumbnails and previews while painting: the mutex is held only to look
// where the piece lies, never while a save or a conversion holds it for longer.
QByteArray ImageObject::readPieceAside(const QString &path,
                                       WorkPack::Span PackedPieces::*piece) const
{
    std::shared_ptr<const WorkPack> pack;
    WorkPack::Span span;
    {
        QMutexLocker lock(&mutex);
        pack = packed.pack;
        span = packed.*piece;
    }
    return span.isNull() ? readWholeFile(path) : pack->read(span);
}

void ImageObject::usePackedPieces(PackedPieces pieces)
{
    QMutexLocker lock(&mutex);
    packed = std::move(pieces);
    if (!packed.ledData.isNull())
        m_bufPath.clear();
    touch();
    releasePackWhenUnused();
}

void ImageObject::releasePackWhenUnused()
{
    if (packed.ledData.isNull() && packed.thumbnail.isNull() && packed.samplingPreview.isNull())
        packed.pack.reset();
}

QByteArray ImageObject::readLedData()
{
    QMutexLocker lock(&mutex);
    if (!ledData.isEmpty())
        return ledData;
    return readPiece(m_bufPath, packed.ledData);
}

void ImageObject::writeLedDataFile()
{
    QMutexLocker lock(&mutex);
    if (ledData.isEmpty())
        return;
    ensureWorkDirectory();
    touch();
    m_bufPath = workFilePath(QStringLiteral("%1.buf").arg(id));
    QFile::remove(m_bufPath);
    QFile file(m_bufPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    const bool complete = file.write(ledData) == ledData.size() && file.flush();
    file.close();
    // A short write (disk full) must not lose the data: keep it in memory and drop the
    // partial file, so readLedData() still returns every byte.
    if (!complete) {
        QFile::remove(m_bufPath);
        return;
    }
    ledData.clear();
    packed.ledData = {};
    releasePackWhenUnused();
}

int ImageObject::savePng(const QImage &image, const QString &path, PngCoding coding,
                         WorkPack::Span &span)
{
    if (image.isNull())
        return -1;
    QMutexLocker lock(&mutex);
    ensureWorkDirectory();
    touch();
    QFile::remove(path);
    const bool saved = coding == PngCoding::OpaqueSparse
                           ? OpaquePngFile::save(image, path, OpaquePngFile::Content::Sparse)
                           : image.save(path, "PNG");
    if (saved) {
        span = {};
        releasePackWhenUnused();
        return 0;
    }
    QFile::remove(path);
    return 1;
}

int ImageObject::saveThumbnail(const QImage &image)
{
    // A thumbnail may keep the transparency of its picture.
    return savePng(image, thumbnailPath(), PngCoding::Qt, packed.thumbnail);
}

int ImageObject::saveSamplingPreview(const QImage &image)
{
    return savePng(image, samplingPreviewPath(), PngCoding::OpaqueSparse, packed.samplingPreview);
}

QImage ImageObject::loadThumbnail() const
{
    return QImage::fromData(thumbnailPng(), "PNG");
}

QImage ImageObject::loadSamplingPreview() const
{
    return QImage::fromData(samplingPreviewPng(), "PNG");
}

void ImageObject::prepareThumbnail()
{
    if (sourcePath.isEmpty())
        return;
    contrastFactor = 1.0f;
    // Refused files (a FIFO, a directory, an oversized or truncated picture) leave no
    // thumbnail, as an unreadable one does.
    QSize wholeSize;
    const QImage square = PictureLoader::loadCentredSquare(sourcePath, nullptr, &wholeSize);
    squareRect = RoundSquare::centredSquare(wholeSize);
    if (square.isNull() || squareRect.isEmpty())
        return;
    saveThumbnail(RoundSquare::thumbnailOf(RoundSquare::sampledSquare(square)));
}

QString ImageObject::copyIntoWorkDirectory(const QString &path)
{
    ensureWorkDirectory();
    const QString copy = workFilePath(QStringLiteral("image_%1.%2")
                                          .arg(imageCopyCounter.fetch_add(1))
                                          .arg(QFileInfo(path).completeSuffix()));
    QFile::remove(copy);
    QFile::copy(path, copy);
    return copy;
}
