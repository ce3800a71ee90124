#pragma once

#include "model/DecodeBudget.h"

#include <QImage>
#include <QString>

#include <atomic>

// Decodes pictures one after another at full size, giving the same pixels as a fresh
// QImageReader::read(), but keeps the pixel buffer of the previous JPEG for the next one of
// the same size. A 4000 x 3000 picture needs 48 MB: allocated anew each time it goes back to
// the system and returns as some 12,000 page faults on zeroed pages, a large share of the
// decode. Files are checked as PictureFile checks them. With a budget, the buffer is held
// on a ticket for its bytes, taken before decoding and kept as long as the buffer. One
// decoder per thread; not thread-safe.
class PictureDecoder
{
public:
    explicit PictureDecoder(DecodeBudget *budget = nullptr) : budget(budget) {}
    Q_DISABLE_COPY_MOVE(PictureDecoder)

    // The decoded picture (null when the file is refused or cannot be read, or when *stop
    // was set while waiting for the budget). It stays valid until the next decode or
    // release; keep no copy of it past that, or the next decode has to allocate.
    const QImage &decode(const QString &path, const std::atomic<bool> *stop = nullptr);
    // The same for the picture's centred square alone (PictureFile::readCentredSquare):
    // a JPEG's other rows and columns are never decoded. pictureSize() gives the whole
    // picture's size.
    const QImage &decodeCentredSquare(const QString &path,
                                      const std::atomic<bool> *stop = nullptr);
    // The size of the picture last decoded, whole (invalid after a failed decode).
    QSize pictureSize() const { return wholeSize; }
    // Why the last decode gave a null picture, without the path.
    QString error() const { return why; }
    // Gives the buffer back to the system and its bytes back to the budget.
    void release();

private:
    enum class Part { Whole, CentredSquare };
    const QImage &decodePart(const QString &path, const std::atomic<bool> *stop, Part part);

    QImage picture;
    QImage rows;  // what a JPEG square is decoded into; picture is then a view into it
    QSize wholeSize;
    DecodeBudget *budget;
    DecodeBudget::Ticket ticket;
    QString why;
};
