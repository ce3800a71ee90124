#pragma once

#include "app/AppGlobals.h"
#include "loop/HandlerMessage.h"
#include "ui/main/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QSemaphore>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// The settings the program keeps between runs go to a folder of this test program's own
// (dir, or a temporary one): tests running side by side never read what another stored.
// The first call decides for the whole process.
inline void isolateSettings(const QString &dir = QString())
{
    static bool done = false;
    if (done)
        return;
    done = true;
    static QTemporaryDir own;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       dir.isEmpty() ? own.path() : dir);
}

// A private work directory and an English main window, made afresh for each test.
inline bool openFreshWindow(std::unique_ptr<QTemporaryDir> &tempDir,
                            std::unique_ptr<MainWindow> &window)
{
    // File dialogs read the places remembered in the user's QtProject.conf; one naming /proc
    // blocks them. Tests keep settings of their own.
    QStandardPaths::setTestModeEnabled(true);
    isolateSettings();
    tempDir = std::make_unique<QTemporaryDir>();
    if (!tempDir->isValid())
        return false;
    initAppGlobals(tempDir->path());
    window = std::make_unique<MainWindow>();
    window->onBtnEnUsClick();
    return true;
}

// The window goes first: its items delete their files in the work directory.
inline void closeFreshWindow(std::unique_ptr<QTemporaryDir> &tempDir,
                             std::unique_ptr<MainWindow> &window)
{
    window.reset();
    tempDir.reset();
}

// Keeps the shared loop thread busy until released, so that a job sent after it waits.
class BlockingHandler : public HandlerMessage
{
public:
    using HandlerMessage::HandlerMessage;
    void handleMessage(Message *) override { gate.acquire(); }
    QSemaphore gate;
};

// Records and closes every message box that becomes the active modal widget, and hands any
// other modal widget to an optional callback (once per widget). Lives as long as the test
// that makes it, so a box left open can never hang the run.
class ModalWatcher : public QObject
{
public:
    struct Box
    {
        QString title;
        QString text;
    };

    explicit ModalWatcher(std::function<void(QWidget *)> onOtherModal = {})
        : ModalWatcher(QMessageBox::Ok, std::move(onOtherModal))
    {
    }

    // Answers every message box with answer instead of OK.
    ModalWatcher(QMessageBox::StandardButton answer, std::function<void(QWidget *)> onOtherModal)
        : answer(answer), onOther(std::move(onOtherModal))
    {
        connect(&timer, &QTimer::timeout, this, [this] { look(); });
        timer.start(15);
    }

    QList<Box> boxes;

private:
    void look()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (box->isVisible() && !closing.contains(box)) {
                closing.append(box);
                boxes.append({box->windowTitle(), box->text()});
                // Closed from the event loop, not from inside this timer's slot.
                QAbstractButton *button = box->button(answer);
                QTimer::singleShot(0, box, [box, button, answer = answer] {
                    if (button)
                        button->click();
                    else
                        box->done(answer);
                });
            }
            return;
        }
        if (onOther && !handled.contains(modal)) {
            handled.append(modal);
            QTimer::singleShot(0, modal, [this, modal] { onOther(modal); });
        }
    }

    QTimer timer;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void(QWidget *)> onOther;
    QList<QPointer<QWidget>> closing;
    QList<QPointer<QWidget>> handled;
};

// Writes a picture file of the given size whose pixels encode their row (red) and column
// (green), so that a cut-out can be recognised. Returns its path.
inline QString writePicture(const QString &dir, const QString &name, int width, int height,
                            int quality = 90)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(y % 256, x % 256, (x + y) % 256);
    }
    const QString path = QDir(dir).filePath(name);
    image.save(path, nullptr, quality);
    return path;
}
