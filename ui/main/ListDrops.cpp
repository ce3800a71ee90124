#include "ui/main/ListDrops.h"

#include "ui/main/DropDispatcher.h"
#include "ui/main/DroppedFiles.h"
#include "ui/playlist/CustomTableModel.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTableView>
#include <QTimer>

#include <utility>

namespace {

const QString kRowMimeType = QStringLiteral("application/x-hologram-display-row");

} // namespace

ListDrops::ListDrops(QTableView *view, DropDispatcher *dispatcher, bool filesAtRow, Move move,
                     QObject *parent)
    : QObject(parent), view(view), dispatcher(dispatcher), filesAtRow(filesAtRow),
      move(std::move(move))
{
    view->viewport()->setAcceptDrops(true);
    view->viewport()->installEventFilter(this);
    line = new QWidget(view->viewport());
    line->setObjectName(QStringLiteral("dropLine"));
    line->setAutoFillBackground(true);
    line->setBackgroundRole(QPalette::Highlight);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    line->hide();
}

QMimeData *ListDrops::rowData(const QTableView *view, int row)
{
    auto *data = new QMimeData;
    data->setData(kRowMimeType, QByteArray::number(quintptr(view)) + ' ' + QByteArray::number(row));
    return data;
}

int ListDrops::draggedRow(const QMimeData *data) const
{
    if (!data || !data->hasFormat(kRowMimeType))
        return -1;
    const QList<QByteArray> parts = data->data(kRowMimeType).split(' ');
    bool ok = parts.size() == 2;
    const quintptr source = ok ? parts[0].toULongLong(&ok) : 0;
    const int row = ok ? parts[1].toInt(&ok) : -1;
    if (!ok || source != quintptr(view) || row < 0 || row >= view->model()->rowCount())
        return -1;
    return row;
}

int ListDrops::gapAt(const QPoint &pos) const
{
    const int rows = view->model() ? view->model()->rowCount() : 0;
    const QModelIndex index = view->indexAt(pos);
    if (!index.isValid())
        return pos.y() < 0 ? 0 : rows;
    const QRect rect = view->visualRect(index);
    return pos.y() < rect.center().y() ? index.row() : index.row() + 1;
}

bool ListDrops::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != view->viewport())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *press = static_cast<QMouseEvent *>(event);
        pressRow = press->button() == Qt::LeftButton ? view->indexAt(press->position().toPoint()).row()
                                                     : -1;
        pressAt = press->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        const auto *moved = static_cast<QMouseEvent *>(event);
        if (pressRow < 0 || !(moved->buttons() & Qt::LeftButton)
            || (moved->position().toPoint() - pressAt).manhattanLength()
                   < QApplication::startDragDistance())
            return false;
        const int row = std::exchange(pressRow, -1);
        startDrag(row);
        return true;
    }
    case QEvent::MouseButtonRelease:
        pressRow = -1;
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return dragOver(static_cast<QDropEvent *>(event));
    case QEvent::DragLeave:
        line->hide();
        return false;
    case QEvent::Drop:
        line->hide();
        return drop(static_cast<QDropEvent *>(event));
    default:
        return false;
    }
}

bool ListDrops::dragOver(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    const QPoint pos = event->position().toPoint();
    if (DroppedFiles::carriesUrls(data)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        if (filesAtRow)
            showLine(gapAt(pos));
        return true;
    }
    if (draggedRow(data) >= 0) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        showLine(gapAt(pos));
        return true;
    }
    return false;
}

bool ListDrops::drop(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    const int gap = gapAt(event->position().toPoint());
    const int rows = view->model()->rowCount();
    if (DroppedFiles::carriesUrls(data)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        QStringList others;
        const QStringList files = DroppedFiles::localFiles(*data, &others);
        if (dispatcher)
            dispatcher->drop(files, filesAtRow && gap < rows ? gap : -1, others);
        return true;
    }
    const int from = draggedRow(data);
    if (from < 0)
        return false;
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // The gap after the row itself leaves it where it is.
    const int to = gap > from ? gap - 1 : gap;
    if (to == from)
        return true;
    // Moved from the event loop: a refusal's message box must not run inside the drop.
    QPointer<QObject> item = CustomTableModel::itemOf(view->model()->index(from, 0));
    QTimer::singleShot(0, this, [this, item, to] {
        if (item)
            move(item, to);
    });
    return true;
}

void ListDrops::startDrag(int row)
{
    auto *drag = new QDrag(view->viewport());
    drag->setMimeData(rowData(view, row));
    const QModelIndex index = view->model()->index(row, 0);
    if (QWidget *editor = view->indexWidget(index)) {
        QPixmap shown = editor->grab();
        QPixmap faded(shown.size());
        faded.setDevicePixelRatio(shown.devicePixelRatio());
        faded.fill(Qt::transparent);
        QPainter painter(&faded);
        painter.setOpacity(0.7);
        painter.drawPixmap(0, 0, shown);
        painter.end();
        drag->setPixmap(faded);
        drag->setHotSpot(pressAt - view->visualRect(index).topLeft());
    }
    drag->exec(Qt::MoveAction);
    line->hide();
}

void ListDrops::showLine(int gap)
{
    const int rows = view->model()->rowCount();
    int y = 0;
    if (rows > 0) {
        const QRect rect = view->visualRect(view->model()->index(qMin(gap, rows - 1), 0));
        y = gap < rows ? rect.top() : rect.bottom() + 1;
    }
    line->setGeometry(0, qMax(0, y - 1), view->viewport()->width(), 3);
    line->raise();
    line->show();
}
