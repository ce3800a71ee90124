#include "ui/playlist/RowItemDelegate.h"

#include "loop/HandlerMessage.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/RowEditorWidget.h"
#include "ui/playlist/RowPainter.h"

#include <QPainter>

RowItemDelegate::RowItemDelegate(HandlerMessage *handler, QObject *mainWindow,
                                 const char *indexSignal, const char *indexSlot, QObject *parent)
    : QItemDelegate(parent), handler(handler), mainWindow(mainWindow), indexSignal(indexSignal),
      indexSlot(indexSlot)
{
}

void RowItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    painter->save();
    RowPainter row(painter, option);
    row.fillSelection();
    painter->setPen(row.textColour());
    if (index.column() == 0) {
        if (QObject *item = CustomTableModel::itemOf(index))
            paintRow(row, painter, option, item);
    }
    painter->restore();
}

QWidget *RowItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                       const QModelIndex &index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>())
        return QItemDelegate::createEditor(parent, option, index);
    if (index.column() != 0)
        return nullptr;
    QObject *item = value.value<CustomTableItem>().item;
    QWidget *editor = item ? createRowEditor(parent, item, index) : nullptr;
    if (editor && mainWindow)
        connect(editor, indexSignal, mainWindow, indexSlot);
    if (auto *row = qobject_cast<RowEditorWidget *>(editor))
        connect(row, &RowEditorWidget::valueChanged, this, &RowItemDelegate::rowValueChanged);
    return editor;
}

void RowItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *row = qobject_cast<RowEditorWidget *>(editor))
        row->showNumber();
    else
        QItemDelegate::setEditorData(editor, index);
}
