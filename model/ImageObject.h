#pragma once

#include "model/SamplingMode.h"
#include "model/WorkPack.h"

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QRect>
#include <QString>

#include <atomic>
#include <memory>

// One still picture of the playlist, or one frame of a clip. Owns the picture's LED data
// and three temporary files in the work directory named after its id:
// "%1_1.png" (60 x 60 thumbnail), "%1_2.png" (450 x 450 sampling preview), "%1.buf" (LED data).
// An item restored from a show keeps those pieces in a shared WorkPack instead, until it
// writes a piece of its own.
class ImageObject : public QObject
{
    Q_OBJECT
public:
    enum Kind {
        KindPictureFile = 0,
        KindVideoFrame = 1,
        KindDiy = 2,
        KindGifFrame = 3,
        KindReadPicture = 4,
        KindReadClipFrame = 5,
    };

    ImageObject(int number, const QString &sourcePath, double displayTime, int kind);
    ~ImageObject() override;
    Q_DISABLE_COPY_MOVE(ImageObject)

    int kind;
    int number;
    QString sourcePath;
    // LED data while it is produced (filled by the conversion threads without the mutex,
    // which own the item meanwhile); empty once written to the ".buf" file.
    QByteArray ledData;
    double displayTime;
    float frameTime = 0.0f;
    float contrastFactor = 1.0f;
    // How the item was converted; contrast changes and edits convert it the same way again.
    SamplingMode sampling = SamplingMode::Sharp;
    QRect squareRect;
    const int id;

    // LED data from memory, or from the ".buf" file (or the pack) when memory is empty.
    QByteArray readLedData();
    // Moves the LED data from memory into "%1.buf"; keeps it in memory when that fails.
    void writeLedDataFile();

    // -1 for a null image, 0 when saved, 1 on failure (no file is left then).
    int saveThumbnail(const QImage &image);
    // The preview is a temporary file read back by the window and the player: it is saved
    // with a light compression level, several times faster than the default.
    int saveSamplingPreview(const QImage &image);
    QImage loadThumbnail() const;
    QImage loadSamplingPreview() const;
    // The thumbnail and preview as stored (PNG); empty when there is none.
    QByteArray thumbnailPng() const;
    QByteArray samplingPreviewPng() const;

    // Takes the LED data, thumbnail and preview from spans of a pack (null spans: none).
    // Writing a piece later puts it in the item's own file and lets go of its span.
    struct PackedPieces
    {
        std::shared_ptr<const WorkPack> pack;
        WorkPack::Span ledData;
        WorkPack::Span thumbnail;
        WorkPack::Span samplingPreview;
    };
    void usePackedPieces(PackedPieces pieces);

    // The item's files as they are at one moment, read under the item's mutex: what a
    // saver stores. revision names that state (see revision()).
    struct StoredFiles
    {
        QByteArray ledData;
        QByteArray thumbnailPng;
        QByteArray samplingPreviewPng;
        quint64 revision = 0;
    };
    StoredFiles readStoredFiles() const;
    // Changes whenever the LED data file, the thumbnail or the sampling preview is written;
    // unique in the process, so a saver can tell an unchanged item without reading it.
    quint64 revision() const { return stamp.load(std::memory_order_acquire); }

    // Rebuilds the thumbnail and squareRect from sourcePath and resets the contrast factor.
    void prepareThumbnail();

    // Copies a picture file into the work directory as "image_<n>.<complete suffix>" (n from
    // the process-wide counter) and returns the copy's path. Safe on any thread.
    static QString copyIntoWorkDirectory(const QString &path);

    // True when sourcePath lies in the work directory: the file goes with the item.
    bool ownsSourceFile() const;

    // The files of the pieces; a piece held in a pack has no file (bufPath() is empty then).
    QString bufPath() const;
    QString thumbnailPath() const;
    QString samplingPreviewPath() const;

private:
    // Qt's writer keeps alpha; the opaque writer codes dots on black fast.
    enum class PngCoding { Qt, OpaqueSparse };
    int savePng(const QImage &image, const QString &path, PngCoding coding,
                WorkPack::Span &packed);
    // A piece's bytes: from the pack while it lies there, else from its file.
    QByteArray readPiece(const QString &path, const WorkPack::Span &packed) const;
    // The same without holding the mutex while reading.
    QByteArray readPieceAside(const QString &path, WorkPack::Span PackedPieces::*piece) const;
    void releasePackWhenUnused();

    void touch();

    mutable QMutex mutex;
    QString m_bufPath;
    PackedPieces packed;
    std::atomic<quint64> stamp;
};
