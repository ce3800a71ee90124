#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

// The floating piece of a drawing: a finished figure or text block shown above the canvas,
// still draggable, until the canvas merges it into the picture. Outlined in red dash-dot.
class DiyShape : public QWidget
{
    Q_OBJECT
public:
    explicit DiyShape(QWidget *parent = nullptr);
    ~DiyShape() override;
    Q_DISABLE_COPY_MOVE(DiyShape)

    // A null picture empties the shape and leaves its size as it was.
    void setCurrentImage(const QImage &image);
    const QImage &currentImage() const { return image; }
    bool isEmpty() const { return image.isNull(); }

signals:
    // The shape was dragged to point (canvas coordinates).
    void signalPointChanged(QPoint point);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage image;
    QPoint pressOffset;
};
