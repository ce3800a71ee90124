#include "ui/ListMediaItemDelegate.h"

#include "loop/HandlerMessage.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/MediaObjectWidget.h"
#include "ui/RowPainter.h"

#include <QPainter>

namespace {
constexpr int kRowHeight = 25;
} // namespace

ListMediaItemDelegate::ListMediaItemDelegate(HandlerMessage *handler, QObject *mainWindow,
                                             QObject *parent)
    : RowItemDelegate(handler, mainWindow, SIGNAL(mediaIndexChanged(MediaObject*,int,int)),
                      SLOT(onMediaIndexChanged(MediaObject*,int,int)), parent)
{
}

void ListMediaItemDelegate::paintRow(RowPainter &row, QPainter *painter,
                                     const QStyleOptionViewItem &option, QObject *object) const
{
    auto *clip = qobject_cast<MediaObject *>(object);
    if (!clip)
        return;
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

QWidget *ListMediaItemDelegate::createRowEditor(QWidget *parent, QObject *object,
                                                const QModelIndex &index) const
{
    auto *clip = qobject_cast<MediaObject *>(object);
    return clip ? new MediaObjectWidget(handler, clip, index, parent) : nullptr;
}
