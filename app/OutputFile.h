#pragma once

#include "app/Outcome.h"

#include <QString>
#include <QStringList>

#include <vector>

// One file a command writes, replaced only once its new content is complete.
//
// prepare() refuses an output that exists and is not a regular file (a directory, a device
// node, a FIFO, a socket) and one that is the same file as one of the command's inputs; a
// symbolic link is followed, so its target is what gets replaced and the link stays. It
// then creates an empty staging file beside the target (same directory, so the final rename
// is atomic; same suffix, for writers that choose the format by it). The content is written
// there; commit() renames it over the target. Until commit() the target is untouched, and an
// object that goes without commit() removes its staging file: a command that fails or is
// interrupted leaves neither a half-written file nor a damaged old one.
//
// A committed target keeps its old content aside (a hard link) until the object goes, so a
// command writing several outputs can take back the ones already in place when a later one
// fails (commitAll()). Only files this object created are ever removed.
class OutputFile final
{
public:
    // kind names the output in messages ("cannot write a video to PATH: ..."); without one
    // they say "cannot write PATH: ...".
    explicit OutputFile(const QString &path, const QString &kind = QString());
    ~OutputFile();
    Q_DISABLE_COPY_MOVE(OutputFile)

    // The checks above, then the staging file. inputs: the files the command reads.
    Outcome prepare(const QStringList &inputs = {});

    // The path as given.
    const QString &path() const { return given; }
    // The file replaced at the end: the path with links followed, absolute.
    const QString &target() const { return finalPath; }
    // Where the content goes first; empty before a successful prepare().
    const QString &stagingPath() const { return staging; }
    bool isCommitted() const { return committed; }

    // Moves the staged content over the target, with the target's old permissions.
    Outcome commit();
    // Before commit(): removes the staged file. After: puts the old content back, or removes
    // the new file when there was none.
    void rollBack();

    // Commits every output in order; when one fails, the ones already committed are rolled
    // back and the failure returned.
    static Outcome commitAll(const std::vector<OutputFile *> &outputs);

    // Why path may not be written as an output of a command reading inputs ("it is a
    // directory", "it is the input X", ...), empty when it may. Follows links; path need not
    // exist.
    static QString problem(const QString &path, const QStringList &inputs);

private:
    Outcome failure(const QString &why) const;
    void dropBackup();

    const QString given;
    const QString kind;
    QString finalPath;
    QString staging;
    QString backup;        // hard link to the target's old content while committed
    bool targetExisted = false;
    unsigned oldMode = 0;  // the target's permission bits when it existed
    bool committed = false;
};
