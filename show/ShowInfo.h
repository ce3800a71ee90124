#pragma once

#include "model/ClipOrigin.h"
#include "model/SamplingMode.h"

#include <QList>
#include <QString>

#include <functional>

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
        // The transition after it, as its description's JSON; empty for none.
        QString transition;
    };
    struct Clip
    {
        int frames = 0;
        int loopCount = 1;
        bool isGif = false;
        ClipOrigin origin;
        QString transition;
    };

    int version = 0;
    int ledCount = 0;
    int lineNumber = 0;
    int languageCode = 0;
    SamplingMode sampling = SamplingMode::Sharp;
    QString savedAt;
    QList<Picture> pictures;
    QList<Clip> clips;

    // How long the display plays the show written from it, in milliseconds. transitionFrames
    // gives the frames of a transition from its JSON (0 for one that cannot be made); without
    // it transitions are not counted.
    qint64 showLengthMs(const std::function<int(const QString &)> &transitionFrames = {}) const;
};
