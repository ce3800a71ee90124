#include "ui/playlist/ClipLength.h"
#include "ui/playlist/MediaObjectWidget.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/BoundedNumberValidator.h"
#include "ui/playlist/RowGeometry.h"
#include "ui/UiLog.h"

#include <QDebug>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

MediaObjectWidget::MediaObjectWidget(HandlerMessage *handler, MediaObject *item,
                                     const QModelIndex &index, QWidget *parent)
    : RowEditorWidget(handler, index, CodeLoopAdd, CodeLoopDel, parent), item(item)
{
    traceButtonSlots = true;
    buildControls();
}

bool MediaObjectWidget::isLive(const QObject *obj)
{
    // The registry is checked first: obj may be a dangling address.
    return RowEditorWidget::isLive(obj) && qobject_cast<const MediaObjectWidget *>(obj);
}

MediaObject *MediaObjectWidget::mediaItem() const
{
    return item.data();
}

void MediaObjectWidget::buildControls()
{
    const int frameCount = item ? static_cast<int>(item->frames.size()) : 0;
    const QImage thumbnail =
        frameCount > 0 && item->frames.first() ? item->frames.first()->loadThumbnail() : QImage();
    createThumbnail(thumbnail);
    thumbnailWidth = thumbnail.width();

    lblText = new QLabel(this);
    lblText->setMouseTracking(true);
    lblLoop = new QLabel(this);
    lblLoop->setMouseTracking(true);

    loopEdit = new QLineEdit(this);
    // Files and rows dropped here go to the list, not into the number.
    loopEdit->setAcceptDrops(false);
    loopEdit->setAlignment(Qt::AlignCenter);
    loopEdit->setText(QString::number(item ? item->loopCount : MinLoopCount));
    loopValidator = new BoundedNumberValidator(MinLoopCount, MaxLoopCount, 0, loopEdit);
    loopEdit->setValidator(loopValidator);
    loopEdit->setMouseTracking(true);
    connect(loopEdit, &QLineEdit::textChanged, this, &MediaObjectWidget::onTimeEdit);
    connect(loopEdit, &QLineEdit::editingFinished, this,
            [this] { typedFrom = item ? item->loopCount : typedFrom; });
    typedFrom = item ? item->loopCount : MinLoopCount;

    createStepButtons();
    layOutTexts();
}

void MediaObjectWidget::layOutTexts()
{
    const int frameCount = item ? static_cast<int>(item->frames.size()) : 0;
    const QString text = tr("videowidget_lbl_text", nullptr, frameCount)
                             .arg(ClipLength::secondsText(item));
    const QString loopText = tr("videowidget_lbl_loopcount");
    const QFontMetrics metrics = fontMetrics();
    const RowGeometry::ClipRow row = RowGeometry::clipRow(
        thumbnailWidth, metrics.horizontalAdvance(text),
        metrics.horizontalAdvance(loopText), RowGeometry::fieldWidth(metrics));
    lblText->setText(text);
    lblText->setGeometry(row.text);
    lblLoop->setText(loopText);
    lblLoop->setGeometry(row.loopLabel);
    loopEdit->setGeometry(row.loopField);
    btnPlus->move(row.plus.topLeft());
    btnMinus->move(row.minus.topLeft());
}

void MediaObjectWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && lblText)
        layOutTexts();
    RowEditorWidget::changeEvent(event);
}

bool MediaObjectWidget::step(bool up)
{
    if (!item)
        return false;
    int loops = item->loopCount;
    if (up) {
        loops = loops > MaxLoopCount - 1 ? MaxLoopCount : loops + 1;
        item->loopCount = loops;
        qCDebug(lcUi) << "onBtnTimeAdd() loopcount = " << loops;
    } else {
        loops = loops < MinLoopCount + 1 ? MinLoopCount : loops - 1;
        item->loopCount = loops;
        qCDebug(lcUi) << "onBtnTimeDel() loopcount = " << loops;
    }
    typedFrom = loops;
    loopEdit->setText(QString::number(loops));
    emit valueChanged(false);
    return true;
}

void MediaObjectWidget::onTimeEdit(const QString &value)
{
    if (!item)
        return;
    double typed = 0.0;
    const bool acceptable = loopValidator && loopValidator->parse(value, &typed);
    showValidity(loopEdit, acceptable);
    // The effect stores the count in one byte: a text beyond 1 ... 255 is never stored, and
    // the row goes back to the count it had before the typing began ("30" of "300").
    const int loops = acceptable ? int(typed) : typedFrom;
    if (loops == item->loopCount)
        return;
    item->loopCount = loops;
    emit valueChanged(true);
}

void MediaObjectWidget::onCurrentIndexChanged(int chosen)
{
    if (item)
        emit mediaIndexChanged(item, item->number, chosen + 1);
}
