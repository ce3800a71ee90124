#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

// Where a clip was cut from, kept with the clip for information (a show file stores it, so a
// clip can be told apart and cut again by hand); nothing is converted from it.
struct ClipOrigin
{
    enum class Source { Unknown, Video, Gif };

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

    bool operator==(const ClipOrigin &) const = default;
};
