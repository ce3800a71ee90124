// How faithfully each sampling mode shows a picture on the blade. For every picture: the LED
// colours of both modes are drawn back as a round picture (each LED's sector filled with its
// colour) and compared with the picture filtered to the same sectors (each sector's average
// in linear light, measured here on a fine grid independently of the converter's weights),
// as PSNR over the disc, over its plain sectors and over its detailed ones. Also how much the
// outer LEDs change when the picture moves by one pixel, and a side-by-side picture.
//
//   sampling_quality OUTDIR [PICTURE...]
//
// A zone plate and a picture of plain areas are generated and measured besides the files.
#include "app/AppGlobals.h"
#include "model/LinearLight.h"
#include "model/PolarLine.h"
#include "model/RoundSquare.h"
#include "model/SectorWeights.h"
#include "model/SmoothSampler.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <vector>

namespace {

constexpr int kSide = RoundSquare::Side;
constexpr double kHub = kSide / 2.0;
constexpr int kFine = 8;  // grid points per pixel side for the reference

struct Geometry
{
    int leds = kDefaultLedCount;
    int lines = kDefaultLineNumber;
    double spacing() const { return leds > 1 ? (kHub - 1.0) / (leds - 1) : 1.0; }
    double step() const { return 360.0 / lines; }

    // The sector (line * leds + led) holding the point, or -1 outside the disc.
    int sectorOf(double x, double y) const
    {
        const double dx = x - kHub;
        const double dy = kHub - y;
        const double r = std::hypot(dx, dy);
        if (r >= SectorWeights::DiscRadius)
            return -1;
        const int led = std::min(leds - 1, int(std::floor(r / spacing() + 0.5)));
        double degrees = std::atan2(dy, dx) * 180.0 / std::numbers::pi - 90.0;
        int line = int(std::floor(degrees / step() + 0.5)) % lines;
        if (line < 0)
            line += lines;
        return line * leds + led;
    }
};

using Colours = std::vector<QRgb>;  // one per sector, line * leds + led

QImage squareOf(const QImage &picture)
{
    return RoundSquare::sampledSquare(picture, SamplingMode::Smooth).convertToFormat(QImage::Format_RGB32);
}

Colours sharpColours(const QImage &square, const Geometry &g)
{
    Colours colours(std::size_t(g.leds) * g.lines);
    PolarLine line(QPointF(kHub, kHub), QPointF(kHub, 1.0), g.leds);
    double angle = 90.0;
    for (int k = 0; k < g.lines; ++k, angle += g.step()) {
        line.setAngle(angle);
        for (int i = 0; i < g.leds; ++i) {
            const QPointF at = line.ledPosition(i);
            colours[k * g.leds + i] = square.pixel(PolarLine::roundCoordinate(at.x()),
                                                   PolarLine::roundCoordinate(at.y()));
        }
    }
    return colours;
}

Colours smoothColours(const QImage &square, const Geometry &g)
{
    Colours colours(std::size_t(g.leds) * g.lines);
    const SmoothSampler sampler(square, SectorWeights::forGeometry(g.leds, g.lines));
    for (int k = 0; k < g.lines; ++k)
        for (int i = 0; i < g.leds; ++i)
            colours[k * g.leds + i] = sampler.colour(k, i);
    return colours;
}

struct Reference
{
    Colours colours;
    std::vector<double> spread;  // standard deviation of linear luma in the sector
};

// Each sector's average in linear light over a fine grid; a sector no grid point falls in
// (smaller than the grid, at the hub) takes the pixel under its LED.
Reference referenceColours(const QImage &square, const Geometry &g, const Colours &fallback)
{
    const std::size_t count = std::size_t(g.leds) * g.lines;
    std::vector<double> sum(count * 3, 0.0), luma(count, 0.0), luma2(count, 0.0);
    std::vector<int> hits(count, 0);
    for (int y = 0; y < kSide * kFine; ++y) {
        const double fy = (y + 0.5) / kFine - 0.5;
        for (int x = 0; x < kSide * kFine; ++x) {
            const double fx = (x + 0.5) / kFine - 0.5;
            const int s = g.sectorOf(fx, fy);
            if (s < 0)
                continue;
            const QRgb p = square.pixel(x / kFine, y / kFine);
            const double r = LinearLight::instance().decode(qRed(p));
            const double gr = LinearLight::instance().decode(qGreen(p));
            const double b = LinearLight::instance().decode(qBlue(p));
            sum[s * 3] += r;
            sum[s * 3 + 1] += gr;
            sum[s * 3 + 2] += b;
            const double l = 0.2126 * r + 0.7152 * gr + 0.0722 * b;
            luma[s] += l;
            luma2[s] += l * l;
            ++hits[s];
        }
    }
    Reference ref{Colours(count), std::vector<double>(count, 0.0)};
    for (std::size_t s = 0; s < count; ++s) {
        if (hits[s] == 0) {
            ref.colours[s] = fallback[s];
            continue;
        }
        const double n = hits[s];
        ref.colours[s] = qRgb(LinearLight::instance().encode(float(sum[s * 3] / n)),
                              LinearLight::instance().encode(float(sum[s * 3 + 1] / n)),
                              LinearLight::instance().encode(float(sum[s * 3 + 2] / n)));
        const double mean = luma[s] / n;
        ref.spread[s] = std::sqrt(std::max(0.0, luma2[s] / n - mean * mean));
    }
    return ref;
}

// The round picture the LEDs draw: every pixel takes the colour of the sector under its centre.
QImage drawBack(const Colours &colours, const Geometry &g)
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int s = g.sectorOf(x, y);
            image.setPixel(x, y, s < 0 ? qRgb(0, 0, 0) : colours[s]);
        }
    return image;
}

