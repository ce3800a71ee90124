#pragma once

#include <QObject>

class QWheelEvent;
class QWidget;

// Lets a row editor's number box take the mouse wheel only after the user has put the
// keyboard focus on it (click or Tab). Otherwise the wheel goes on to the list, which
// scrolls: a notch over the current row must never move a picture in the play order, and
// the focus an editor takes when it opens does not count.
class WheelGuard : public QObject
{
    Q_OBJECT
public:
    // Guards box; the guard is a child of box.
    static void install(QWidget *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WheelGuard(QObject *parent);
    static void scrollEnclosingList(QWidget *box, QWheelEvent *event);

    bool armed = false;
};
