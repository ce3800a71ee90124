#pragma once

#include "app/Outcome.h"
#include "motion/MotionFrameSource.h"
#include "motion/TextClipDescription.h"

#include <QImage>

#include <memory>

// Draws the frames of a text clip. Everything that needs the font (laying the text out) and
// the background picture's decoding happens once in prepare(); a frame is then only the
// background with the prepared text layer turned, moved or left out, cheap enough for a live
// preview at the display's ten frames a second and safe to draw from any thread.
//
// Ring text is laid along a circle just inside the rim, each character turned to face out,
// centred at 12 o'clock; text longer than the circle is drawn smaller until it fits. Sliding,
// standing and blinking text is laid out in one line by the drawing editor's text layout.
class TextClipRenderer final : public MotionFrameSource
{
public:
    // Checks the description, loads the background picture and lays the text out. Needs a
    // QGuiApplication (fonts) to exist; runs on any thread (a few milliseconds, so the
    // dialog may call it on every settings change).
    static Outcome prepare(const TextClipDescription &wanted, std::shared_ptr<TextClipRenderer> *made);

    int frameCount() const override { return count; }
    QImage frame(int index) const override;

    const TextClipDescription &wanted() const { return settings; }
    // The text as laid out (transparent around the glyphs): the ring on a 450 x 450 square,
    // or the line of text at its own size.
    const QImage &textLayer() const { return layer; }
    // The pixel size the ring text was drawn at (smaller than asked when it did not fit).
    int drawnPixelSize() const { return drawnSize; }

private:
    explicit TextClipRenderer(const TextClipDescription &wanted);

    void layOutRing();
    void layOutLine();
    // Offset of the text's top-left at ms for the slides, around the square's width or
    // height plus the text's, starting centred.
    QPointF slideOffset(qint64 ms) const;

    const TextClipDescription settings;
    const int count;
    QImage background;
    QImage layer;
    int drawnSize = 0;
};
