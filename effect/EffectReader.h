#pragma once

#include <QList>
#include <QString>

#include <atomic>

class ImageObject;
class MediaObject;

// Reads an effect file (slotted layout, or the indexed layout the writer produces) into
// picture and clip items, with the geometry in force (ledCount, lineNumber).
class EffectReader
{
public:
    struct Result
    {
        bool ok = false;     // false: nothing could be read (missing, too short, bad length)
        QString error;       // reason when !ok, or a warning (length does not fit the geometry)
    };

    // Appends the items read to images and medias (ownership passes to the caller). Stops
    // before the next record as soon as keepGoing turns false.
    static Result readInto(const QString &path, const std::atomic<bool> &keepGoing,
                           QList<ImageObject *> &images, QList<MediaObject *> &medias);
};
