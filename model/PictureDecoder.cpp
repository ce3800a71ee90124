#include "model/PictureDecoder.h"

#include "model/PictureFile.h"

void PictureDecoder::release()
{
    picture = QImage();
    ticket.release();
}

const QImage &PictureDecoder::decode(const QString &path, const std::atomic<bool> *stop)
{
    why.clear();
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
    const bool reuse = file.format() == QByteArrayLiteral("jpeg") && picture.isDetached()
                       && picture.size() == file.size()
                       && picture.format() == file.imageFormat();
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
    if (!file.read(&picture)) {
        release();
        why = file.error();
    }
    return picture;
}
