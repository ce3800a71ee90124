#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Drives modal dialogs from a test: looks for the active modal widget every few
// milliseconds and hands it to an action, which returns true once it has dealt with it.
// The watch ends then, or after timeoutMs, so that a test never hangs on a dialog.
class ModalDriver
{
public:
    using Action = std::function<bool(QWidget *modal)>;

    static void whenModal(Action action, int timeoutMs = 5000);

    // Closes the next message box with its default button; its title and text are stored in
    // the given strings (when not null) and *seen is set.
    static void closeMessageBox(QString *title, QString *text, bool *seen, int timeoutMs = 5000);

    // Clicks the child button objectName of the next modal widget of type T.
    template <typename T>
    static void clickIn(const char *objectName, int timeoutMs = 5000);

    static bool clickChild(QWidget *parent, const char *objectName);
};

template <typename T>
void ModalDriver::clickIn(const char *objectName, int timeoutMs)
{
    whenModal(
        [objectName](QWidget *modal) {
            if (!qobject_cast<T *>(modal))
                return false;
            return clickChild(modal, objectName);
        },
        timeoutMs);
}
