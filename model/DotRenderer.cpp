#include "model/DotRenderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Stamps cover a 13 x 13 box whose pixel (6, 6) holds the dot's integer position.
constexpr int kBox = 13;
constexpr int kCentre = 6;
// Resolution of the threshold scan; neighbouring thresholds lie further apart than this.
constexpr int kScanSteps = 512;
// Fractional offsets along the other axis at which thresholds are looked for.
constexpr std::array<double, 6> kScanOffsets{0.0371, 0.2113, 0.3897, 0.5411, 0.7209, 0.8861};

using Mask = std::array<quint16, kBox>;

Mask referenceMask(double fx, double fy)
{
    QImage image(kBox, kBox, QImage::Format_ARGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        DotRenderer::paintDot(painter, kCentre + fx, kCentre + fy, Qt::white);
    }
    Mask mask{};
    for (int y = 0; y < kBox; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < kBox; ++x) {
            if (qRed(line[x]) != 0)
                mask[y] |= quint16(1u << x);
        }
    }
    return mask;
}

// Thresholds of one axis: the smallest fractions at which the dot changes shape.
std::vector<double> measureThresholds(bool alongX)
{
    auto maskAt = [alongX](double along, double across) {
        return alongX ? referenceMask(along, across) : referenceMask(across, along);
    };
    std::vector<double> found;
    for (double across : kScanOffsets) {
        Mask previous = maskAt(0.0, across);
        for (int step = 1; step < kScanSteps; ++step) {
            const double at = double(step) / kScanSteps;
            const Mask current = maskAt(at, across);
            if (current == previous)
                continue;
            // Narrow down to neighbouring doubles: hi is the first value of the new shape.
            double lo = double(step - 1) / kScanSteps;
            double hi = at;
            while (std::nextafter(lo, 1.0) < hi) {
                const double mid = lo + (hi - lo) / 2;
                if (mid <= lo || mid >= hi)
                    break;
                if (maskAt(mid, across) == previous)
                    lo = mid;
                else
                    hi = mid;
            }
            found.push_back(hi);
            previous = current;
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end(),
                            [](double a, double b) { return std::abs(a - b) < 1e-12; }),
                found.end());
    return found;
}

class StampTable
{
public:
    StampTable()
        : xs(measureThresholds(true)), ys(measureThresholds(false))
    {
        const size_t columns = xs.size() + 1;
        const size_t rows = ys.size() + 1;
        stamps.resize(columns * rows);
        for (size_t r = 0; r < rows; ++r) {
            for (size_t c = 0; c < columns; ++c)
                stamps[r * columns + c] = referenceMask(middle(xs, c), middle(ys, r));
        }
        valid = selfCheck();
    }

    const Mask &stampFor(double fx, double fy) const
    {
        return stamps[cell(ys, fy) * (xs.size() + 1) + cell(xs, fx)];
    }

    bool valid = false;

private:
    static size_t cell(const std::vector<double> &thresholds, double f)
    {
        return size_t(std::upper_bound(thresholds.begin(), thresholds.end(), f) -
                      thresholds.begin());
    }

    static double lower(const std::vector<double> &t, size_t i) { return i == 0 ? 0.0 : t[i - 1]; }
    static double upper(const std::vector<double> &t, size_t i) { return i == t.size() ? 1.0 : t[i]; }
    static double middle(const std::vector<double> &t, size_t i)
    {
        return (lower(t, i) + upper(t, i)) / 2;
    }

    // Every cell must give its stamp near all four of its corners, or the measurement
    // missed a threshold and the stamps are not used.
    bool selfCheck() const
    {
        for (size_t r = 0; r <= ys.size(); ++r) {
            for (size_t c = 0; c <= xs.size(); ++c) {
                const double x0 = lower(xs, c), x1 = std::nextafter(upper(xs, c), 0.0);
                const double y0 = lower(ys, r), y1 = std::nextafter(upper(ys, r), 0.0);
                for (double fx : {x0, x1}) {
                    for (double fy : {y0, y1}) {
                        if (referenceMask(fx, fy) != stampFor(fx, fy))
                            return false;
                    }
                }
            }
        }
        return true;
    }

    std::vector<double> xs;
    std::vector<double> ys;
    std::vector<Mask> stamps;
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
    const Mask &mask = table.stampFor(x - ix, y - iy);
    const QRgb opaque = colour | 0xff000000u;
    for (int row = 0; row < kBox; ++row) {
        quint16 bits = mask[row];
        if (!bits)
            continue;
        auto *line = reinterpret_cast<QRgb *>(canvas.scanLine(int(top) + row)) + int(left);
        for (int column = 0; bits; ++column, bits >>= 1) {
            if (bits & 1u)
                line[column] = opaque;
        }
    }
}
