#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class DropDispatcher;
class QDropEvent;
class QMimeData;
class QTableView;
class QWidget;

// Drops on one playlist view. Files go to the dispatcher, at the row they are dropped on
// when the list takes them there (the picture list), else appended. A row dragged (from its
// thumbnail or any part of the row that is no control) and dropped elsewhere in the same
// list moves there through move, as its order box would move it. A line shows where a drop
// goes in.
class ListDrops : public QObject
{
    Q_OBJECT
public:
    // Moves item to a row of the list (0-based).
    using Move = std::function<void(QObject *item, int row)>;

    ListDrops(QTableView *view, DropDispatcher *dispatcher, bool filesAtRow, Move move,
              QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ListDrops)

    // What a dragged row carries: the list it comes from and its row.
    static QMimeData *rowData(const QTableView *view, int row);
    // The gap a drop at pos (viewport coordinates) falls into: 0 before the first row, the
    // row count after the last; the upper half of a row is the gap before it.
    int gapAt(const QPoint &pos) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The row data carries when it was dragged from this view, else -1.
    int draggedRow(const QMimeData *data) const;
    bool dragOver(QDropEvent *event);
    bool drop(QDropEvent *event);
    void startDrag(int row);
    void showLine(int gap);

    QTableView *view;
    QPointer<DropDispatcher> dispatcher;
    const bool filesAtRow;
    Move move;
    QWidget *line = nullptr;
    QPoint pressAt;
    int pressRow = -1;
};
