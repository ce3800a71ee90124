#include "model/PictureDecoder.h"

#include "model/PictureFile.h"
#include "model/RoundSquare.h"

void PictureDecoder::release()
{
    picture = QImage();
    rows = QImage();
    ticket.release();
}

const QImage &PictureDecoder::decode(const QString &path, const std::atomic<bool> *stop)
{
    return decodePart(path, stop, Part::Whole);
}

const QImage &PictureDecoder::decodeCentredSquare(const QString &path,
                                                  const std::atomic<bool> *stop)
{
    return decodePart(path, stop, Part::CentredSquare);
}

const QImage &PictureDecoder::decodePart(const QString &path, const std::atomic<bool> *stop,
                                         Part part)
{
    why.clear();
    wholeSize = QSize();
    PictureFile file(path);
    if (!file.open()) {
        release();
        why = file.error();
        return picture;
    }
    // The JPEG reader decodes into an image of the same size and format and writes every
    // row of it (a short file's missing rows as grey), or fails, and a failed read drops
    // the buffer. Other readers are not known to write every row, so they start from a new
    // image as a fresh read would. A buffer still shared with a copy would be copied on the
    // first write: drop it instead.
    // The square's own decoder writes every row of the square too.
    const QSize wanted = part == Part::Whole ? file.size()
                                             : RoundSquare::centredSquare(file.size()).size();
    const bool reuse = file.format() == QByteArrayLiteral("jpeg") && picture.isDetached()
                       && picture.size() == wanted && picture.format() == file.imageFormat();
    if (!reuse)
        release();
    // A worker holds no ticket while it waits for one: the kept buffer went back above.
    if (budget && !ticket) {
        ticket = budget->acquire(file.decodedBytes(), stop);
        if (!ticket) {
            why = QStringLiteral("cancelled");
            return picture;
        }
    }
    const bool read = part == Part::Whole ? file.read(&picture)
                                          : file.readCentredSquare(&picture, &rows);
    if (!read) {
        release();
        why = file.error();
        return picture;
    }
    wholeSize = file.size();
    return picture;
}
