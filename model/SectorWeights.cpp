#include "model/SectorWeights.h"

#include "model/PolarLine.h"
#include "model/RoundSquare.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSide = RoundSquare::Side;
constexpr double kHub = kSide / 2.0;
constexpr double kRim = kHub - 1.0;  // the radial line's length, as the sampler draws it
// Geometries kept at once: a user switching back and forth finds the last few ready.
constexpr std::size_t kCachedGeometries = 4;

// The pixel under a point, rounding half up as PolarLine::roundCoordinate does.
int pixelIndex(double x, double y)
{
    const int px = std::clamp(int(std::floor(x + 0.5)), 0, kSide - 1);
    const int py = std::clamp(int(std::floor(y + 0.5)), 0, kSide - 1);
    return py * kSide + px;
}

} // namespace

SectorWeights::SectorWeights(int leds, int lines)
    : ledCount(qMax(leds, 1)), lineCount(qMax(lines, 1)),
      spacing(ledCount > 1 ? kRim / (ledCount - 1) : 1.0)
{
    const qsizetype total = qsizetype(ledCount) * lineCount;
    starts.reserve(total + 1);
    areas.reserve(total);
    weights.reserve(total * 8);
    std::vector<quint32> counts(std::size_t(kSide) * kSide, 0);
    std::vector<qint32> touched;
    std::vector<double> radii;
    // The same accumulated angles as the sampler, so a line's sectors centre on its LEDs.
    const double step = 360.0 / lineCount;
    double angle = 90.0;
    for (int k = 0; k < lineCount; ++k, angle += step) {
        for (int i = 0; i < ledCount; ++i) {
            starts.push_back(qsizetype(weights.size()));
            addSector(i, angle, counts, touched, radii);
        }
    }
    starts.push_back(qsizetype(weights.size()));
}

void SectorWeights::addSector(int led, double angleDegrees,
                              std::vector<quint32> &counts, std::vector<qint32> &touched,
                              std::vector<double> &radii)
{
    const double inner = std::max(0.0, (led - 0.5) * spacing);
    // The rim LED stands for everything out to the edge of the disc.
    const double outer = led == ledCount - 1 ? DiscRadius : std::min((led + 0.5) * spacing, DiscRadius);
    const double width = 2.0 * std::numbers::pi / lineCount;
    const double area = (outer * outer - inner * inner) * width / 2.0;
    areas.push_back(area);

    if (area < 1.0) {
        PolarLine polar(QPointF(kHub, kHub), QPointF(kHub, 1.0), ledCount);
        polar.setAngle(angleDegrees);
        const QPointF at = polar.ledPosition(led);
        weights.push_back({pixelIndex(at.x(), at.y()), 1.0f});
        return;
    }

    // Cells of equal area, about a quarter pixel on a side, each counted on the pixel under
    // its centre.
    const int radial = std::max(1, int(std::ceil((outer - inner) * Density)));
    const int around = std::max(1, int(std::ceil(outer * width * Density)));
    radii.resize(radial);
    for (int j = 0; j < radial; ++j)
        radii[j] = std::sqrt(inner * inner + (j + 0.5) / radial * (outer * outer - inner * inner));
    const double first = angleDegrees * std::numbers::pi / 180.0 - width / 2.0;
    for (int a = 0; a < around; ++a) {
        const double phi = first + (a + 0.5) * width / around;
        const double c = std::cos(phi);
        const double s = std::sin(phi);
        for (const double r : radii) {
            const int p = pixelIndex(kHub + r * c, kHub - r * s);
            if (counts[p]++ == 0)
                touched.push_back(p);
        }
    }
    std::sort(touched.begin(), touched.end());
    const double cells = double(radial) * around;
    for (const qint32 p : touched) {
        weights.push_back({p, float(counts[p] / cells)});
        counts[p] = 0;
    }
    touched.clear();
}

std::shared_ptr<const SectorWeights> SectorWeights::forGeometry(int leds, int lines)
{
    static QMutex mutex;
    static std::vector<std::shared_ptr<const SectorWeights>> recent;
    QMutexLocker lock(&mutex);
    const auto found = std::find_if(recent.begin(), recent.end(), [&](const auto &w) {
        return w->leds() == qMax(leds, 1) && w->lines() == qMax(lines, 1);
    });
    if (found != recent.end())
        return *found;
    // Computed under the lock: conversions starting together wait for one computation.
    auto made = std::make_shared<const SectorWeights>(leds, lines);
    recent.insert(recent.begin(), made);
    if (recent.size() > kCachedGeometries)
        recent.pop_back();
    return made;
}
