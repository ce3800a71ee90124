#pragma once

#include <QObject>

class MainWindow;

// The window's share of the settings kept between runs (AppSettings). Made once the window
// exists and before it is shown: the language, the window's size and place and its toolbar
// state come back, each on its own falling back to the start-up default (English; a size
// that fits the screen, centred). The language and the display geometry are stored as soon
// as they change, so that a run killed afterwards starts the next one with them; the size,
// place and state when the window closes or the program quits, together with the others.
class WindowSession : public QObject
{
    Q_OBJECT
public:
    explicit WindowSession(MainWindow *window);
    Q_DISABLE_COPY_MOVE(WindowSession)

    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void restore();
    void placeByDefault();
    // Stores the language and the display geometry in force when they differ from what this
    // session stored or read last.
    void storeChoices();

    MainWindow *window;
    int storedLanguage = 0;
    int storedLeds = 0;
    int storedLines = 0;
};
