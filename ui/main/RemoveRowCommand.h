#pragma once

#include <QUndoCommand>

class CustomTableModel;
class QObject;

// Deletes one row of a playlist. While the deletion can still be undone the command holds
// the removed item (and with it the item's files); the item is destroyed only when the
// command leaves the undo stack in its done state.
class RemoveRowCommand : public QUndoCommand
{
public:
    RemoveRowCommand(CustomTableModel *model, int row);
    ~RemoveRowCommand() override;
    Q_DISABLE_COPY_MOVE(RemoveRowCommand)

    void redo() override;
    void undo() override;

    // The item this command removed, held while it is out of the list; null while it is in.
    QObject *heldItem() const { return held; }

private:
    CustomTableModel *model;
    const int row;
    QObject *held = nullptr;
};
