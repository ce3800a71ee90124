#pragma once

#include "effect/EffectFileCheck.h"

#include <QList>
#include <QSize>
#include <QString>

#include <atomic>

class ImageObject;
class MediaObject;

// What the main-window worker needs of the object a read from an effect file is made for
// (the window's read-back, a fake in tests). Keeps the worker free of widgets.
class EffectHost
{
public:
    virtual ~EffectHost() = default;

    // True while a read from a file is awaited; the reader stops when it turns false.
    virtual std::atomic<bool> &previewPendingFlag() = 0;
    // Where the reader appends what it reads (owned by the host afterwards).
    virtual QList<ImageObject *> &readImageList() = 0;
    virtual QList<MediaObject *> &readMediaList() = 0;
    // Geometry the read codes its records for; an invalid size means the one in force.
    virtual QSize readGeometry() const { return {}; }
    // Loop thread, after the read: what it came to. Called before the end-of-read signal.
    virtual void readFinished(const EffectFileCheck::Outcome &) {}
};
