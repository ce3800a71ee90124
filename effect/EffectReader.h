#pragma once

#include "app/Outcome.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>

class EffectRecordSink;
class ImageObject;
class MediaObject;
class QIODevice;

// Parses an effect file of either layout (EffectReadPlan tells them apart) with the geometry
// in force (ledCount, lineNumber), and hands its pictures and clip frames, as records, to a
// sink in file order; EffectItemMaker is the sink that makes playlist items of them. One
// loop reads the sections of both layouts: a record shorter than the geometry ends the read,
// what was handed over before stays.
//
// Records are read one at a time and counts in the file are never trusted for allocation.
// Before any record is handed over the read is held to a budget (ReadBudget): clips no
// longer than the writer accepts and files whose items fit the work directory's free space.
// A header with the start magic but not the end magic (or the reverse) is refused as a
// damaged indexed header, not read as slotted.
class EffectReader
{
public:
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

    struct Report
    {
        // Failed: nothing could be read (missing, too short, bad length, over the budget).
        // Warnings: the length does not fit the geometry, pictures or records skipped,
        // records missing.
        Outcome outcome;
        int missingRecords = 0; // records the header promised that the device did not hold
                                // when they were read (cut short, or truncated while
                                // reading); the records handed over before them stay
    };

    // The older shape of a report, with the warnings in error when ok.
    struct Result
    {
        bool ok = false;
        QString error;
        int missingRecords = 0;
        static Result of(const Report &report);
    };

    // Reads device (open for reading, random access, at its start) into sink. Stops before
    // the next record as soon as keepGoing turns false.
    static Report read(QIODevice &device, const std::atomic<bool> &keepGoing,
                       EffectRecordSink &sink, const Hooks &hooks);

    // Reads the file at path into items appended to images and medias (ownership passes to
    // the caller; the items belong to the calling thread). Only regular files are opened (a
    // FIFO would stall the loop thread).
    static Report readFile(const QString &path, const std::atomic<bool> &keepGoing,
                           QList<ImageObject *> &images, QList<MediaObject *> &medias,
                           const Hooks &hooks);

    static Result readInto(const QString &path, const std::atomic<bool> &keepGoing,
                           QList<ImageObject *> &images, QList<MediaObject *> &medias);
    static Result readInto(const QString &path, const std::atomic<bool> &keepGoing,
                           QList<ImageObject *> &images, QList<MediaObject *> &medias,
                           const Hooks &hooks);
};
