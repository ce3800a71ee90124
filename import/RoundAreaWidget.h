#pragma once

#include <QPoint>
#include <QWidget>

// The draggable 450 x 450 marker of the round display picture: it shows its background
// brush (a red circle on transparency, set by its owner) and follows the mouse while the
// left button is held. The release passes on to the parent.
class RoundAreaWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Side = 450;

    explicit RoundAreaWidget(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPoint pressOffset;
};
