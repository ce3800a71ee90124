#pragma once

#include "model/ClipOrigin.h"
#include "model/SamplingMode.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QRect>
#include <QString>

class ImageObject;
class QObject;
class MediaObject;

// What a save writes, taken on the GUI thread in microseconds: the playlist's order and every
// item's values, with a pointer to each item for its files. The saving thread reads only
// this, and each item's files through ImageObject::readStoredFiles() (under the item's
// mutex), and only for items whose revision the file does not hold yet.
//
// Ownership: the snapshot does not own the items. Whoever saves it keeps every item alive
// and out of any conversion until the save has returned, as for a download (EffectPlaylist).
struct ShowSnapshot
{
    struct Item
    {
        ImageObject *item = nullptr;
        quint64 revision = 0;
        int kind = 0;
        int number = 0;
        double displayTime = 0.0;
        float frameTime = 0.0f;
        float contrastFactor = 1.0f;
        SamplingMode sampling = SamplingMode::Sharp;
        QRect squareRect;
        QString sourcePath;
        // The transition after a picture, as its description's JSON; empty for none.
        QString transition;

        bool operator==(const Item &) const = default;
    };
    struct Clip
    {
        QList<Item> frames;
        int number = 0;
        int loopCount = 1;
        int frameTenths = 1;
        bool isGif = false;
        ClipOrigin origin;
        QString transition;

        bool operator==(const Clip &) const = default;
    };

    QList<Item> pictures;
    QList<Clip> clips;
    int ledCount = 0;
    int lineNumber = 0;
    int languageCode = 0;
    // The sampling chosen for new imports when the show was saved.
    SamplingMode sampling = SamplingMode::Sharp;

    // Copies the items' values and the process-wide geometry and language. GUI thread.
    // transitions: the JSON of the transition after a picture or clip, by the item.
    static ShowSnapshot capture(const QList<ImageObject *> &pictureItems,
                                const QList<MediaObject *> &clipItems, SamplingMode sampling,
                                const QHash<const QObject *, QString> &transitions = {});
    static Item captureItem(ImageObject *item);

    qint64 itemCount() const;

    // Equal snapshots describe the same show: an item's revision names its files' state.
    bool operator==(const ShowSnapshot &) const = default;
};

Q_DECLARE_METATYPE(ShowSnapshot)
