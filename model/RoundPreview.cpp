#include "model/RoundPreview.h"

#include "app/AppGlobals.h"
#include "model/ColourTableInverse.h"
#include "model/DotRenderer.h"
#include "model/ImageObject.h"
#include "model/PolarLine.h"
#include "model/RoundSquare.h"

QImage roundPreviewImage(int size, const QByteArray &triples, int ledCount, int lineNumber)
{
    if (size <= 0)
        return {};
    QImage canvas(size, size, QImage::Format_ARGB32);
    canvas.fill(qRgba(0, 0, 0, 255));
    if (ledCount <= 0 || lineNumber <= 0)
        return canvas;

    // The triples are drive values: shown as the display shows them, not as colours.
    const ColourTableInverse table = ColourTableInverse::current();
    DotRenderer dots(canvas);
    const double half = size / 2.0;
    // The sampler's line: one pixel short of the edge at 450, so the dots fall where the
    // window's preview of the same picture has them.
    PolarLine line(QPointF(half, half), QPointF(half, size / double(RoundSquare::Side)), ledCount);
    const double step = 360.0 / lineNumber;
    const auto *bytes = reinterpret_cast<const uchar *>(triples.constData());
    const qsizetype total = triples.size() / 3;
    qsizetype c = 0;
    for (double angle = 90.0; angle < 450.0 && c < total; angle += step) {
        line.setAngle(angle);
        for (int i = ledCount - 1; i >= 0 && c < total; --i, ++c) {
            const uchar *triple = bytes + 3 * c;
            const QPointF at = line.ledPosition(i);
            dots.drawDot(at.x(), at.y(), table.shown(triple[1], triple[0], triple[2]));
        }
    }
    return canvas;
}

void renderRoundPreview(ImageObject *item, int size, const QByteArray &triples)
{
    item->saveSamplingPreview(roundPreviewImage(size, triples, ledCount, lineNumber));
}
