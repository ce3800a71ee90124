#pragma once

#include <QObject>

class MainWindow;

// The window's share of the settings kept between runs (AppSettings). Made once the window
// exists and before it is shown: the language, the window's size and place and its toolbar
// state come back, each on its own falling back to the start-up default (English; a size
// that fits the screen, centred). When the window closes or the program quits, they are
// stored together with the display geometry in force.
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

    MainWindow *window;
};
