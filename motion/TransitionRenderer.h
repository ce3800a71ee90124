#pragma once

#include "app/Outcome.h"
#include "motion/MotionFrameSource.h"
#include "motion/TransitionDescription.h"

#include <QImage>

#include <memory>
#include <vector>

class QPainterPath;

// Draws the frames of a transition from the last picture of the item before to the first
// picture of the item after (both as their 450 x 450 squares). Frame i of n shows the way
// (i + 1) / (n + 1) through, so neither neighbour is repeated and an odd count has its
// middle frame exactly half-way.
class TransitionRenderer final : public MotionFrameSource
{
public:
    // Checks the description; pictures that are not 450 x 450 are brought to it as the conversion
    // would (centred square, nearest neighbour). Null pictures are refused.
    static Outcome prepare(const TransitionDescription &wanted, const QImage &before, const QImage &after,
                           std::shared_ptr<TransitionRenderer> *made);

    int frameCount() const override { return count; }
    QImage frame(int index) const override;

    // How far through frame index is: (index + 1) / (count + 1).
    double progressAt(int index) const;
    const TransitionDescription &wanted() const { return settings; }

private:
    TransitionRenderer(const TransitionDescription &wanted, const QImage &before, const QImage &after);

    QImage crossFade(double t) const;
    // The next picture over the one before, inside a clipping path.
    QImage revealed(const QPainterPath &path) const;

    const TransitionDescription settings;
    const int count;
    const QImage from;
    const QImage to;
    // Both pictures in linear light, three floats a pixel, for the cross-fade.
    std::vector<float> fromLinear;
    std::vector<float> toLinear;
};
