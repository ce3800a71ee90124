#include "ModalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

void ModalDriver::whenModal(Action action, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto remaining = std::make_shared<int>(timeoutMs);
    constexpr int kStepMs = 10;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, remaining, action]() {
        *remaining -= kStepMs;
        // Stopped while the action runs: it may open a nested modal loop of its own.
        timer->stop();
        QWidget *modal = QApplication::activeModalWidget();
        if ((modal && action(modal)) || *remaining <= 0)
            timer->deleteLater();
        else
            timer->start(kStepMs);
    });
    timer->start(kStepMs);
}

void ModalDriver::closeMessageBox(QString *title, QString *text, bool *seen, int timeoutMs)
{
    whenModal(
        [title, text, seen](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return false;
            if (title)
                *title = box->windowTitle();
            if (text)
                *text = box->text();
            if (seen)
                *seen = true;
            box->done(QMessageBox::Ok);
            return true;
        },
        timeoutMs);
}

bool ModalDriver::clickChild(QWidget *parent, const char *objectName)
{
    auto *button = parent->findChild<QAbstractButton *>(QString::fromLatin1(objectName));
    if (!button)
        return false;
    button->click();
    return true;
}
