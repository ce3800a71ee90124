#include "ui/main/WindowSession.h"

#include "app/AppGlobals.h"
#include "app/AppSettings.h"
#include "app/LanguageTable.h"
#include "ui/main/MainWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>

namespace {
// The size a first start asks for, made smaller on a smaller screen.
constexpr QSize kPreferredSize(1280, 680);
// Room left on the screen for the window manager's frame and title.
constexpr QSize kFrameAllowance(16, 48);
constexpr int kEnglish = 3;
} // namespace

WindowSession::WindowSession(MainWindow *window) : QObject(window), window(window)
{
    restore();
    connect(window, &MainWindow::displayChoicesShown, this, &WindowSession::storeChoices);
    window->installEventFilter(this);
    // A quit by signal or by the session's end closes no window.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &WindowSession::save);
}

void WindowSession::restore()
{
    const AppSettings settings;
    storedLanguage = settings.languageCode();
    storedLeds = settings.ledCount();
    storedLines = settings.lineNumber();
    window->chooseLanguage(storedLanguage);
    // A catalogue that does not load leaves no language: English then.
    if (!LanguageTable::byCode(languageCode))
        window->chooseLanguage(kEnglish);
    const QByteArray geometry = settings.windowGeometry();
    if (geometry.isEmpty() || !window->restoreGeometry(geometry))
        placeByDefault();
    const QByteArray state = settings.windowState();
    if (!state.isEmpty())
        window->restoreState(state);
}

void WindowSession::placeByDefault()
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QSize size = kPreferredSize.boundedTo(room.size() - kFrameAllowance)
                           .expandedTo(window->minimumSizeHint());
    window->resize(size);
    window->move(room.center() - QPoint(size.width() / 2, size.height() / 2));
}

void WindowSession::storeChoices()
{
    const int language = languageCode;
    const int leds = ledCount;
    const int lines = lineNumber;
    // The status line is shown anew at every retranslation too: only a change is written.
    if (language == storedLanguage && leds == storedLeds && lines == storedLines)
        return;
    AppSettings settings;
    if (language != storedLanguage)
        settings.setLanguageCode(language);
    if (leds != storedLeds || lines != storedLines)
        settings.setDisplayGeometry(leds, lines);
    storedLanguage = language;
    storedLeds = leds;
    storedLines = lines;
}

void WindowSession::save()
{
    AppSettings settings;
    settings.setLanguageCode(languageCode);
    settings.setDisplayGeometry(ledCount, lineNumber);
    settings.setWindowGeometry(window->saveGeometry());
    settings.setWindowState(window->saveState());
}

bool WindowSession::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Close)
        save();
    return QObject::eventFilter(watched, event);
}
