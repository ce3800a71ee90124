#include "ui/main/RowValueCommand.h"

RowValueCommand::RowValueCommand(QObject *item, double before, double after,
                                 std::function<void(QObject *, double)> apply)
    : item(item), before(before), after(after), apply(std::move(apply))
{
}

void RowValueCommand::redo()
{
    if (stored) {
        stored = false;
        return;
    }
    if (item)
        apply(item, after);
}

void RowValueCommand::undo()
{
    if (item)
        apply(item, before);
}

bool RowValueCommand::mergeWith(const QUndoCommand *other)
{
    // Same id, so the same command class.
    const auto *next = static_cast<const RowValueCommand *>(other);
    if (next->item != item)
        return false;
    after = next->after;
    return true;
}
