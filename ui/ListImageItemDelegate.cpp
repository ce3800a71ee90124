#include "ui/ListImageItemDelegate.h"

#include "loop/HandlerMessage.h"
#include "model/ImageObject.h"
#include "ui/ImageObjectWidget.h"
#include "ui/RowPainter.h"

#include <QPainter>

namespace {
constexpr int kRowHeight = 25;
constexpr int kThumbnailSide = 60;
} // namespace

ListImageItemDelegate::ListImageItemDelegate(HandlerMessage *handler, QObject *mainWindow,
                                             QObject *parent)
    : RowItemDelegate(handler, mainWindow, SIGNAL(imageIndexChanged(ImageObject*,int,int)),
                      SLOT(onImageIndexChanged(ImageObject*,int,int)), parent)
{
}

void ListImageItemDelegate::paintRow(RowPainter &row, QPainter *painter,
                                     const QStyleOptionViewItem &option, QObject *object) const
{
    auto *item = qobject_cast<ImageObject *>(object);
    if (!item)
        return;
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

QWidget *ListImageItemDelegate::createRowEditor(QWidget *parent, QObject *object,
                                                const QModelIndex &index) const
{
    auto *item = qobject_cast<ImageObject *>(object);
    return item ? new ImageObjectWidget(handler, item, index, parent) : nullptr;
}
