#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

// The draggable 450 x 450 marker showing which square of a picture becomes the round display
// picture: a red circle over the disc the display samples (centre (225, 225), radius 224)
// with a dot on the hub. Dragging keeps the grabbed point under the mouse. Releases are
// ignored so that they reach the parent.
class RoundAreaWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Side = 450;
    static constexpr int Radius = 224;

    // With the standard marker picture (maskImage()).
    explicit RoundAreaWidget(QWidget *parent = nullptr);
    // With a marker picture of the caller's (drawn at the top-left, tiled beyond it).
    RoundAreaWidget(const QImage &mask, QWidget *parent = nullptr);
    ~RoundAreaWidget() override;
    Q_DISABLE_COPY_MOVE(RoundAreaWidget)

    // The standard marker: 450 x 450 ARGB32, transparent except for the red circle and the
    // red hub dot.
    static QImage maskImage();

    // When set, a drag never moves the marker beyond its parent's rectangle (while the parent
    // is at least as large as the marker; otherwise the marker is kept at the top-left).
    void setConfinedToParent(bool confined);
    bool isConfinedToParent() const { return confined; }
    // Where topLeft would be brought when confined to a parent of the given size.
    static QPoint confinedTo(const QPoint &topLeft, const QSize &parentSize);

signals:
    // The marker was dragged to a new top-left corner (parent coordinates).
    void moved(const QPoint &topLeft);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint pressOffset;
    bool confined = false;
};
