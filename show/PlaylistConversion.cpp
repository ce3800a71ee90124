#include "show/PlaylistConversion.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/ShowConverter.h"
#include "show/ShowLog.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

bool hasSource(const ImageObject *item)
{
    return PlaylistConversion::convertible(item);
}

// A file of the original copied for the new item, when there is one.
// A piece of one item (which may lie in a pack) as the file of another.
void copyPiece(const QByteArray &bytes, const QString &to)
{
    if (bytes.isEmpty())
        return;
    QFile::remove(to);
    QFile file(to);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

bool PlaylistConversion::convertible(const ImageObject *item)
{
    return !item->sourcePath.isEmpty() && QFileInfo(item->sourcePath).isFile();
}

PlaylistConversion::PlaylistConversion(const QList<ImageObject *> &pictures,
                                       const QList<MediaObject *> &clips, const Target &target)
    : target(target)
{
    newGeometry = target.geometry != QSize(ledCount.load(), lineNumber.load());
    for (ImageObject *picture : pictures) {
        if (newGeometry && !hasSource(picture)) {
            lostPictures.append(picture);
            continue;
        }
        newPictures.append(prepare(picture, QStringLiteral("picture %1").arg(picture->number)));
    }
    for (MediaObject *clip : clips) {
        const bool whole = !newGeometry || std::all_of(clip->frames.cbegin(), clip->frames.cend(),
                                                       [](const ImageObject *frame) {
                                                           return hasSource(frame);
                                                       });
        if (!whole) {
            lostClips.append(clip);
            continue;
        }
        auto *copy = new MediaObject(clip->number, clip->sourcePath);
        copy->isGif = clip->isGif;
        copy->loopCount = clip->loopCount;
        copy->origin = clip->origin;
        copy->frameTenths = clip->frameTenths;
        for (ImageObject *frame : clip->frames)
            copy->frames.append(prepare(frame, QStringLiteral("frame %1 of clip %2")
                                                   .arg(frame->number)
                                                   .arg(clip->number)));
        newClips.append(copy);
    }
}

PlaylistConversion::~PlaylistConversion()
{
    // Not taken: the sources are still the originals', so deleting removes only the new
    // items' own files.
    qDeleteAll(newPictures);
    qDeleteAll(newClips);
}

ImageObject *PlaylistConversion::prepare(ImageObject *original, const QString &label)
{
    // Made without a source, so nothing is decoded here and a failed conversion's items
    // never remove the original's file; the source passes over in handOverSources().
    auto *item = new ImageObject(original->number, QString(), original->displayTime,
                                 original->kind);
    item->frameTime = original->frameTime;
    item->contrastFactor = original->contrastFactor;
    item->squareRect = original->squareRect;
    item->sampling = original->sampling;
    made.append(Copy{original, item});
    const bool resampled = target.sampling && *target.sampling != original->sampling;
    if (hasSource(original) && (newGeometry || resampled)) {
        if (target.sampling)
            item->sampling = *target.sampling;
        jobs.append(Job{original, item, label});
    } else {
        copies.append(Copy{original, item});
    }
    return item;
}

Outcome PlaylistConversion::run(const std::function<void(int, int)> &progress,
                                const std::atomic<bool> *stop)
{
    Q_ASSERT(!ran);
    ran = true;
    QElapsedTimer clock;
    clock.start();
    const int total = int(jobs.size() + copies.size());
    const auto stopped = [&] { return stop && stop->load(); };
    if (progress)
        progress(0, total);
    int done = 0;
    // Items kept as they are: their files copied, the LED data last (its write marks the
    // item's revision after every file is in place).
    for (const Copy &copy : std::as_const(copies)) {
        if (stopped())
            return Outcome::failure(QStringLiteral("cancelled"));
        copyPiece(copy.from->thumbnailPng(), copy.to->thumbnailPath());
        copyPiece(copy.from->samplingPreviewPng(), copy.to->samplingPreviewPath());
        copy.to->ledData = copy.from->readLedData();
        if (copy.to->ledData.isEmpty())
            return Outcome::failure(
                QStringLiteral("the LED data of item %1 cannot be read").arg(copy.from->number));
        copy.to->writeLedDataFile();
        if (progress)
            progress(++done, total);
    }

    QList<ShowConverter::Job> converterJobs;
    converterJobs.reserve(jobs.size());
    for (const Job &job : std::as_const(jobs)) {
        // The thumbnail shows the source, whatever the geometry.
        copyPiece(job.from->thumbnailPng(), job.to->thumbnailPath());
        converterJobs.append({job.to, job.from->sourcePath, job.from->contrastFactor, job.label,
                              target.geometry});
    }
    const int copied = done;
    const Outcome converted = ShowConverter::run(
        converterJobs,
        [&](int d, int) {
            if (progress)
                progress(copied + d, total);
        },
        stop);
    if (!converted)
        return converted;
    if (stopped())
        return Outcome::failure(QStringLiteral("cancelled"));
    qCDebug(lcShow).nospace() << "playlist converted for " << target.geometry.width() << " x "
                              << target.geometry.height() << ": " << jobs.size()
                              << " converted, " << copies.size() << " copied in "
                              << clock.elapsed() << " ms";
    return Outcome::success();
}

void PlaylistConversion::handOverSources()
{
    if (sourcesHandedOver)
        return;
    sourcesHandedOver = true;
    for (const Copy &pair : std::as_const(made)) {
        pair.to->sourcePath = pair.from->sourcePath;
        pair.from->sourcePath.clear();
    }
}

QList<ImageObject *> PlaylistConversion::takePictures()
{
    Q_ASSERT(ran);
    handOverSources();
    return std::exchange(newPictures, {});
}

QList<MediaObject *> PlaylistConversion::takeClips()
{
    Q_ASSERT(ran);
    handOverSources();
    return std::exchange(newClips, {});
}
