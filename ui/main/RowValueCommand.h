#pragma once

#include <QPointer>
#include <QUndoCommand>

#include <functional>

class QObject;

// A row's display time (picture) or loop count (clip) changed by its editor. The editor has
// already stored the new value when the command is pushed, so the first redo only records.
// A quick series of changes of one kind on one item is one step: the clicks or the
// press-and-hold of its + and - buttons, or the keystrokes of one typed value. A typed value
// never joins the clicks before it, nor the clicks the typing.
class RowValueCommand : public QUndoCommand
{
public:
    enum class Origin { Step, Typing };
    // At most this long between two changes of one series.
    static constexpr qint64 SeriesGapMs = 1500;

    // apply stores a value on item and shows it; atMs is when the change was made (on the
    // monotonic clock that now() reads).
    RowValueCommand(QObject *item, double before, double after,
                    std::function<void(QObject *, double)> apply, Origin origin = Origin::Step,
                    qint64 atMs = now());
    ~RowValueCommand() override = default;
    Q_DISABLE_COPY_MOVE(RowValueCommand)

    void redo() override;
    void undo() override;
    int id() const override { return 1; }
    // Merges only with a command of the same kind (id) for the same item that continues its
    // series (see joins()).
    bool mergeWith(const QUndoCommand *other) override;

    static qint64 now();

protected:
    // next (same kind, same item) is one more change of this command's series.
    virtual bool joins(const RowValueCommand &next) const;

private:
    QPointer<QObject> item;
    const double before;
    double after;
    std::function<void(QObject *, double)> apply;
    const Origin origin;
    qint64 lastMs;  // the series' latest change
    bool stored = true;
};
