#pragma once

#include "model/SamplingMode.h"

#include <QPoint>
#include <QSize>
#include <QString>

// What one cutting run makes of a video: the stretch of frames, the region, and what is
// written besides the LED data.
struct VideoCut
{
    QString path;
    qint64 startFrame = 0;
    qint64 endFrame = 0;
    // The size every frame is scaled to first (the frame as the region dialog showed it);
    // invalid for the frame's own size.
    QSize shownSize;
    // Top-left of the 450 x 450 square on the shown frame.
    QPoint topLeft;
    // Each frame item's PNG (its source file) and sampling preview; the command-line tool
    // needs neither.
    bool writeFiles = true;
    // Size of the previews the cutter offers while it works; empty for none.
    QSize previewSize;
    // How every frame is sampled into LED colours.
    SamplingMode sampling = SamplingMode::Sharp;
};
