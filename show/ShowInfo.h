#pragma once

#include "model/ClipOrigin.h"
#include "model/SamplingMode.h"

#include <QList>
#include <QString>

// What a show file holds, read without making any item: for `inspect`, for a window that
// wants the show's geometry before opening it, and for a recovery offer.
struct ShowInfo
{
    struct Picture
    {
        int kind = 0;
        int number = 0;
        double displayTime = 0.0;
        float contrastFactor = 1.0f;
        SamplingMode sampling = SamplingMode::Sharp;
        bool hasSource = false;
        bool hasLedData = false;
    };
    struct Clip
    {
        int frames = 0;
        int loopCount = 1;
        bool isGif = false;
        ClipOrigin origin;
    };

    int version = 0;
    int ledCount = 0;
    int lineNumber = 0;
    int languageCode = 0;
    SamplingMode sampling = SamplingMode::Sharp;
    QString savedAt;
    QList<Picture> pictures;
    QList<Clip> clips;

    // How long the display plays the show written from it, in milliseconds.
    qint64 showLengthMs() const;
};
