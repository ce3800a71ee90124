#include "ui/ListImageItemDelegate.h"

#include "loop/HandlerMessage.h"
#include "model/ImageObject.h"
#include "ui/CustomTableModel.h"
#include "ui/ImageObjectWidget.h"
#include "ui/RowPainter.h"

#include <QPainter>

namespace {
constexpr int kRowHeight = 25;
constexpr int kThumbnailSide = 60;
} // namespace

ListImageItemDelegate::ListImageItemDelegate(HandlerMessage *handler, QObject *mainWindow,
                                             QObject *parent)
    : QItemDelegate(parent), handler(handler), mainWindow(mainWindow)
{
}

void ListImageItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    painter->save();
    RowPainter row(painter, option);
    row.fillSelection();
    painter->setPen(Qt::black);

    auto *item = qobject_cast<ImageObject *>(CustomTableModel::itemOf(index));
    if (item && index.column() == 0) {
        const int top = option.rect.top();
        const QImage thumbnail = item->loadThumbnail();
        painter->drawImage(QPoint(option.rect.left(), top), thumbnail);
        // Like the editor, whose thumbnail label is 60 x 60 even without a picture.
        const QSize box = thumbnail.isNull() ? QSize(kThumbnailSide, kThumbnailSide)
                                             : thumbnail.size();
        const int y = top + (box.height() - kRowHeight) / 2;
        int x = option.rect.left() + box.width();

        row.drawComboBox(QRect(x, y, 100, kRowHeight), tr("imgwidget_lbl_text2").arg(item->number));
        x += 100;
        row.drawCentredText(QRect(x, y, 35, kRowHeight), tr("imgwidget_lbl_text3"));
        x += 35;
        const int fieldWidth = row.fieldWidth();
        row.drawLineEdit(QRect(x, y, fieldWidth, kRowHeight),
                         QString::number(item->displayTime, 'g', 6));
        x += fieldWidth;
        row.drawCentredText(QRect(x, y, 25, kRowHeight), tr("imgwidget_lbl_text4"));
        x += 25;
        row.drawIconButton(QRect(x, y, 20, kRowHeight), QStringLiteral(":/images/plus.png"));
        x += 20;
        row.drawIconButton(QRect(x, y, 20, kRowHeight), QStringLiteral(":/images/moins.png"));
    }
    painter->restore();
}

QWidget *ListImageItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>())
        return QItemDelegate::createEditor(parent, option, index);
    if (index.column() != 0)
        return nullptr;
    auto *item = qobject_cast<ImageObject *>(value.value<CustomTableItem>().item);
    if (!item)
        return nullptr;
    auto *editor = new ImageObjectWidget(handler, item, index, parent);
    if (mainWindow)
        connect(editor, SIGNAL(imageIndexChanged(ImageObject*,int,int)), mainWindow,
                SLOT(onImageIndexChanged(ImageObject*,int,int)));
    return editor;
}
