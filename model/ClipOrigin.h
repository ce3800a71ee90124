#pragma once

#include <QJsonObject>
#include <QPoint>
#include <QSize>
#include <QString>

// Where a clip was cut from, kept with the clip for information (a show file stores it, so a
// clip can be told apart and cut again by hand); nothing is converted from it.
struct ClipOrigin
{
    // Text: drawn from a text clip's settings (description), not cut from a file.
    enum class Source { Unknown, Video, Gif, Text };

    Source source = Source::Unknown;
    QString path;
    // Video: the stretch cut, in milliseconds of the video; the zoom in steps of 10 %.
    qint64 startMs = 0;
    qint64 lengthMs = 0;
    int zoomSteps = 0;
    // The size the frame was scaled to before the cut (invalid: its own size) and the top-left
    // of the 450 x 450 region on it.
    QSize shownSize;
    QPoint regionTopLeft;
    // GIF: one clip frame per 100 ms of its own timeline instead of one per GIF frame.
    bool keepSpeed = false;
    // Text: the settings the clip was made from (a text clip description as JSON), so it can
    // be opened again and made anew; empty for clips cut from a file.
    QJsonObject description;

    bool operator==(const ClipOrigin &) const = default;
};
