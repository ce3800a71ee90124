#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "model/DataBitCalculation.h"
#include "model/ImageContrast.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace ShowFixtures {

Playlist::~Playlist()
{
    clear();
}

void Playlist::clear()
{
    qDeleteAll(pictures);
    qDeleteAll(clips);
    pictures.clear();
    clips.clear();
}

QString writeSource(const QString &dir, const QString &name, int seed, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 255 / width + seed * 37) & 0xff, (y * 255 / height) & 0xff,
                           ((x ^ y) * (seed + 3)) & 0xff);
    }
    const QString path = dir + QStringLiteral("/") + name;
    image.save(path);
    return path;
}

namespace {

ImageObject *picture(const QString &source, int number, SamplingMode mode, int kind)
{
    const QString copy = ImageObject::copyIntoWorkDirectory(source);
    auto *item = new ImageObject(number, copy, 5.0 + number * 0.2, kind);
    item->sampling = mode;
    convertPicture(QImage(copy), item);
    return item;
}

// Frames as the cutters leave them: a 450 x 450 PNG in the work directory, then converted.
MediaObject *clip(const QString &dir, int number, bool gif, int frames, SamplingMode mode)
{
    const QString path = writeSource(dir, QStringLiteral("clip%1.png").arg(number), number,
                                      600, 500);
    auto *media = new MediaObject(number, path);
    media->isGif = gif;
    media->loopCount = 2 + number;
    media->origin.source = gif ? ClipOrigin::Source::Gif : ClipOrigin::Source::Video;
    media->origin.path = path;
    media->origin.startMs = 1500;
    media->origin.lengthMs = frames * 100;
    media->origin.zoomSteps = -2;
    media->origin.shownSize = QSize(600, 500);
    media->origin.regionTopLeft = QPoint(20, 30);
    media->origin.keepSpeed = gif;
    const QImage whole(path);
    for (int k = 1; k <= frames; ++k) {
        const QImage cut = RoundSquare::cutFrame(whole, QPoint(k * 5, k * 3));
        const QString name = gif ? QStringLiteral("loadGif_%1.png").arg(loadGifCounter.fetch_add(1))
                                 : QStringLiteral("loadMedia_%1.png")
                                       .arg(loadMediaCounter.fetch_add(1));
        ensureWorkDirectory();
        cut.save(workFilePath(name));
        auto *frame = new ImageObject(k, workFilePath(name), 10.0,
                                      gif ? ImageObject::KindGifFrame
                                          : ImageObject::KindVideoFrame);
        frame->sampling = mode;
        frame->frameTime = float(1500 + k * 100);
        convertPicture(cut, frame);
        media->frames.append(frame);
    }
    return media;
}

ImageObject *readBack(int number)
{
    auto *item = new ImageObject(number, QString(), 0.2 * number, ImageObject::KindReadPicture);
    QByteArray data(DataBitCalculation::ledDataLength(ledCount, lineNumber), '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + number) & 0xff);
    item->ledData = data;
    item->writeLedDataFile();
    QImage preview(450, 450, QImage::Format_RGB32);
    preview.fill(qRgb(number * 40, 10, 200));
    item->saveSamplingPreview(preview);
    item->saveThumbnail(RoundSquare::thumbnailOf(preview));
    return item;
}

} // namespace

void build(const QString &dir, const QStringList &recipe, Playlist &playlist,
           std::optional<SamplingMode> forced)
{
    const auto mode = [&](SamplingMode own) { return forced.value_or(own); };
    for (const QString &word : recipe) {
        const int n = int(playlist.pictures.size()) + int(playlist.clips.size()) + 1;
        const QString jpeg = writeSource(dir, QStringLiteral("p%1.jpg").arg(n), n);
        if (word == QLatin1String("picture")) {
            playlist.pictures << picture(jpeg, n, mode(SamplingMode::Sharp), ImageObject::KindPictureFile);
        } else if (word == QLatin1String("smooth")) {
            playlist.pictures << picture(jpeg, n, mode(SamplingMode::Smooth), ImageObject::KindPictureFile);
        } else if (word == QLatin1String("contrast")) {
            ImageObject *item = picture(jpeg, n, mode(SamplingMode::Sharp), ImageObject::KindPictureFile);
            const QImage source =
                PictureLoader::load(item->sourcePath).convertToFormat(QImage::Format_ARGB32);
            ImageContrast::apply({item, 17, source});
            item->contrastFactor = 1.7f;
            playlist.pictures << item;
        } else if (word == QLatin1String("diy")) {
            const QString png = writeSource(dir, QStringLiteral("d%1.png").arg(n), n, 450, 450);
            ensureWorkDirectory();
            const QString drawn = workFilePath(QStringLiteral("diy_%1.png").arg(diyCounter.fetch_add(1)));
            QFile::copy(png, drawn);
            auto *item = new ImageObject(n, drawn, 5.0, ImageObject::KindDiy);
            item->sampling = mode(SamplingMode::Sharp);
            convertPicture(QImage(drawn), item);
            playlist.pictures << item;
        } else if (word == QLatin1String("video")) {
            playlist.clips << clip(dir, n, false, 4, mode(SamplingMode::Sharp));
        } else if (word == QLatin1String("gif")) {
            playlist.clips << clip(dir, n, true, 3, mode(SamplingMode::Smooth));
        } else if (word == QLatin1String("bareclip") || word == QLatin1String("slowclip")) {
            // As the command line cuts one: frames without source files, no origin. A slow
            // clip shows each frame 0.2 s, as one read back from a slotted file does.
            auto *media = new MediaObject(n, QString());
            media->frameTenths = word == QLatin1String("slowclip") ? 2 : 1;
            for (int k = 1; k <= 2; ++k) {
                auto *frame = new ImageObject(k, QString(), 10.0, ImageObject::KindGifFrame);
                QImage square(450, 450, QImage::Format_ARGB32);
                square.fill(qRgb(k * 90, 30, 60));
                convertPicture(square, frame, nullptr, ReadImageThread::SamplingPreview::Skip);
                media->frames.append(frame);
            }
            playlist.clips << media;
        } else if (word == QLatin1String("readback")) {
            playlist.pictures << readBack(n);
        } else if (word == QLatin1String("twice")) {
            playlist.pictures << picture(jpeg, n, mode(SamplingMode::Sharp), ImageObject::KindPictureFile);
            playlist.pictures << picture(jpeg, n + 1, mode(SamplingMode::Smooth),
                                         ImageObject::KindPictureFile);
        } else {
            qFatal("unknown recipe word %s", qPrintable(word));
        }
    }
}

QByteArray effectBytes(const QString &dir, const QList<ImageObject *> &pictures,
                       const QList<MediaObject *> &clips)
{
    const QString path = dir + QStringLiteral("/effect.bin");
    QFile::remove(path);
    if (!EffectWriter::write(EffectPlaylist::capture(pictures, clips), path).ok)
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList workFiles()
{
    return QDir(workDirectory()).entryList(QDir::Files, QDir::Name);
}

} // namespace ShowFixtures
