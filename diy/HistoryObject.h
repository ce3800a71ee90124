#pragma once

#include <QImage>

// One undo snapshot of the canvas: the picture shown, the picture its zoom scales from, and
// the zoom step that leads from one to the other. Restoring all three together keeps zoom
// and undo consistent.
class HistoryObject final
{
public:
    HistoryObject(const QImage &image, const QImage &baseImage, int zoomStep);
    Q_DISABLE_COPY_MOVE(HistoryObject)

    const QImage &image() const { return m_image; }
    const QImage &baseImage() const { return m_baseImage; }
    int zoomStep() const { return m_zoomStep; }

private:
    const QImage m_image;
    const QImage m_baseImage;
    const int m_zoomStep;
};
