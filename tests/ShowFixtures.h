#pragma once

#include "model/SamplingMode.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ImageObject;
class MediaObject;

// A playlist made the way the window makes one (sources copied into the work directory,
// pictures converted from them, clip frames saved as PNG sources first), owned here.
namespace ShowFixtures {

struct Playlist
{
    QList<ImageObject *> pictures;
    QList<MediaObject *> clips;
    ~Playlist();
    void clear();
};

// A picture file of some detail (gradients and a pattern) in dir; returns its path.
QString writeSource(const QString &dir, const QString &name, int seed, int width = 320,
                    int height = 240);

// Adds items to playlist by a recipe of words: "picture", "smooth" (a picture sampled
// smoothly), "contrast" (a picture with its contrast changed), "diy", "video", "gif",
// "readback" (a picture read back from an effect file, LED data only), "bareclip" (a clip
// of frames without sources or origin, as the command line cuts one), "twice" (two
// pictures of the same source). Sources are written into dir. With forced, every item is
// sampled that way instead.
void build(const QString &dir, const QStringList &recipe, Playlist &playlist,
           std::optional<SamplingMode> forced = std::nullopt);

// The effect file the window's download writes for the playlist, as bytes.
QByteArray effectBytes(const QString &dir, const QList<ImageObject *> &pictures,
                       const QList<MediaObject *> &clips);

// Files in the work directory.
QStringList workFiles();

} // namespace ShowFixtures
