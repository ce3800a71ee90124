#pragma once

// How the reading of a GIF cutting run ended.
struct GifCutEnd
{
    int framesRead = 0;     // GIF frames passed, read or left out: when damaged, the
                            // damaged frame's index
    int framesMade = 0;     // clip frames handed over
    bool damaged = false;   // a frame could not be read: the clip ends before it
    bool tooLong = false;   // maxFrames reached before the GIF's end
};
