#pragma once

#include <QImage>
#include <QString>

// Writes a cut video frame, an opaque 450 x 450 picture, as the PNG its frame item names.
// Qt's writer tries every row filter and costs as much as the frame's LED conversion; with
// one filter and Huffman coding only the file is written in half the time and comes out
// smaller, so the frame files no longer slow the cutting run down.
class FramePngFile
{
public:
    // False when the picture is null or the file cannot be written; no file is left then.
    static bool save(const QImage &picture, const QString &path);
};
