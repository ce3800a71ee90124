#pragma once

#include <QList>
#include <QMetaType>

class ImageObject;
class MediaObject;

// Value snapshot of the playlist that a download writes, taken on the GUI thread when the
// download is requested. The writer reads only this snapshot (times, loop counts, order,
// language and geometry as they were at that moment), never the playlist models, which
// the GUI thread keeps changing meanwhile.
//
// Ownership: the snapshot does not own the items it points to. The main window guarantees
// that every item stays alive and unconverted until the download's completion has been
// handled: it refuses deletions, conversions and geometry changes while a download is
// pending. The writer only calls ImageObject::readLedData(), which takes the item's mutex.
struct EffectPlaylist
{
    struct Picture
    {
        ImageObject *item = nullptr;
        double displayTime = 0.0;
    };
    struct Clip
    {
        QList<ImageObject *> frames;
        int loopCount = 1;
        int frameTenths = 1;
        // The indexed layout lights clip frames one tenth each, so a slower frame is
        // written as that many records in a row: the frames as the file holds them.
        QList<ImageObject *> records() const;
        qint64 recordCount() const { return qint64(frames.size()) * qMax(1, frameTenths); }
    };

    // One entry of the show in play order: pictures[index] or clips[index].
    struct Entry
    {
        bool isClip = false;
        int index = 0;
        bool operator==(const Entry &) const = default;
    };

    QList<Picture> pictures;
    QList<Clip> clips;
    // The order the show plays its pictures and clips in, when they are mixed (a transition
    // between two pictures, a text clip between photos): records and segments follow it.
    // Empty, or not naming every picture and clip once, for the lists' own order: every
    // picture, then every clip, as the window's two lists are written.
    QList<Entry> order;
    int languageCode = 0;
    int ledCount = 0;
    int lineNumber = 0;

    // Copies times, loop counts and frame lists from the items and the process-wide
    // language and geometry. Call on the GUI thread.
    static EffectPlaylist capture(const QList<ImageObject *> &pictureItems,
                                  const QList<MediaObject *> &clipItems);

    // Pictures plus the frames of every clip.
    qint64 recordCount() const;
    // order when it names every picture and clip exactly once, else the lists' own order.
    QList<Entry> playOrder() const;
};

Q_DECLARE_METATYPE(EffectPlaylist)
