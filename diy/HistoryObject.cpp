#include "diy/HistoryObject.h"

// QImage copies share their pixels until the canvas paints again, which then detaches its
// own picture: a snapshot costs no copy while nothing changes.
HistoryObject::HistoryObject(const QImage &image, const QImage &baseImage, int zoomStep)
    : m_image(image), m_baseImage(baseImage), m_zoomStep(zoomStep)
{
}