QImage maskedToDisc(const QImage &square, const Geometry &g)
{
    QImage image = square.copy();
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (g.sectorOf(x, y) < 0)
                image.setPixel(x, y, qRgb(0, 0, 0));
    return image;
}

enum class Region { All, Plain, Detail };

// PSNR in 8-bit sRGB over the disc pixels whose sector belongs to the region.
double psnr(const QImage &a, const QImage &b, const Geometry &g, const Reference &ref, Region region)
{
    double squared = 0.0;
    long samples = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int s = g.sectorOf(x, y);
            if (s < 0)
                continue;
            if (region == Region::Plain && ref.spread[s] >= 0.02)
                continue;
            if (region == Region::Detail && ref.spread[s] <= 0.08)
                continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                squared += double(d) * d;
            samples += 3;
        }
    if (samples == 0)
        return std::nan("");
    if (squared == 0.0)
        return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(255.0 * 255.0 / (squared / samples));
}

// Mean change of the outer quarter of the LEDs, in sRGB steps per channel.
double rimChange(const Colours &a, const Colours &b, const Geometry &g)
{
    double total = 0.0;
    long n = 0;
    for (int k = 0; k < g.lines; ++k)
        for (int i = g.leds * 3 / 4; i < g.leds; ++i) {
            const QRgb p = a[k * g.leds + i], q = b[k * g.leds + i];
            total += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                     + std::abs(qBlue(p) - qBlue(q));
            n += 3;
        }
    return total / n;
}

QImage shiftedByOnePixel(const QImage &square)
{
    QImage shifted(square.size(), QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            shifted.setPixel(x, y, square.pixel(std::max(0, x - 1), y));
    return shifted;
}

// Cosine zone plate: the pattern's frequency grows with the radius to half a cycle per pixel
// at the rim.
QImage zonePlate()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    const double k = std::numbers::pi / (2.0 * kHub);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double r2 = (x - kHub) * (x - kHub) + (y - kHub) * (y - kHub);
            const int v = int(std::lround(127.5 + 127.5 * std::cos(k * r2)));
            image.setPixel(x, y, qRgb(v, v, v));
        }
    return image;
}

