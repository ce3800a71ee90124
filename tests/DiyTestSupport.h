#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPoint>
#include <QWidget>

// Sends one mouse event to widget at pos (widget coordinates) with the buttons held, as the
// window system would: the global position follows the widget's place on the screen.
// Returns whether the widget accepted it.
inline bool sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos,
                      Qt::MouseButtons buttons = Qt::LeftButton,
                      Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF local(pos);
    const QPointF global(widget->mapToGlobal(pos));
    if (type == QEvent::MouseMove)
        button = Qt::NoButton;
    if (type == QEvent::MouseButtonRelease)
        buttons &= ~Qt::MouseButtons(button);
    QMouseEvent event(type, local, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

inline void pressAt(QWidget *w, const QPoint &p) { sendMouse(w, QEvent::MouseButtonPress, p); }
inline void moveTo(QWidget *w, const QPoint &p, Qt::MouseButtons held = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseMove, p, held);
}
inline void releaseAt(QWidget *w, const QPoint &p) { sendMouse(w, QEvent::MouseButtonRelease, p); }

// A press, moves along the straight way in steps, and a release.
inline void dragAlong(QWidget *w, const QPoint &from, const QPoint &to, int steps = 4)
{
    pressAt(w, from);
    for (int i = 1; i <= steps; ++i)
        moveTo(w, from + (to - from) * i / steps);
    releaseAt(w, to);
}
