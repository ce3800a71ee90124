#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

// For one display geometry, the pixels of the 450 x 450 square each LED stands for and
// their weights. The LED i of line k stands for the ring sector from half way to its radial
// neighbours and half way to the neighbouring lines; a pixel's weight is the share of that
// sector lying on it, so the weights of an LED sum to one. A sector smaller than a pixel
// (at the hub) takes the pixel nearest to the LED, the one the sharp sampling reads.
class SectorWeights
{
public:
    struct Weight
    {
        qint32 pixel;  // y * 450 + x
        float weight;
    };

    // Samples per pixel length when a sector's area is measured.
    static constexpr int Density = 4;
    // Outer radius of the disc the sectors cover: the largest circle about the hub whose
    // pixels all lie inside the square.
    static constexpr double DiscRadius = 224.5;

    SectorWeights(int leds, int lines);
    Q_DISABLE_COPY_MOVE(SectorWeights)

    // The weights of one geometry, computed on first use and shared by every conversion
    // with that geometry. Safe on any thread.
    static std::shared_ptr<const SectorWeights> forGeometry(int leds, int lines);

    int leds() const { return ledCount; }
    int lines() const { return lineCount; }
    // The weights of LED led (0 = hub) on line line.
    const Weight *begin(int line, int led) const { return weights.data() + starts[index(line, led)]; }
    const Weight *end(int line, int led) const { return weights.data() + starts[index(line, led) + 1]; }
    // Area in square pixels of the sector of LED led on line line.
    double sectorArea(int line, int led) const { return areas[index(line, led)]; }

private:
    qsizetype index(int line, int led) const { return qsizetype(line) * ledCount + led; }
    // counts, touched and radii: scratch space shared by all sectors.
    void addSector(int led, double angleDegrees, std::vector<quint32> &counts,
                   std::vector<qint32> &touched, std::vector<double> &radii);

    int ledCount;
    int lineCount;
    double spacing;  // between neighbouring LEDs, pixels
    std::vector<qsizetype> starts;
    std::vector<Weight> weights;
    std::vector<double> areas;
};
