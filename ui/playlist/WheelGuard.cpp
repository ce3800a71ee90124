#include "ui/playlist/WheelGuard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QAbstractScrollArea>
#include <QWheelEvent>
#include <QWidget>

WheelGuard::WheelGuard(QObject *parent) : QObject(parent) {}

void WheelGuard::install(QWidget *box)
{
    // Without StrongFocus a combo box would take the focus from the wheel itself.
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(new WheelGuard(box));
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        armed = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason
                || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
        break;
    }
    case QEvent::FocusOut:
        armed = false;
        break;
    case QEvent::Wheel:
        if (!armed || !static_cast<QWidget *>(watched)->hasFocus()) {
            scrollEnclosingList(static_cast<QWidget *>(watched), static_cast<QWheelEvent *>(event));
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void WheelGuard::scrollEnclosingList(QWidget *box, QWheelEvent *event)
{
    // Handed to the list explicitly: Qt passes a wheel event on to the parents only when it
    // came from the window system, and the list must scroll whoever sent it.
    QWidget *parent = box->parentWidget();
    while (parent && !qobject_cast<QAbstractScrollArea *>(parent))
        parent = parent->parentWidget();
    if (!parent)
        return;
    QWidget *viewport = static_cast<QAbstractScrollArea *>(parent)->viewport();
    const QPointF at = viewport->mapFromGlobal(event->globalPosition());
    QWheelEvent forwarded(at, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                          event->buttons(), event->modifiers(), event->phase(),
                          event->inverted(), event->source());
    QCoreApplication::sendEvent(viewport, &forwarded);
}
