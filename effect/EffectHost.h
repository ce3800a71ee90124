#pragma once

#include <QList>
#include <QString>

#include <atomic>

class ImageObject;
class MediaObject;

// What the main-window worker needs of the window whose jobs it runs on the loop thread.
// Keeps the worker free of widgets: the main window implements it, tests use a fake.
class EffectHost
{
public:
    virtual ~EffectHost() = default;

    // Loop thread: writes the playlist snapshot taken when the download was requested as an
    // indexed effect file at path. Returns an empty string on success, else the reason.
    virtual QString downToUsb2(const QString &path) = 0;

    // True while a read from a file is awaited; the reader stops when it turns false.
    virtual std::atomic<bool> &previewPendingFlag() = 0;
    // Where the reader appends what it reads (owned by the host afterwards).
    virtual QList<ImageObject *> &readImageList() = 0;
    virtual QList<MediaObject *> &readMediaList() = 0;
};
