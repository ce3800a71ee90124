#pragma once

#include <QByteArray>
#include <QtGlobal>

// The least size of a picture file that holds every pixel its header promises, for the
// formats whose pixel data has a fixed size: uncompressed BMP (including bit fields) and
// binary PBM, PGM and PPM. Their readers leave the rows a short file lacks as whatever the
// memory held before (the previous picture's pixels), so a short file is refused instead.
class PictureDataLength
{
public:
    // How many bytes one file must have to hold its picture, judged from its first bytes
    // (head) and the format its content was recognised as; -1 when that cannot be known
    // before decoding (other formats, compressed BMP, a header longer than head).
    static qint64 promised(const QByteArray &head, const QByteArray &format);

    // The first bytes that promised() reads.
    static constexpr qint64 HeadBytes = 4096;

private:
    static qint64 ofBmp(const QByteArray &head);
    static qint64 ofPnm(const QByteArray &head);
};
