#pragma once

#include <QImage>
#include <QString>

// Writes an opaque picture (a cut video frame, a sampling preview) as PNG. Qt's writer tries
// every row filter and costs as much as a picture's LED conversion; with one filter and a
// zlib strategy chosen for the content the file is written in about half the time and comes
// out smaller, so these files no longer slow imports down.
class OpaquePngFile
{
public:
    enum class Content {
        Photo,   // busy pictures: Huffman coding only
        Sparse,  // dots on black: runs of equal bytes
    };

    // False when the picture is null or the file cannot be written; no file is left then.
    // Alpha is not kept.
    static bool save(const QImage &picture, const QString &path, Content content = Content::Photo);
};
