#include "ui/main/MoveRowCommand.h"

MoveRowCommand::MoveRowCommand(QObject *item, int from, int to,
                               std::function<void(QObject *, int, int)> move)
    : item(item), from(from), to(to), move(std::move(move))
{
}

void MoveRowCommand::redo()
{
    if (item)
        move(item, from, to);
}

void MoveRowCommand::undo()
{
    if (item)
        move(item, to, from);
}
