#pragma once

#include <QString>

// Whether a path names an input that may be opened and read to its end: a regular file (or
// a link to one) this process can read. Directories, FIFOs, devices and sockets are refused
// before anything opens them: opening a FIFO blocks until a writer comes, and a device such
// as /dev/zero never ends.
class InputFileCheck
{
public:
    // Empty for a readable regular file; otherwise what is wrong: "no such file",
    // "is a directory", "is not a regular file (a FIFO)", "permission denied", ...
    static QString problem(const QString &path);

    // "cannot open PATH: PROBLEM", or empty when there is no problem.
    static QString refusal(const QString &path);
};
