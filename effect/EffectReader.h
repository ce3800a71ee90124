#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <functional>

class ImageObject;
class MediaObject;

// Reads an effect file into picture items (kind 4) and clip items with frames (kind 5), with
// the geometry in force (ledCount, lineNumber). Both layouts are read: the indexed layout the
// writer produces is recognised by its two magics, anything else is taken as slotted.
//
// Every item holds LED data as the display plays it (slotted records are coded on reading),
// already moved to its ".buf" file, so writing read-back items gives a valid effect; its
// round preview and 60 x 60 thumbnail are drawn from the record's colours. Records are read
// one at a time and counts in the file are never trusted for allocation. The items belong
// to the calling thread.
//
// Only regular files are opened (a FIFO would stall the loop thread). Before any item is
// made the read is held to a budget (ReadBudget): clips no longer than the writer accepts and
// files that fit the work directory's free space. A header with the start magic but not the
// end magic (or the reverse) is refused as a damaged indexed header, not read as slotted.
class EffectReader
{
public:
    struct Result
    {
        bool ok = false;     // false: nothing could be read (missing, too short, bad length,
                             // over the budget)
        QString error;       // reason when !ok, or warnings (length does not fit the geometry,
                             // records missing)
        int missingRecords = 0; // records the header promised that the file did not hold when
                                // they were read (cut short, or truncated while reading); the
                                // items read before them are kept
    };

    // Seams for tests; the defaults use the real file system.
    struct Hooks
    {
        // Free bytes for the work directory; default ReadBudget::bytesAvailable(). A negative
        // answer means "unknown" and skips the space check.
        std::function<qint64(const QString &directory)> bytesAvailable;
        // Geometry to read with; 0 takes the one in force (a factory read codes its records
        // for the factory geometry before the window switches to it).
        int ledCount = 0;
        int lineNumber = 0;
    };

    // Appends the items read to images and medias (ownership passes to the caller). Stops
    // before the next record as soon as keepGoing turns false.
    static Result readInto(const QString &path, const std::atomic<bool> &keepGoing,
                           QList<ImageObject *> &images, QList<MediaObject *> &medias);
    static Result readInto(const QString &path, const std::atomic<bool> &keepGoing,
                           QList<ImageObject *> &images, QList<MediaObject *> &medias,
                           const Hooks &hooks);
};
