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
    const QRect square(topLeft, QSize(RoundSquare::Side, RoundSquare::Side));
    return square.intersects(QRect(QPoint(0, 0), shown));
}
