#include "model/ReadImageThread.h"

#include "app/AppGlobals.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/ModelLog.h"
#include "model/PolarLine.h"
#include "model/PreviewDotMap.h"
#include "model/RoundSquare.h"
#include "model/SmoothSampler.h"
#include "model/TestColorUtil.h"

#include <QDebug>

#include <array>
#include <optional>

namespace {
constexpr QRgb kOutsidePixel = 0xff000000u;

// The corrected byte of every channel value, read from the colour table once per
// conversion: three hash look-ups per sampled pixel cost more than the sampling itself.
struct CorrectedChannels
{
    explicit CorrectedChannels(const TestColorUtil &table)
    {
        for (int v = 0; v < 256; ++v) {
            red[v] = char(table.getTestRValue(v));
            green[v] = char(table.getTestGValue(v));
            blue[v] = char(table.getTestBValue(v));
        }
    }

    std::array<char, 256> red;
    std::array<char, 256> green;
    std::array<char, 256> blue;
};
// The pixel under an LED's position; outside the picture (only when it is null) black.
QRgb nearestPixel(const QImage &sampled, const QPointF &at)
{
    const int px = PolarLine::roundCoordinate(at.x());
    const int py = PolarLine::roundCoordinate(at.y());
    return sampled.valid(px, py) ? reinterpret_cast<const QRgb *>(sampled.constScanLine(py))[px]
                                 : kOutsidePixel;
}
} // namespace

ReadImageThread::ReadImageThread(const QImage &picture, ImageObject *item, QObject *parent,
                                 const std::atomic<bool> *stop, SamplingPreview preview,
                                 QSize geometry)
    : QThread(parent), image(picture), item(item), stop(stop), previewMode(preview),
      geometry(geometry)
{
}

ReadImageThread::~ReadImageThread()
{
    wait();
}

void ReadImageThread::run()
{
    // The queue is empty until the first line, so clearing before the coder starts is the
    // same as clearing after; it also keeps the item's data on one thread at a time.
    item->ledData.clear();
    coder = new DataBitCalculation(item);
    coder->start();

    const int leds = geometry.isValid() ? geometry.width() : ledCount.load();
    const int lines = geometry.isValid() ? geometry.height() : lineNumber.load();
    const double step = 360.0 / lines;
    const CorrectedChannels corrected(*TestColorUtil::getInstance());

    const SamplingMode mode = item->sampling;
    // S: a pixel outside it (only when it is null) reads as black.
    const QImage sampled =
        RoundSquare::sampledSquare(image, mode).convertToFormat(QImage::Format_ARGB32);
    std::optional<SmoothSampler> smooth;
    if (mode == SamplingMode::Smooth && leds > 0 && lines > 0)
        smooth.emplace(sampled, SectorWeights::forGeometry(leds, lines));
    // The preview's dot map is made on the geometry's first use (the larger part of a
    // one-shot conversion): without a preview it is never made. Each dot's colour is kept
    // in drawing order and the map paints them all at once.
    std::shared_ptr<const PreviewDotMap> dotMap;
    std::vector<QRgb> dotColours;
    if (previewMode == SamplingPreview::Write) {
        dotMap = PreviewDotMap::forGeometry(leds, lines);
        if (dotMap)
            dotColours.reserve(size_t(dotMap->dotCount()));
    }

    const double hub = RoundSquare::Side / 2.0;
    PolarLine line(QPointF(hub, hub), QPointF(hub, 1.0), leds);
    double angle = 90.0;
    for (int k = 0; k < lines; ++k, angle += step) {
        line.setAngle(angle);
        QByteArray triples(qsizetype(leds) * 3, Qt::Uninitialized);
        char *out = triples.data();
        for (int i = leds - 1; i >= 0; --i) {
            const QPointF at = line.ledPosition(i);
            const QRgb pixel = smooth ? smooth->colour(k, i) : nearestPixel(sampled, at);
            if (dotMap)
                dotColours.push_back(pixel);
            *out++ = corrected.blue[qBlue(pixel)];
            *out++ = corrected.green[qGreen(pixel)];
            *out++ = corrected.red[qRed(pixel)];
        }
        coder->enqueueLine(triples);
    }

    // Every dot is opaque on an opaque background: saved without the constant alpha channel
    // the PNG holds the same pixels and costs a third less to filter and compress.
    if (dotMap)
        item->saveSamplingPreview(dotMap->paint(dotColours));

    coder->waitUntilDrained(stop);
    delete coder;
    coder = nullptr;

    const qsizetype coded = item->ledData.size();
    DataBitCalculation::appendPadding(item->ledData);
    if (stop) {
        qCDebug(lcModel).nospace() << "### getImageByteArray() byte length = " << item->ledData.size()
                           << ", numC = " << item->ledData.size() - coded;
    }
    item->writeLedDataFile();
    running = false;
}

void convertPicture(const QImage &image, ImageObject *item, const std::atomic<bool> *stop,
                    ReadImageThread::SamplingPreview preview, QSize geometry)
{
    ReadImageThread sampler(image, item, nullptr, stop, preview, geometry);
    sampler.start();
    sampler.wait();
    // Reading the flag the thread cleared last orders its writes to the item before ours in
    // a way ThreadSanitizer sees (QThread::wait() synchronises inside Qt).
    while (sampler.isConverting())
        sampler.wait();
}
