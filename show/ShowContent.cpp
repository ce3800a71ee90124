#include "show/ShowContent.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <utility>

ShowContent::~ShowContent()
{
    clear();
}

ShowContent::ShowContent(ShowContent &&other) noexcept
{
    *this = std::move(other);
}

ShowContent &ShowContent::operator=(ShowContent &&other) noexcept
{
    if (this == &other)
        return *this;
    clear();
    pictureItems = std::exchange(other.pictureItems, {});
    clipItems = std::exchange(other.clipItems, {});
    transitions = std::exchange(other.transitions, {});
    ledCount = other.ledCount;
    lineNumber = other.lineNumber;
    savedLedCount = other.savedLedCount;
    savedLineNumber = other.savedLineNumber;
    languageCode = other.languageCode;
    sampling = other.sampling;
    converted = other.converted;
    return *this;
}

QList<ImageObject *> ShowContent::takePictures()
{
    return std::exchange(pictureItems, {});
}

QList<MediaObject *> ShowContent::takeClips()
{
    return std::exchange(clipItems, {});
}

void ShowContent::setTransition(const QObject *item, const QString &json)
{
    if (json.isEmpty())
        transitions.remove(item);
    else
        transitions.insert(item, json);
}

void ShowContent::clear()
{
    transitions.clear();
    qDeleteAll(std::exchange(pictureItems, {}));
    qDeleteAll(std::exchange(clipItems, {}));
}
