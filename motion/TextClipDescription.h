#pragma once

#include "app/Outcome.h"

#include <QColor>
#include <QJsonObject>
#include <QString>

// What a clip of moving text shows: the settings of the text clip dialog and of the
// command line's --text, as a value a show file can keep (toJson / fromJson) to open the
// clip again. TextClipRenderer draws its frames; MotionClipMaker makes the clip.
struct TextClipDescription
{
    enum class Motion {
        // The text runs around the rim, turning counter-clockwise or clockwise.
        RingCounterClockwise,
        RingClockwise,
        // The text slides across the picture, towards the side named, and comes back in.
        SlideLeft,
        SlideRight,
        SlideUp,
        SlideDown,
        // The text stands in the middle, steady or blinking.
        Stand,
        Blink,
    };

    static constexpr int kFrameMs = 100;
    static constexpr double kMinSeconds = 0.1;
    // As long as a clip may be: 1000 frames.
    static constexpr double kMaxSeconds = 100.0;
    static constexpr int kMinPixelSize = 8;
    static constexpr int kMaxPixelSize = 200;
    // A shop's line, not a page: keeps a laid-out line of the largest text within tens of
    // megabytes whatever a show file claims.
    static constexpr int kMaxCharacters = 200;
    static constexpr int kMinSpeed = 1;
    static constexpr int kMaxSpeed = 10;

    QString text;
    // Tried first; the fonts for Chinese, Japanese and emoji stand behind it (MotionFont).
    // Empty for the default sans-serif face.
    QString fontFamily;
    // Height of the text in pixels of the 450 x 450 square.
    int pixelSize = 64;
    QColor color = QColor(255, 255, 255);
    QColor backgroundColor = QColor(0, 0, 0);
    // A picture behind the text (its centred square); empty for the plain colour.
    QString backgroundPath;
    Motion motion = Motion::RingCounterClockwise;
    // 1 (slow) to 10 (fast): a ring turns speed x 18 degrees a second, a slide moves
    // speed x 45 pixels a second, a blink lasts 4 / speed seconds (on, then off).
    int speed = 5;
    // Length of the clip; one frame every 100 ms.
    double seconds = 4.0;

    // round(seconds x 10); at least 1 for a length check() accepts.
    int frameCount() const;
    // Refuses what cannot make a clip: no text to show, text over 200 characters, a length out of 0.1 to 100 s, a size,
    // speed or colour out of range, a motion not listed.
    Outcome check() const;

    QJsonObject toJson() const;
    // Reads what toJson() wrote; missing keys keep their defaults. The result is checked.
    static Outcome fromJson(const QJsonObject &json, TextClipDescription *wanted);

    // "ring", "ring-cw", "left", "right", "up", "down", "stand", "blink".
    static QString motionName(Motion motion);
    // False for a name not listed.
    static bool motionFromName(const QString &name, Motion *motion);

    bool isRing() const
    {
        return motion == Motion::RingCounterClockwise || motion == Motion::RingClockwise;
    }

    bool operator==(const TextClipDescription &) const = default;
};
