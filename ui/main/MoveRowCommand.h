#pragma once

#include <QPointer>
#include <QUndoCommand>

#include <functional>

class QObject;

// Moves an item from one play position (number) to another; undone by the opposite move.
class MoveRowCommand : public QUndoCommand
{
public:
    // move(item, from, to) performs a move between numbers.
    MoveRowCommand(QObject *item, int from, int to, std::function<void(QObject *, int, int)> move);
    Q_DISABLE_COPY_MOVE(MoveRowCommand)

    void redo() override;
    void undo() override;

private:
    QPointer<QObject> item;
    const int from;
    const int to;
    std::function<void(QObject *, int, int)> move;
};
