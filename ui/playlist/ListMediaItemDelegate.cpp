#include "ui/playlist/ClipLength.h"
#include "ui/playlist/ListMediaItemDelegate.h"

#include "loop/HandlerMessage.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/MediaObjectWidget.h"
#include "ui/playlist/RowGeometry.h"
#include "ui/playlist/RowPainter.h"

#include <QPainter>

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
    const QPoint origin = option.rect.topLeft();
    const int frameCount = static_cast<int>(clip->frames.size());
    int thumbnailWidth = 0;
    if (frameCount > 0 && clip->frames.first()) {
        const QImage thumbnail = clip->frames.first()->loadThumbnail();
        painter->drawImage(origin, thumbnail);
        thumbnailWidth = thumbnail.width();
    }
    const QString text = tr("videowidget_lbl_text", nullptr, frameCount)
                             .arg(ClipLength::secondsText(clip));
    const QString loopText = tr("videowidget_lbl_loopcount");
    const RowGeometry::ClipRow geometry = RowGeometry::clipRow(
        thumbnailWidth, row.textWidth(text), row.textWidth(loopText), row.fieldWidth());
    row.drawPlainText(geometry.text.translated(origin), text);
    row.drawPlainText(geometry.loopLabel.translated(origin), loopText);
    row.drawLineEdit(geometry.loopField.translated(origin), QString::number(clip->loopCount));
    row.drawIconButton(geometry.plus.translated(origin), QStringLiteral(":/images/plus.png"));
    row.drawIconButton(geometry.minus.translated(origin), QStringLiteral(":/images/moins.png"));
}

QWidget *ListMediaItemDelegate::createRowEditor(QWidget *parent, QObject *object,
                                                const QModelIndex &index) const
{
    auto *clip = qobject_cast<MediaObject *>(object);
    return clip ? new MediaObjectWidget(handler, clip, index, parent) : nullptr;
}
