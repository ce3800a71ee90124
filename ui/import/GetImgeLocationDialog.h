#pragma once

#include <QDialog>
#include <QImage>

class QPushButton;
class QScrollArea;
class RoundAreaWidget;

// Chooses the 450 x 450 square of a picture that goes onto the display: the picture is shown
// zoomable in steps of 10 % of its size, with the round marker over it. The marker is the
// disc the display samples; it can be dragged, but not out of reach: along each axis it
// stays inside the picture, or holds the whole picture when that is smaller than it. Ok
// accepts the square; Cancel (or closing) rejects, and the caller imports nothing.
class GetImgeLocationDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GetImgeLocationDialog(QWidget *parent = nullptr);

    // Gives the picture; called once, before the dialog runs.
    void setImage(const QImage &image);

    // The square's top-left on the shown picture (negative when the picture is smaller).
    QPoint frameTopLeft() const;
    QSize shownImageSize() const { return shownImage.size(); }
    int zoom() const { return zoomLevel; }
    RoundAreaWidget *marker() const { return roundFrame; }

    // The marker's look: the outline of the sampled disc (centre 225, 225, radius 224) in
    // red on transparency.
    static QImage markerPicture();

public slots:
    void onBtnZoomIn();
    void onBtnZoomOut();
    void onBtnOk();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void zoomTo(int level);
    void layoutStage(const QPoint &markerTopLeft);
    QPoint clampedTopLeft(const QPoint &topLeft) const;
    void updateButtons();

    QScrollArea *scrollArea = nullptr;
    QWidget *stage = nullptr;
    QWidget *imageWidget = nullptr;
    RoundAreaWidget *roundFrame = nullptr;
    QPushButton *btnZoomIn = nullptr;
    QPushButton *btnZoomOut = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
    int zoomLevel = 0;
    QImage sourceImage;
    QImage shownImage;
    bool placing = false;
};
