#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class ShowSession;

// The window's File menu: New, Open…, Open Recent (the last shows, those gone greyed), Save,
// Save As… and Quit, with the usual keys. The actions only call the show session; Quit
// closes the window, whose close asks about unsaved changes.
class FileMenu : public QObject
{
    Q_OBJECT
public:
    // Placed first in bar.
    FileMenu(QMenuBar *bar, ShowSession *session, QWidget *window);
    Q_DISABLE_COPY_MOVE(FileMenu)

    void retranslate();

    QMenu *menu() const { return fileMenu; }
    QMenu *recentMenu() const { return recent; }
    QAction *newAction() const { return actionNew; }
    QAction *openAction() const { return actionOpen; }
    QAction *saveAction() const { return actionSave; }
    QAction *saveAsAction() const { return actionSaveAs; }
    QAction *quitAction() const { return actionQuit; }

    // Rebuilds Open Recent from the stored list (done each time it opens).
    void fillRecent();

private:
    ShowSession *session;
    QMenu *fileMenu = nullptr;
    QMenu *recent = nullptr;
    QAction *actionNew = nullptr;
    QAction *actionOpen = nullptr;
    QAction *actionSave = nullptr;
    QAction *actionSaveAs = nullptr;
    QAction *actionQuit = nullptr;
};
