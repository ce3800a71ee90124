#include "ui/main/RowValueCommand.h"

#include <QDeadlineTimer>

RowValueCommand::RowValueCommand(QObject *item, double before, double after,
                                 std::function<void(QObject *, double)> apply, Origin origin,
                                 qint64 atMs)
    : item(item), before(before), after(after), apply(std::move(apply)), origin(origin),
      lastMs(atMs)
{
}

qint64 RowValueCommand::now()
{
    return QDeadlineTimer::current().deadline();
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

bool RowValueCommand::joins(const RowValueCommand &next) const
{
    return next.origin == origin && next.lastMs >= lastMs && next.lastMs - lastMs <= SeriesGapMs;
}

bool RowValueCommand::mergeWith(const QUndoCommand *other)
{
    // Same id, so the same command class.
    const auto *next = static_cast<const RowValueCommand *>(other);
    if (next->item != item || !joins(*next))
        return false;
    after = next->after;
    lastMs = next->lastMs;
    return true;
}
