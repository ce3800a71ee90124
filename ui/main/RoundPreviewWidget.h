#pragma once

#include <QImage>
#include <QWidget>

// The round preview: a square picture (an item's sampling preview) shown as the largest
// circle the widget holds, centred. The picture is scaled once per size with smooth
// filtering to the device pixels the circle covers (high-DPI screens included) and cut to
// the circle with an antialiased edge; outside the circle the widget is white. Before
// anything is chosen it shows the empty circle's red outline; with nothing to show, white.
class RoundPreviewWidget : public QWidget
{
    Q_OBJECT
public:
    enum class Content { Outline, Blank, Picture };

    explicit RoundPreviewWidget(QWidget *parent = nullptr);

    // A null picture shows white, as showBlank().
    void showPicture(const QImage &picture);
    void showBlank();
    void showOutline();

    Content content() const { return shown; }
    // The picture shown (null unless content() is Picture), as given.
    const QImage &picture() const { return source; }
    // The square, in widget coordinates, that the circle fills.
    QRect circleRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The circle's diameter changed with the widget's size.
    void diameterChanged(int side);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // The picture cut to a circle of side device pixels at ratio device pixels per pixel,
    // made again only when the size, the ratio or the picture changes.
    const QImage &roundPicture(int side, qreal ratio);

    Content shown = Content::Outline;
    QImage source;
    QImage round;
    qint64 roundKey = 0;
};
