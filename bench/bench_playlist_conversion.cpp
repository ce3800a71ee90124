// Converting a playlist for a new LED count from its items' sources: 20 photographs of 12
// megapixels and a clip of 100 frames, all items at once on both cores, against the same
// items converted one after the other (what importing them again one by one costs).
#include "PhotoLikePicture.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"
#include "show/PlaylistConversion.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kPictures = 20;
constexpr int kFrames = 100;

struct Fixture
{
    QTemporaryDir dir;
    QList<ImageObject *> pictures;
    QList<MediaObject *> clips;

    Fixture()
    {
        initAppGlobals(dir.path());
        const QImage image = photoLikePicture(QSize(4000, 3000), 11);
        const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
        image.save(jpeg, "JPEG", 85);
        for (int i = 0; i < kPictures; ++i) {
            const QString copy = ImageObject::copyIntoWorkDirectory(jpeg);
            auto *item = new ImageObject(i + 1, copy, 5.0, ImageObject::KindPictureFile);
            convertPicture(QImage(copy), item, nullptr, ReadImageThread::SamplingPreview::Skip);
            pictures << item;
        }
        QImage frameSource(640, 480, QImage::Format_RGB32);
        auto *clip = new MediaObject(1, QStringLiteral("movie.mp4"));
        for (int f = 0; f < kFrames; ++f) {
            frameSource.fill(qRgb((f * 5) % 256, (f * 3) % 256, 128));
            const QImage cut = RoundSquare::cutFrame(frameSource, QPoint(f % 100, 10));
            const QString path = workFilePath(
                QStringLiteral("loadMedia_%1.png").arg(loadMediaCounter.fetch_add(1)));
            cut.save(path);
            auto *frame = new ImageObject(f + 1, path, 10.0, ImageObject::KindVideoFrame);
            convertPicture(cut, frame, nullptr, ReadImageThread::SamplingPreview::Skip);
            clip->frames << frame;
        }
        clips << clip;
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// The whole playlist converted for 36 LEDs into new items (made, converted, dropped).
void BM_ConvertPlaylistForNewLedCount(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        PlaylistConversion conversion(f.pictures, f.clips, {QSize(36, lineNumber.load()), {}});
        if (!conversion.run({}, nullptr))
            state.SkipWithError("the conversion failed");
    }
    state.counters["items"] = kPictures + kFrames;
}
BENCHMARK(BM_ConvertPlaylistForNewLedCount)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The same items converted one after the other on one thread.
void BM_ConvertOneByOne(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        QList<ImageObject *> items = f.pictures;
        for (MediaObject *clip : f.clips)
            items += clip->frames;
        for (ImageObject *original : std::as_const(items)) {
            ImageObject item(original->number, QString(), 5.0, original->kind);
            convertPicture(QImage(original->sourcePath), &item, nullptr,
                           ReadImageThread::SamplingPreview::Write, QSize(36, lineNumber.load()));
        }
    }
    state.counters["items"] = kPictures + kFrames;
}
BENCHMARK(BM_ConvertOneByOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    fixture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
