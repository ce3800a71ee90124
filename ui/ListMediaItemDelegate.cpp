#include "ui/ListMediaItemDelegate.h"

#include "loop/HandlerMessage.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/CustomTableModel.h"
#include "ui/MediaObjectWidget.h"
#include "ui/RowPainter.h"

#include <QPainter>

namespace {
constexpr int kRowHeight = 25;
} // namespace

ListMediaItemDelegate::ListMediaItemDelegate(HandlerMessage *handler, QObject *mainWindow,
                                             QObject *parent)
    : QItemDelegate(parent), handler(handler), mainWindow(mainWindow)
{
}

void ListMediaItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    painter->save();
    RowPainter row(painter, option);
    row.fillSelection();
    painter->setPen(Qt::black);

    auto *clip = qobject_cast<MediaObject *>(CustomTableModel::itemOf(index));
    if (clip && index.column() == 0) {
        const int top = option.rect.top();
        const int frameCount = static_cast<int>(clip->frames.size());
        int x = option.rect.left();
        if (frameCount > 0 && clip->frames.first()) {
            const QImage thumbnail = clip->frames.first()->loadThumbnail();
            painter->drawImage(QPoint(x, top), thumbnail);
            x += thumbnail.width();
        }

        const QString text = tr("videowidget_lbl_text")
                                 .arg(QString::number(frameCount), QString::number(frameCount / 10));
        row.drawPlainText(QRect(x, top + 10, row.textWidth(text), kRowHeight), text);

        const QString loopText = tr("videowidget_lbl_loopcount");
        const int loopWidth = row.textWidth(loopText);
        row.drawPlainText(QRect(x, top + 30, loopWidth, kRowHeight), loopText);
        x += loopWidth;
        const int fieldWidth = row.fieldWidth();
        row.drawLineEdit(QRect(x, top + 30, fieldWidth, kRowHeight),
                         QString::number(clip->loopCount));
        x += fieldWidth;
        row.drawIconButton(QRect(x, top + 30, 20, kRowHeight), QStringLiteral(":/images/plus.png"));
        x += 20;
        row.drawIconButton(QRect(x, top + 30, 20, kRowHeight), QStringLiteral(":/images/moins.png"));
    }
    painter->restore();
}

QWidget *ListMediaItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>())
        return QItemDelegate::createEditor(parent, option, index);
    if (index.column() != 0)
        return nullptr;
    auto *clip = qobject_cast<MediaObject *>(value.value<CustomTableItem>().item);
    if (!clip)
        return nullptr;
    auto *editor = new MediaObjectWidget(handler, clip, index, parent);
    if (mainWindow)
        connect(editor, SIGNAL(mediaIndexChanged(MediaObject*,int,int)), mainWindow,
                SLOT(onMediaIndexChanged(MediaObject*,int,int)));
    return editor;
}
