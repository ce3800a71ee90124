#pragma once

#include <QString>

class VideoBackend;

// The video module, loaded the first time a video is opened or written: the programs start
// without the video stack's libraries (OpenCV's video I/O pulls in FFmpeg, GStreamer and a
// few hundred more), and run without it when it is missing, refusing only videos. It is
// looked for in the "plugins" folder beside the running program, or where HD_VIDEO_MODULE
// names it. Thread-safe; loaded once per process and never unloaded.
class VideoModule
{
public:
    // The backend, or null with *error set (one line, for the user) when the module is
    // missing or broken.
    static VideoBackend *backend(QString *error = nullptr);
    // The file looked for (without the platform's prefix and suffix when it is the default).
    static QString location();
};
