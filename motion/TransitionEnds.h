#pragma once

#include "app/Outcome.h"
#include "model/SamplingMode.h"

#include <QImage>

class ImageObject;
class MediaObject;

// The pictures a transition is made from: the 450 x 450 square the conversion samples for
// the end of the item before and the start of the item after.
class TransitionEnds
{
public:
    // A picture as the conversion brings it to the square.
    static QImage ofPicture(const QImage &picture, SamplingMode sampling);
    // A picture item, from its source file with its contrast and sampling. Items read back
    // from an effect file have none.
    static Outcome ofItem(const ImageObject &item, QImage *square);
    // The same from a picture item's values, taken beforehand: for a worker thread, which
    // must not read an item the GUI thread keeps changing.
    static Outcome ofSource(const QString &sourcePath, float contrastFactor, SamplingMode sampling,
                            QImage *square);
    // The first and last frame of a clip, from their frame files (the window's clips keep
    // them; clips read back from an effect file do not).
    static Outcome firstOf(const MediaObject &clip, QImage *square);
    static Outcome lastOf(const MediaObject &clip, QImage *square);
};
