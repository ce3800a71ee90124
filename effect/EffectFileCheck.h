#pragma once

#include <QString>

// Whether a file holds an effect that fits a display geometry, decided before anything is
// read into items: a readable regular file of at least one slotted header whose length is
// exactly what its header promises for ledCount x lineNumber (slotted or indexed layout).
// A file of another geometry would be read as garbage records, so it is refused whole.
class EffectFileCheck
{
public:
    enum Problem {
        None,
        Missing,     // no such file
        CannotOpen,  // a directory, a FIFO, no permission, an open that fails
        TooShort,    // fewer bytes than a slotted header
        WrongLength, // the length does not fit the geometry
        Unreadable,  // a damaged header, or the reader refused the file (detail says why)
    };

    struct Outcome
    {
        Problem problem = None;
        QString detail;  // technical reason for the trace and the message
        qint64 size = 0; // file length when it could be measured
        bool ok() const { return problem == None; }
    };

    static Outcome check(const QString &path, int ledCount, int lineNumber);

    static Outcome failure(Problem problem, const QString &detail, qint64 size = 0);
};
