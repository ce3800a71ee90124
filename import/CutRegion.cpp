#include "import/CutRegion.h"

#include "model/RoundSquare.h"

#include <QRect>

QSize CutRegion::zoomedSize(const QSize &source, int zoomLevel)
{
    if (zoomLevel > MaxZoomIn || source.isEmpty())
        return {};
    const qint64 p = qint64(zoomLevel) * 10;
    const qint64 w = source.width() + (source.width() * p) / 100;
    const qint64 h = source.height() + (source.height() * p) / 100;
    if (w < 1 || h < 1)
        return {};
    return QSize(int(w), int(h));
}

QPoint CutRegion::centredTopLeft(const QSize &shown)
{
    return RoundSquare::centredRegion(shown);
}

bool CutRegion::coversPicture(const QPoint &topLeft, const QSize &shown)
{
    // In 64 bits: a square placed near the ends of int would overflow QRect's edges.
    const qint64 x = topLeft.x();
    const qint64 y = topLeft.y();
    return shown.width() > 0 && shown.height() > 0 && x < shown.width()
           && x + RoundSquare::Side > 0 && y < shown.height() && y + RoundSquare::Side > 0;
}
