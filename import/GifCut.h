#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include "model/SamplingMode.h"

// What one cutting run makes of an animated GIF: the region, the pace, and what is written
// besides the LED data.
struct GifCut
{
    QString path;
    // The size every frame is scaled to first (the first frame as the region dialog showed
    // it); invalid for the frame's own size.
    QSize shownSize;
    // Top-left of the 450 x 450 square on the shown frame.
    QPoint topLeft;
    // One clip frame per 100 ms of the GIF's own timeline instead of one per GIF frame.
    bool keepSpeed = false;
    // The most clip frames made; the run ends there.
    int maxFrames = 1000;
    // Each frame item's frame file (its "loadGif_" source file) and sampling preview.
    bool writeFiles = true;
    // Size of the previews offered while the run works; empty for none.
    QSize previewSize;
    // How every frame is sampled.
    SamplingMode sampling = SamplingMode::Sharp;
};