// Flat areas and soft gradients: what must not get worse.
QImage plainAreas()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, kSide);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(250, 200, 120));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 140, 60));
    painter.drawRect(0, 300, kSide, 150);
    painter.setBrush(QColor(240, 240, 230));
    painter.drawEllipse(QPointF(300, 150), 60, 60);
    return image;
}

QImage sideBySide(const QList<QImage> &panels, const QStringList &labels)
{
    constexpr int crop = 150, zoom = 3, label = 24;
    const QRect rim(300, 0, crop, crop);  // where the rim crosses the top right
    QImage out(kSide * panels.size(), label + kSide + crop * zoom, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    for (int i = 0; i < panels.size(); ++i) {
        painter.setPen(Qt::black);
        painter.drawText(QRect(i * kSide, 0, kSide, label), Qt::AlignCenter, labels[i]);
        painter.drawImage(QPoint(i * kSide, label), panels[i]);
        painter.drawImage(QRect(i * kSide, label + kSide, crop * zoom, crop * zoom),
                          panels[i].copy(rim).scaled(crop * zoom, crop * zoom,
                                                     Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    return out;
}

QString figure(double v)
{
    return std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'f', 1);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    QTextStream out(stdout);
    if (arguments.isEmpty()) {
        out << "usage: sampling_quality OUTDIR [PICTURE...]\n";
        return 1;
    }
    const QDir outDir(arguments.takeFirst());
    QDir().mkpath(outDir.path());

    QList<QPair<QString, QImage>> pictures{{QStringLiteral("zone plate"), zonePlate()},
                                           {QStringLiteral("plain areas"), plainAreas()}};
    for (const QString &path : arguments)
        pictures.append({QFileInfo(path).completeBaseName(), squareOf(QImage(path))});

    const Geometry g;
    out << "| picture | PSNR all sharp | smooth | plain sharp | smooth | detail sharp | smooth"
           " | vs source sharp | smooth | rim change on 1 px shift: sharp | smooth | filtered |\n"
           "|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    for (const auto &[name, square] : pictures) {
        const Colours sharp = sharpColours(square, g);
        const Colours smooth = smoothColours(square, g);
        const Reference ref = referenceColours(square, g, sharp);
        const QImage sharpImage = drawBack(sharp, g);
        const QImage smoothImage = drawBack(smooth, g);
        const QImage refImage = drawBack(ref.colours, g);
        const QImage source = maskedToDisc(square, g);

        const QImage moved = shiftedByOnePixel(square);
        const Colours movedSharp = sharpColours(moved, g);
        const Colours movedSmooth = smoothColours(moved, g);
        const Colours movedRef = referenceColours(moved, g, movedSharp).colours;

        out << "| " << name;
        for (const Region region : {Region::All, Region::Plain, Region::Detail})
            out << " | " << figure(psnr(sharpImage, refImage, g, ref, region)) << " | "
                << figure(psnr(smoothImage, refImage, g, ref, region));
        out << " | " << figure(psnr(sharpImage, source, g, ref, Region::All)) << " | "
            << figure(psnr(smoothImage, source, g, ref, Region::All));
        out << " | " << figure(rimChange(sharp, movedSharp, g)) << " | "
            << figure(rimChange(smooth, movedSmooth, g)) << " | "
            << figure(rimChange(ref.colours, movedRef, g)) << " |\n";
        out.flush();

        QString file = name;
        file.replace(QLatin1Char(' '), QLatin1Char('_'));
        sideBySide({source, refImage, sharpImage, smoothImage},
                   {QStringLiteral("source"), QStringLiteral("filtered to the sectors"),
                    QStringLiteral("sharp"), QStringLiteral("smooth")})
            .save(outDir.filePath(file + QStringLiteral("_side_by_side.png")));
    }
    return 0;
}
