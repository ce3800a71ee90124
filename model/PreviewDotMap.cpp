#include "model/PreviewDotMap.h"

#include "model/DotRenderer.h"
#include "model/PolarLine.h"
#include "model/RoundSquare.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <functional>

namespace {

constexpr int kSide = RoundSquare::Side;
constexpr QRgb kBlack = 0xff000000u;

// Visits the dots of the geometry where the conversion samples them, in its order.
void forEachDot(int ledCount, int lineNumber, const std::function<void(int, const QPointF &)> &visit)
{
    const double hub = kSide / 2.0;
    const double step = 360.0 / lineNumber;
    PolarLine line(QPointF(hub, hub), QPointF(hub, 1.0), ledCount);
    double angle = 90.0;
    int dot = 0;
    for (int k = 0; k < lineNumber; ++k, angle += step) {
        line.setAngle(angle);
        for (int i = ledCount - 1; i >= 0; --i, ++dot)
            visit(dot, line.ledPosition(i));
    }
}

} // namespace

PreviewDotMap::PreviewDotMap(int ledCount, int lineNumber) : dots(ledCount * lineNumber)
{
    // Numbers up to 2^24 - 1 fit in a colour's three channels; every geometry the display
    // takes stays far below.
    QImage canvas(kSide, kSide, QImage::Format_ARGB32);
    canvas.fill(kBlack);
    DotRenderer renderer(canvas);
    forEachDot(ledCount, lineNumber, [&renderer](int dot, const QPointF &at) {
        renderer.drawDot(at.x(), at.y(), kBlack | QRgb(dot + 1));
    });
    owner.resize(size_t(kSide) * kSide);
    for (int y = 0; y < kSide; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < kSide; ++x)
            owner[size_t(y) * kSide + x] = line[x] & 0x00ffffffu;
    }
}

std::shared_ptr<const PreviewDotMap> PreviewDotMap::forGeometry(int ledCount, int lineNumber)
{
    if (ledCount <= 0 || lineNumber <= 0 || qint64(ledCount) * lineNumber >= 0xffffff)
        return nullptr;
    static QMutex guard;
    static QHash<QPair<int, int>, std::shared_ptr<const PreviewDotMap>> maps;
    QMutexLocker lock(&guard);
    auto &map = maps[qMakePair(ledCount, lineNumber)];
    // Made under the lock: conversions of one clip all wait for the first, which would
    // otherwise make the same map three times over.
    if (!map)
        map.reset(new PreviewDotMap(ledCount, lineNumber));
    return map;
}

QImage PreviewDotMap::paint(const std::vector<QRgb> &colours) const
{
    QImage out(kSide, kSide, QImage::Format_RGB32);
    if (qsizetype(colours.size()) < dots) {
        out.fill(kBlack);
        return out;
    }
    const quint32 *from = owner.data();
    for (int y = 0; y < kSide; ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < kSide; ++x, ++from)
            line[x] = *from ? (colours[*from - 1] | kBlack) : kBlack;
    }
    return out;
}

QImage PreviewDotMap::paintDots(int ledCount, int lineNumber, const std::vector<QRgb> &colours)
{
    QImage canvas(kSide, kSide, QImage::Format_ARGB32);
    canvas.fill(kBlack);
    DotRenderer renderer(canvas);
    forEachDot(ledCount, lineNumber, [&](int dot, const QPointF &at) {
        renderer.drawDot(at.x(), at.y(), colours[size_t(dot)]);
    });
    return canvas.convertToFormat(QImage::Format_RGB32);
}
