#pragma once

#include "model/SamplingMode.h"

#include <QThread>

#include <atomic>
#include <functional>
#include <optional>

// How a show is opened. The LED data is made for the process-wide geometry (ledCount,
// lineNumber) at the time of the call: items stored for it are taken as stored, the others
// are converted from their sources.
struct ShowLoadOptions
{
    // The sampling every picture and frame is to have; none: each keeps the one it was
    // saved with.
    std::optional<SamplingMode> sampling;
    // Called on the loading thread as conversions finish: done of total (total 0: nothing
    // to convert). Forward it to a window by a queued signal.
    std::function<void(int done, int total)> progress;
    // Set from anywhere to give up; the load then fails and leaves nothing behind.
    const std::atomic<bool> *stop = nullptr;
    // The thread the loaded items are to belong to (the GUI thread); none: the loading one.
    QThread *itemThread = nullptr;
    // The most pictures the playlist takes (0: no limit); those beyond are left out, warned.
    int maxPictures = 0;
};
