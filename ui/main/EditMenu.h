#pragma once

#include <QCoreApplication>

class PlaylistController;
class QAction;
class QMenu;
class QMenuBar;

// The window's Edit menu: Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z, Ctrl+Y) of the playlist
// edits, through the playlist controller so that its lock rule holds for them too, and
// Paste (Ctrl+V), which the window connects.
class EditMenu final
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    // Placed in bar before the menu whose action is before; parented to bar.
    EditMenu(QMenuBar *bar, QAction *before, PlaylistController *playlists);
    Q_DISABLE_COPY_MOVE(EditMenu)

    void retranslate();
    QAction *pasteAction() const { return pasteItem; }

private:
    QMenu *menu = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    QAction *pasteItem = nullptr;
};
