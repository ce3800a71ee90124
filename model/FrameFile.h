#pragma once

#include <QImage>
#include <QString>

// A cut clip frame kept in the work directory until its clip is gone, in a lossless form
// only this program reads: the green plane and the red and blue planes as differences from
// green, each predicted from its left, upper and upper-left neighbours (the median edge
// predictor of JPEG-LS), the residuals packed with zstd at its fastest level. On video
// frames this takes a fifth to a third of the raw size, about what the best PNG effort
// gives, for the work of PNG at its lightest. Alpha is not kept.
class FrameFile
{
public:
    // False when the picture is null or the file cannot be written; no file is left then.
    static bool save(const QImage &picture, const QString &path);
    // The frame as RGB32, or a null image when the file is not a frame file, is damaged
    // or names an impossible size.
    static QImage load(const QString &path);
    // True when the file starts as a frame file does.
    static bool isFrameFile(const QString &path);

    // The file's own bytes, for callers that keep frames elsewhere.
    static QByteArray encode(const QImage &picture);
    static QImage decode(const QByteArray &bytes);
};
