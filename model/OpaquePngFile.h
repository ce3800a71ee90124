#pragma once

#include <QImage>
#include <QString>

// Writes an opaque picture (a cut video frame, a sampling preview) as PNG with libpng directly.
// Qt's writer tries every row filter at zlib level 1, which costs as much as the picture's LED
// conversion; these files are only read back by this program, so they are coded for speed.
class OpaquePngFile
{
public:
    enum class Content {
        // Busy pictures: stored without compression. Deflate costs 5 ms a frame, most of
        // what cutting a clip spends beyond decoding and converting; the file is 600 KB.
        Photo,
        // Dots on black: one row filter and zlib level 1 make it small for little work.
        Sparse,
    };

    // False when the picture is null or the file cannot be written; no file is left then.
    // Alpha is not kept.
    static bool save(const QImage &picture, const QString &path, Content content = Content::Photo);
};
