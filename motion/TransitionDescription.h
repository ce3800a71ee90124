#pragma once

#include "app/Outcome.h"

#include <QJsonObject>
#include <QString>

// A transition between two neighbouring items of a show: how the picture before gives way to
// the picture after, and how long it takes. A value a show file can keep with the pair.
struct TransitionDescription
{
    enum class Kind {
        // Blended in linear light, as smooth sampling averages.
        CrossFade,
        // The next picture sweeps in clockwise from 12 o'clock, like a clock's hand.
        ClockWipe,
        // The picture before closes in a shrinking circle over the next one.
        IrisIn,
        // The next picture opens in a growing circle from the hub.
        IrisOut,
        // The next picture turns in from the hub, growing to full size.
        SpinIn,
    };

    static constexpr double kMinSeconds = 0.2;
    static constexpr double kMaxSeconds = 3.0;

    Kind kind = Kind::CrossFade;
    double seconds = 1.0;

    // round(seconds x 10) frames of 100 ms.
    int frameCount() const;
    // Refuses a length out of 0.2 to 3 s and a kind not listed.
    Outcome check() const;

    QJsonObject toJson() const;
    // Reads what toJson() wrote; the result is checked.
    static Outcome fromJson(const QJsonObject &json, TransitionDescription *wanted);

    // "fade", "clock", "iris-in", "iris-out", "spin".
    static QString kindName(Kind kind);
    static bool kindFromName(const QString &name, Kind *kind);
    // "KIND" or "KIND:SECONDS" (default 1 s), as the command line takes it; checked.
    static Outcome parse(const QString &text, TransitionDescription *wanted);

    bool operator==(const TransitionDescription &) const = default;
};
