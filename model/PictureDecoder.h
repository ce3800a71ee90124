#pragma once

#include <QImage>
#include <QString>

// Decodes pictures one after another at full size, giving the same pixels as a fresh
// QImageReader::read(), but keeps the pixel buffer of the previous JPEG for the next one of
// the same size. A 4000 x 3000 picture needs 48 MB: allocated anew each time it goes back to
// the system and returns as some 12,000 page faults on zeroed pages, a large share of the
// decode. One decoder per thread; not thread-safe.
class PictureDecoder
{
public:
    PictureDecoder() = default;
    Q_DISABLE_COPY_MOVE(PictureDecoder)

    // The decoded picture (null when the file cannot be read). It stays valid until the next
    // decode or release; keep no copy of it past that, or the next decode has to allocate.
    const QImage &decode(const QString &path);
    // Gives the buffer back to the system.
    void release() { picture = QImage(); }

private:
    QImage picture;
};
