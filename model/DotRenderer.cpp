#include "model/DotRenderer.h"

#include <atomic>
#include <cmath>
#include <memory>
#include <random>

namespace {

// A stamp covers an 8 x 8 box whose pixel (4, 4) holds the dot's integer position; the dot
// with its pen never reaches further than 3 pixels left or up and 2 right or down.
constexpr int kBox = 8;
constexpr int kCentre = 4;
// The raster engine works in 1/64 pixel; inside each 1/64 step of either coordinate the
// dot changes shape only where the circle's 45-degree points cross a step: at these
// fractions of the step (measured from QPainter, equal on both axes).
constexpr double kLowerSplit = 0.49033200959993994;
constexpr double kUpperSplit = 0.50966799039994726;
constexpr int kSteps = 64;
// Positions exactly on the 1/64 grid (integers, halves, ...) fall on edges of the engine's
// own tests and get cells of their own.
constexpr int kCellsPerStep = 4;
constexpr int kCellsPerAxis = kSteps * kCellsPerStep;
constexpr int kSelfChecks = 300;

using Mask = quint64; // bit (row * 8 + column)

Mask referenceMask(double fx, double fy)
{
    QImage image(kBox, kBox, QImage::Format_ARGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        DotRenderer::paintDot(painter, kCentre + fx, kCentre + fy, Qt::white);
    }
    Mask mask = 0;
    for (int y = 0; y < kBox; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < kBox; ++x) {
            if (qRed(line[x]) != 0)
                mask |= Mask(1) << (y * kBox + x);
        }
    }
    return mask;
}

int cellOf(double fraction)
{
    const double scaled = fraction * kSteps; // exact: a power of two
    const double step = std::floor(scaled);
    const double rest = scaled - step;        // exact
    const int inStep = rest == 0.0 ? 0 : 1 + (rest >= kLowerSplit) + (rest >= kUpperSplit);
    return int(step) * kCellsPerStep + inStep;
}

// Stamps are drawn by QPainter the first time a cell is used and kept for the process.
// Conversions on several threads may fill the same cell at once; they store the same value.
class StampTable
{
public:
    StampTable() : cells(new std::atomic<Mask>[kCellsPerAxis * kCellsPerAxis])
    {
        for (int i = 0; i < kCellsPerAxis * kCellsPerAxis; ++i)
            cells[i].store(0, std::memory_order_relaxed);
        valid = selfCheck();
    }

    Mask stampFor(double fx, double fy) const
    {
        std::atomic<Mask> &cell = cells[cellOf(fy) * kCellsPerAxis + cellOf(fx)];
        Mask mask = cell.load(std::memory_order_relaxed);
        if (mask == 0) {
            // An interior dot always covers pixels, so 0 means "not drawn yet".
            mask = referenceMask(fx, fy);
            cell.store(mask, std::memory_order_relaxed);
        }
        return mask;
    }

    bool valid = false;

private:
    // The shape must be the same everywhere in a cell; if this Qt draws differently, the
    // stamps are not used.
    bool selfCheck() const
    {
        std::mt19937_64 random(20240607);
        std::uniform_real_distribution<double> fraction(0.0, 1.0);
        for (int i = 0; i < kSelfChecks; ++i) {
            const double fx = fraction(random), fy = fraction(random);
            const double cx = (std::floor(fx * kSteps) + 0.25) / kSteps;
            const double cy = (std::floor(fy * kSteps) + 0.75) / kSteps;
            if (cellOf(cx) != cellOf(fx) || cellOf(cy) != cellOf(fy))
                continue;
            if (referenceMask(fx, fy) != referenceMask(cx, cy))
                return false;
            const double gx = std::floor(fx * kSteps) / kSteps;
            if (referenceMask(gx, fy) != referenceMask(gx, cy))
                return false;
        }
        return true;
    }

    std::unique_ptr<std::atomic<Mask>[]> cells;
};

const StampTable &stampTable()
{
    static const StampTable table;
    return table;
}

} // namespace

DotRenderer::DotRenderer(QImage &canvas) : canvas(canvas)
{
    stampTable();
}

void DotRenderer::paintDot(QPainter &painter, double x, double y, const QColor &colour)
{
    painter.setPen(colour);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(x - 2, y - 2, 4, 4));
}

bool DotRenderer::stampsAvailable()
{
    return stampTable().valid;
}

void DotRenderer::drawWithPainter(double x, double y, QRgb colour)
{
    // A short-lived painter: the raster engine writes straight into the canvas, so its
    // dot and our stamps land in drawing order.
    QPainter painter(&canvas);
    paintDot(painter, x, y, QColor::fromRgb(colour));
}

void DotRenderer::drawDot(double x, double y, QRgb colour)
{
    const StampTable &table = stampTable();
    const double ix = std::floor(x);
    const double iy = std::floor(y);
    const double left = ix - kCentre;
    const double top = iy - kCentre;
    const bool inside = left >= 0 && top >= 0 && left + kBox <= canvas.width() &&
                        top + kBox <= canvas.height();
    if (!table.valid || !inside) {
        drawWithPainter(x, y, colour);
        return;
    }
    Mask mask = table.stampFor(x - ix, y - iy);
    const QRgb opaque = colour | 0xff000000u;
    // One detach check per dot, not one per row: the canvas may be shared between dots.
    uchar *const pixels = canvas.bits();
    const qsizetype stride = canvas.bytesPerLine();
    for (int row = 0; mask; ++row, mask >>= kBox) {
        unsigned bits = unsigned(mask & 0xffu);
        if (!bits)
            continue;
        auto *line = reinterpret_cast<QRgb *>(pixels + (qsizetype(top) + row) * stride) + int(left);
        for (int column = 0; bits; ++column, bits >>= 1) {
            if (bits & 1u)
                line[column] = opaque;
        }
    }
}
