// End-to-end conversion of one picture: decode, sample, code, write ".buf" and preview
// (or no preview, as the command-line tool without --preview).
#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"
#include "model/SectorWeights.h"

#include <QCoreApplication>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
QString makePicture(const QTemporaryDir &dir, int w, int h, const char *format)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    QRadialGradient gradient(w / 2.0, h / 2.0, qMax(w, h) / 2.0);
    gradient.setColorAt(0, Qt::yellow);
    gradient.setColorAt(0.5, Qt::darkBlue);
    gradient.setColorAt(1, Qt::red);
    painter.fillRect(image.rect(), gradient);
    QRandomGenerator random(1);
    for (int i = 0; i < 200; ++i)
        painter.fillRect(random.bounded(w), random.bounded(h), w / 20, h / 20,
                         QColor::fromRgb(random.bounded(0x1000000u)));
    painter.end();
    const QString path = dir.filePath(QStringLiteral("input.%1").arg(format).toLower());
    image.save(path, format);
    return path;
}

void convertFile(benchmark::State &state, int w, int h, const char *format,
                 ReadImageThread::SamplingPreview preview = ReadImageThread::SamplingPreview::Write,
                 SamplingMode mode = SamplingMode::Sharp)
{
    QTemporaryDir dir;
    initAppGlobals(dir.path());
    const QString path = makePicture(dir, w, h, format);
    // The weights are made once per geometry, before the first smooth conversion.
    SectorWeights::forGeometry(ledCount, lineNumber);
    for (auto _ : state) {
        ImageObject item(0, QString(), 5.0, ImageObject::KindPictureFile);
        item.sampling = mode;
        convertPicture(PictureLoader::load(path), &item, nullptr, preview);
        benchmark::DoNotOptimize(item.bufPath());
    }
}

// The 450 x 450 square already in memory: sampling, colour table, bit planes and ".buf".
void convertSquare(benchmark::State &state, SamplingMode mode)
{
    QTemporaryDir dir;
    initAppGlobals(dir.path());
    const QImage square = PictureLoader::load(makePicture(dir, 450, 450, "PNG"));
    SectorWeights::forGeometry(ledCount, lineNumber);
    for (auto _ : state) {
        ImageObject item(0, QString(), 5.0, ImageObject::KindPictureFile);
        item.sampling = mode;
        convertPicture(square, &item, nullptr, ReadImageThread::SamplingPreview::Skip);
        benchmark::DoNotOptimize(item.bufPath());
    }
}

void BM_Convert450Png(benchmark::State &state) { convertFile(state, 450, 450, "PNG"); }
void BM_Convert4000x3000Jpeg(benchmark::State &state) { convertFile(state, 4000, 3000, "JPG"); }
// What the command-line tool does without --preview.
void BM_Convert450PngNoPreview(benchmark::State &state)
{
    convertFile(state, 450, 450, "PNG", ReadImageThread::SamplingPreview::Skip);
}
void BM_Convert450PngSmooth(benchmark::State &state)
{
    convertFile(state, 450, 450, "PNG", ReadImageThread::SamplingPreview::Write, SamplingMode::Smooth);
}
void BM_Convert4000x3000JpegSmooth(benchmark::State &state)
{
    convertFile(state, 4000, 3000, "JPG", ReadImageThread::SamplingPreview::Write,
                SamplingMode::Smooth);
}
void BM_Convert450PngNoPreviewSmooth(benchmark::State &state)
{
    convertFile(state, 450, 450, "PNG", ReadImageThread::SamplingPreview::Skip, SamplingMode::Smooth);
}
void BM_ConvertSquareSharp(benchmark::State &state) { convertSquare(state, SamplingMode::Sharp); }
void BM_ConvertSquareSmooth(benchmark::State &state) { convertSquare(state, SamplingMode::Smooth); }
// What the first smooth conversion of a geometry pays once.
void BM_SectorWeights112x430(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(SectorWeights(112, 430).leds());
}
} // namespace

BENCHMARK(BM_Convert450Png)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Convert450PngSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Convert4000x3000Jpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Convert4000x3000JpegSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Convert450PngNoPreview)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Convert450PngNoPreviewSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertSquareSharp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertSquareSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SectorWeights112x430)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
