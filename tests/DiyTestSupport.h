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

#include <QAbstractButton>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

// Answers the message boxes that open, in order, with the buttons queued (Ok once the queue
// is empty), and hands any other modal dialog once to a callback. Lives as long as the test,
// so nothing modal is ever left waiting.
class DiyModalDriver : public QObject
{
public:
    explicit DiyModalDriver(QList<QMessageBox::StandardButton> answers = {},
                            std::function<void(QDialog *)> onDialog = {})
        : answers(std::move(answers)), onDialog(std::move(onDialog))
    {
        connect(&timer, &QTimer::timeout, this, [this] { look(); });
        timer.start(10);
    }

    QStringList texts;  // the message boxes' texts, in order

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (seen.contains(box))
                return;
            seen.append(box);
            texts.append(box->text());
            const auto answer = answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
            // The static boxes report the button clicked, not the dialog's result.
            QTimer::singleShot(0, box, [box, answer] {
                if (QAbstractButton *button = box->button(answer))
                    button->click();
                else
                    box->done(answer);
            });
            return;
        }
        auto *dialog = qobject_cast<QDialog *>(modal);
        if (dialog && onDialog && !seen.contains(dialog)) {
            seen.append(dialog);
            QTimer::singleShot(0, dialog, [this, dialog] { onDialog(dialog); });
        }
    }

    QTimer timer;
    QList<QMessageBox::StandardButton> answers;
    std::function<void(QDialog *)> onDialog;
    QList<QPointer<QWidget>> seen;
};
