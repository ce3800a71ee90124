// Effect file speed: writing 2,000 records (about 220 MB) against a plain sequential copy of
// the same bytes to the same file system, and reading a full slotted file with previews.
//
// HD_BENCH_DIR chooses the directory written to (default: the system temporary directory).

#include "app/AppGlobals.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectReader.h"
#include "effect/EffectWriter.h"
#include "effect/LedDataCodec.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/RoundPreview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kRecords = 2000;

QString benchDirectory()
{
    const QString dir = qEnvironmentVariable("HD_BENCH_DIR");
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

QByteArray pattern(qint64 length, quint32 seed)
{
    QByteArray bytes(length, Qt::Uninitialized);
    quint32 state = seed * 2654435761u + 1;
    for (qint64 i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}

// Colours that change smoothly around and along the blade, like a photo's.
QByteArray smoothTriples(int seed)
{
    QByteArray bytes;
    bytes.reserve(3 * qint64(ledCount) * lineNumber);
    for (int k = 0; k < lineNumber; ++k)
        for (int i = 0; i < ledCount; ++i)
            bytes.append(char(k * 255 / lineNumber)).append(char(i * 255 / ledCount))
                .append(char((seed * 37 + k + i) & 0xFF));
    return bytes;
}

// 2,000 converted-looking items whose LED data lives in ".buf" files, as after import.
struct Playlist
{
    QTemporaryDir work{benchDirectory() + QStringLiteral("/hd-bench-XXXXXX")};
    std::vector<std::unique_ptr<ImageObject>> items;
    EffectPlaylist snapshot;

    Playlist()
    {
        initAppGlobals(work.path());
        const qint64 length = DataBitCalculation::ledDataLength(ledCount, lineNumber);
        const QByteArray base = pattern(length, 1);
        QList<ImageObject *> pictures;
        for (int i = 0; i < kRecords; ++i) {
            auto item = std::make_unique<ImageObject>(i + 1, QString(), 5.0, 0);
            item->ledData = base;
            item->ledData[i % length] = char(i); // records differ
            item->writeLedDataFile();
            pictures.append(item.get());
            items.push_back(std::move(item));
        }
        snapshot = EffectPlaylist::capture(pictures, {});
    }
};

Playlist &playlist()
{
    static Playlist instance;
    return instance;
}

void BM_WriteEffect(benchmark::State &state)
{
    Playlist &p = playlist();
    const QString target = p.work.filePath(QStringLiteral("effect.bin"));
    EffectWriter::Hooks hooks;
    hooks.verify = state.range(0) != 0;
    for (auto _ : state) {
        const DownloadResult result = EffectWriter::write(p.snapshot, target, hooks);
        if (!result.ok)
            state.SkipWithError(qPrintable(result.error));
    }
    const qint64 bytes = EffectWriter::expectedFileSize(p.snapshot);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_WriteEffect)->ArgName("verify")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(3);

// The same bytes, read from the same ".buf" files and written one after the other; with
// sync = 1 through QSaveFile (flushed to the medium and renamed like the writer's file).
void BM_PlainCopy(benchmark::State &state)
{
    Playlist &p = playlist();
    const QString target = p.work.filePath(QStringLiteral("copy.bin"));
    const QByteArray header(4096, '\0');
    const bool sync = state.range(0) != 0;
    for (auto _ : state) {
        QSaveFile saved(target);
        QFile plain(target);
        QFileDevice &out = sync ? static_cast<QFileDevice &>(saved) : plain;
        if (!out.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot open");
            break;
        }
        out.write(header);
        for (const auto &item : p.items) {
            QFile in(item->bufPath());
            in.open(QIODevice::ReadOnly);
            out.write(in.readAll());
        }
        if (sync)
            saved.commit();
        else
            plain.close();
    }
    state.SetBytesProcessed(state.iterations() * EffectWriter::expectedFileSize(p.snapshot));
}
BENCHMARK(BM_PlainCopy)->ArgName("sync")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(3);

// A slotted file of 100 picture slots at 112 x 430, read with every preview and thumbnail.
void BM_ReadSlotted(benchmark::State &state)
{
    QTemporaryDir work(benchDirectory() + QStringLiteral("/hd-bench-XXXXXX"));
    initAppGlobals(work.path());
    const qint64 slot = 3 * qint64(ledCount) * lineNumber;
    QByteArray file(120, '\0');
    file[19] = char(state.range(0));
    for (int i = 0; i < 100; ++i)
        file[20 + i] = char(25);
    for (int i = 0; i < 100; ++i)
        file += state.range(1) ? pattern(slot, quint32(i)) : smoothTriples(i);
    const QString path = work.filePath(QStringLiteral("T4.bin"));
    {
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(file);
    }
    const std::atomic<bool> keepGoing{true};
    for (auto _ : state) {
        QList<ImageObject *> images;
        QList<MediaObject *> medias;
        EffectReader::readInto(path, keepGoing, images, medias);
        state.PauseTiming();
        state.counters["pictures"] = double(images.size());
        qDeleteAll(images);
        qDeleteAll(medias);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadSlotted)->ArgNames({"n", "noise"})->Args({100, 0})->Args({100, 1})->Unit(benchmark::kMillisecond)
    ->UseRealTime()->Iterations(3);

// The parts of making one read-back item at 112 x 430: 0 coding the triples, 1 drawing the
// round preview, 2 saving it as PNG, 3 the thumbnail.
void BM_ReadBackItemParts(benchmark::State &state)
{
    QTemporaryDir work(benchDirectory() + QStringLiteral("/hd-bench-XXXXXX"));
    initAppGlobals(work.path());
    const QByteArray triples = pattern(3 * qint64(ledCount) * lineNumber, 7);
    const QImage preview = roundPreviewImage(450, triples, ledCount, lineNumber);
    ImageObject item(1, QString(), 5.0, 4);
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            benchmark::DoNotOptimize(
                LedDataCodec::codeSlottedRecord(triples, ledCount, lineNumber));
            break;
        case 1:
            benchmark::DoNotOptimize(roundPreviewImage(450, triples, ledCount, lineNumber));
            break;
        case 2:
            item.saveSamplingPreview(preview);
            break;
        case 4:
            item.saveSamplingPreview(preview.convertToFormat(QImage::Format_RGB32));
            break;
        default:
            item.saveThumbnail(
                preview.scaled(60, 60, Qt::KeepAspectRatio, Qt::FastTransformation));
        }
    }
}
BENCHMARK(BM_ReadBackItemParts)->ArgName("part")->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond);

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
