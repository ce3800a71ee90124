#pragma once

#include "model/SamplingMode.h"

#include <QHash>
#include <QList>
#include <QString>

class ImageObject;
class QObject;
class MediaObject;

// A show as loaded: new picture and clip items with their files in the work directory,
// owned here until taken. Destroying it deletes whatever was not taken (and their files).
class ShowContent final
{
public:
    ShowContent() = default;
    ~ShowContent();
    ShowContent(ShowContent &&other) noexcept;
    ShowContent &operator=(ShowContent &&other) noexcept;
    ShowContent(const ShowContent &) = delete;
    ShowContent &operator=(const ShowContent &) = delete;

    const QList<ImageObject *> &pictures() const { return pictureItems; }
    const QList<MediaObject *> &clips() const { return clipItems; }
    // Hands the items over; the caller owns them afterwards.
    QList<ImageObject *> takePictures();
    QList<MediaObject *> takeClips();

    void addPicture(ImageObject *item) { pictureItems.append(item); }
    void addClip(MediaObject *clip) { clipItems.append(clip); }
    // The transition after a picture or clip, as its description's JSON; empty for none.
    // Keyed by the item, so it stays with it when the items are taken.
    void setTransition(const QObject *item, const QString &json);
    QString transitionAfter(const QObject *item) const { return transitions.value(item); }
    const QHash<const QObject *, QString> &allTransitions() const { return transitions; }
    void clear();

    // The geometry the items' LED data is made for, and the one the show was saved with.
    int ledCount = 0;
    int lineNumber = 0;
    int savedLedCount = 0;
    int savedLineNumber = 0;
    int languageCode = 0;
    SamplingMode sampling = SamplingMode::Sharp;
    // Items converted from their sources while loading.
    int converted = 0;

private:
    QList<ImageObject *> pictureItems;
    QList<MediaObject *> clipItems;
    QHash<const QObject *, QString> transitions;
};
