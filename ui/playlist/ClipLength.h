#pragma once

#include <QString>

class MediaObject;

// How long one pass of a clip lasts on the display, as its row states it.
class ClipLength
{
public:
    // Milliseconds the display shows each frame of clip, as the effect file will store it.
    static int frameMs(MediaObject *clip);
    // One pass in seconds to a tenth ("4.6" for 46 frames of 100 ms); "0.0" without frames.
    static QString secondsText(MediaObject *clip);
};
