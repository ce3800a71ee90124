#pragma once

#include <QPointer>
#include <QUndoCommand>

#include <functional>

class QObject;

// A row's display time (picture) or loop count (clip) changed by its editor. The editor has
// already stored the new value when the command is pushed, so the first redo only records;
// the steps of one press-and-hold on one item merge into one command.
class RowValueCommand : public QUndoCommand
{
public:
    // apply stores a value on item and shows it.
    RowValueCommand(QObject *item, double before, double after,
                    std::function<void(QObject *, double)> apply);
    ~RowValueCommand() override = default;
    Q_DISABLE_COPY_MOVE(RowValueCommand)

    void redo() override;
    void undo() override;
    int id() const override { return 1; }
    // Merges only with a command of the same kind (id) for the same item.
    bool mergeWith(const QUndoCommand *other) override;

private:
    QPointer<QObject> item;
    const double before;
    double after;
    std::function<void(QObject *, double)> apply;
    bool stored = true;
};
