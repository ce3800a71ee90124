#pragma once

#include <QUndoCommand>

class CustomTableModel;
class QObject;

// Puts a new item in the place of one row of a playlist (a text clip made again from changed
// settings). The item out of the list is held by the command: the old one while the
// replacement can be undone, the new one while it can be redone; it is destroyed with the
// command.
class ReplaceRowCommand : public QUndoCommand
{
public:
    // The command owns replacement until it is first done.
    ReplaceRowCommand(CustomTableModel *model, int row, QObject *replacement);
    ~ReplaceRowCommand() override;
    Q_DISABLE_COPY_MOVE(ReplaceRowCommand)

    void redo() override;
    void undo() override;

    // The item out of the list now.
    QObject *heldItem() const { return held; }

private:
    void swap();

    CustomTableModel *model;
    const int row;
    QObject *held;
};
