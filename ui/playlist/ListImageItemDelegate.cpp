#include "ui/playlist/ListImageItemDelegate.h"

#include "loop/HandlerMessage.h"
#include "model/ImageObject.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/playlist/RowGeometry.h"
#include "ui/playlist/RowPainter.h"

#include <QPainter>

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
    const QPoint origin = option.rect.topLeft();
    const QImage thumbnail = item->loadThumbnail();
    painter->drawImage(origin, thumbnail);
    // Like the editor, whose thumbnail label is 60 x 60 even without a picture.
    const RowGeometry::PictureRow geometry =
        RowGeometry::pictureRow(thumbnail.size(), row.fieldWidth());
    row.drawComboBox(geometry.orderBox.translated(origin),
                     tr("imgwidget_lbl_text2").arg(item->number));
    row.drawCentredText(geometry.spacer.translated(origin), tr("imgwidget_lbl_text3"));
    row.drawLineEdit(geometry.timeField.translated(origin),
                     QString::number(item->displayTime, 'g', 6));
    row.drawCentredText(geometry.unit.translated(origin), tr("imgwidget_lbl_text4"));
    row.drawIconButton(geometry.plus.translated(origin), QStringLiteral(":/images/plus.png"));
    row.drawIconButton(geometry.minus.translated(origin), QStringLiteral(":/images/moins.png"));
}

QWidget *ListImageItemDelegate::createRowEditor(QWidget *parent, QObject *object,
                                                const QModelIndex &index) const
{
    auto *item = qobject_cast<ImageObject *>(object);
    return item ? new ImageObjectWidget(handler, item, index, parent) : nullptr;
}
