#pragma once

#include "app/Outcome.h"

#include <QList>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>

class ImageObject;

// Converts items afresh from their source pictures, a few at a time on as many threads as
// the machine has cores (each conversion runs its own sampler and coder besides): the
// source is decoded, its contrast applied as the contrast dialog applies it, and the
// picture converted into the item's LED data and sampling preview for the job's geometry
// (the process-wide one unless given) and the item's sampling.
class ShowConverter
{
public:
    struct Job
    {
        ImageObject *item = nullptr;
        QString sourcePath;
        float contrastFactor = 1.0f;
        // How the item is named in a failure ("picture 3", "frame 12 of clip 2").
        QString label;
        // LEDs x lines; invalid: the process-wide geometry.
        QSize geometry;
    };

    // Blocks until every job is done; progress(done, total) is called on the calling thread
    // after each. The first failure (an unreadable source) stops the rest. A set stop flag
    // fails with "cancelled".
    static Outcome run(const QList<Job> &jobs,
                       const std::function<void(int done, int total)> &progress,
                       const std::atomic<bool> *stop);

    // One job on the calling thread; the reason on failure, else empty.
    static QString convert(const Job &job);
};
