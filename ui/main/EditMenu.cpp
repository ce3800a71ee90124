#include "ui/main/EditMenu.h"

#include "ui/main/PlaylistController.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

EditMenu::EditMenu(QMenuBar *bar, QAction *before, PlaylistController *playlists)
{
    menu = new QMenu(bar);
    menu->setObjectName(QStringLiteral("editMenu"));
    bar->insertMenu(before, menu);
    undoAction = menu->addAction(QString());
    undoAction->setObjectName(QStringLiteral("actionUndo"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = menu->addAction(QString());
    redoAction->setObjectName(QStringLiteral("actionRedo"));
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                              QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addSeparator();
    pasteItem = menu->addAction(QString());
    pasteItem->setObjectName(QStringLiteral("actionPaste"));
    // A field with the focus keeps Ctrl+V for its text (it asks for the key first).
    pasteItem->setShortcut(QKeySequence::Paste);
    QObject::connect(undoAction, &QAction::triggered, playlists, &PlaylistController::undo);
    QObject::connect(redoAction, &QAction::triggered, playlists, &PlaylistController::redo);
    QUndoStack *history = playlists->history();
    undoAction->setEnabled(history->canUndo());
    redoAction->setEnabled(history->canRedo());
    QObject::connect(history, &QUndoStack::canUndoChanged, undoAction, &QAction::setEnabled);
    QObject::connect(history, &QUndoStack::canRedoChanged, redoAction, &QAction::setEnabled);
    retranslate();
}

void EditMenu::retranslate()
{
    menu->setTitle(tr("menu_title_edit"));
    undoAction->setText(tr("action_title_undo"));
    redoAction->setText(tr("action_title_redo"));
    pasteItem->setText(tr("action_title_paste"));
}
