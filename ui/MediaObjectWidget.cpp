#include "ui/MediaObjectWidget.h"

#include "loop/HandlerMessage.h"
#include "loop/Message.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QDebug>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QPainter>
#include <QPushButton>
#include <QSet>

namespace {

constexpr int kRowHeight = 25;
constexpr int kThumbnailSide = 60;

QSet<const QObject *> &liveEditors()
{
    static QSet<const QObject *> editors;
    return editors;
}

QPushButton *makeStepButton(QWidget *parent, const QString &iconPath)
{
    auto *button = new QPushButton(parent);
    button->setFlat(true);
    button->setText(QString());
    button->setIcon(QIcon(iconPath));
    button->resize(20, kRowHeight);
    button->setMouseTracking(true);
    return button;
}

} // namespace

MediaObjectWidget::MediaObjectWidget(HandlerMessage *handler, MediaObject *item,
                                     const QModelIndex &index, QWidget *parent)
    : QWidget(parent), handler(handler), item(item), index(index)
{
    liveEditors().insert(this);
    buildControls();
}

MediaObjectWidget::~MediaObjectWidget()
{
    liveEditors().remove(this);
    // Closed while a button is held: withdraw every repeat that still names this editor.
    if (handler) {
        if (heldCode != 0)
            handler->removeQueued(heldCode);
        handler->removeQueuedFor(this);
    }
}

bool MediaObjectWidget::isLive(const QObject *obj)
{
    return obj != nullptr && liveEditors().contains(obj);
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
    lblThumbnail = new QLabel(this);
    lblThumbnail->move(0, 0);
    lblThumbnail->setFixedSize(kThumbnailSide, kThumbnailSide);
    lblThumbnail->setPixmap(QPixmap::fromImage(thumbnail));
    lblThumbnail->setMouseTracking(true);
    const int x = thumbnail.width();

    lblText = new QLabel(this);
    lblText->setText(tr("videowidget_lbl_text")
                         .arg(QString::number(frameCount), QString::number(frameCount / 10)));
    lblText->move(x, 10);
    lblText->resize(lblText->fontMetrics().horizontalAdvance(lblText->text()), kRowHeight);
    lblText->setMouseTracking(true);

    lblLoop = new QLabel(tr("videowidget_lbl_loopcount"), this);
    lblLoop->move(x, 30);
    lblLoop->resize(lblLoop->fontMetrics().horizontalAdvance(lblLoop->text()), kRowHeight);
    lblLoop->setMouseTracking(true);

    loopEdit = new QLineEdit(this);
    loopEdit->setAlignment(Qt::AlignCenter);
    loopEdit->setText(QString::number(item ? item->loopCount : MinLoopCount));
    loopEdit->setValidator(new QIntValidator(MinLoopCount, MaxLoopCount, loopEdit));
    loopEdit->move(x + lblLoop->width(), 30);
    loopEdit->resize(loopEdit->fontMetrics().horizontalAdvance(QStringLiteral("8")) + 40,
                     kRowHeight);
    loopEdit->setMouseTracking(true);
    connect(loopEdit, &QLineEdit::textChanged, this, &MediaObjectWidget::onTimeEdit);

    btnPlus = makeStepButton(this, QStringLiteral(":/images/plus.png"));
    btnPlus->move(loopEdit->x() + loopEdit->width(), 30);
    btnMinus = makeStepButton(this, QStringLiteral(":/images/moins.png"));
    btnMinus->move(btnPlus->x() + 20, 30);

    connect(btnPlus, &QPushButton::pressed, this, &MediaObjectWidget::onBtnTimeAddPreseed);
    connect(btnPlus, &QPushButton::released, this, &MediaObjectWidget::onBtnTimeAddReleased);
    connect(btnMinus, &QPushButton::pressed, this, &MediaObjectWidget::onBtnTimeDelPreseed);
    connect(btnMinus, &QPushButton::released, this, &MediaObjectWidget::onBtnTimeDelReleased);
}

void MediaObjectWidget::press(int code)
{
    heldCode = code;
    if (!handler)
        return;
    auto *msg = new Message(handler, code);
    msg->object = this;
    handler->sendHandlerMessage(msg);
}

void MediaObjectWidget::release(int code)
{
    if (heldCode == code)
        heldCode = 0;
    if (handler)
        handler->removeQueued(code);
}

void MediaObjectWidget::onBtnTimeAddPreseed()
{
    qDebug() << "onBtnTimeAddPreseed";
    press(CodeLoopAdd);
}

void MediaObjectWidget::onBtnTimeAddReleased()
{
    qDebug() << "onBtnTimeAddReleased";
    release(CodeLoopAdd);
}

void MediaObjectWidget::onBtnTimeDelPreseed()
{
    qDebug() << "onBtnTimeDelPreseed";
    press(CodeLoopDel);
}

void MediaObjectWidget::onBtnTimeDelReleased()
{
    qDebug() << "onBtnTimeDelReleased";
    release(CodeLoopDel);
}

bool MediaObjectWidget::applyStep(int code)
{
    QMutexLocker lock(&mutex);
    return stepLocked(code);
}

void MediaObjectWidget::repeatStep(int code)
{
    QMutexLocker lock(&mutex);
    if (!stepLocked(code) || !handler)
        return;
    auto *next = new Message(handler, code);
    next->object = this;
    handler->sendHandlerMessageAfter(next, 200);
}

bool MediaObjectWidget::stepLocked(int code)
{
    if ((code != CodeLoopAdd && code != CodeLoopDel) || !item)
        return false;
    int loops = item->loopCount;
    if (code == CodeLoopAdd) {
        loops = loops > MaxLoopCount - 1 ? MaxLoopCount : loops + 1;
        item->loopCount = loops;
        qDebug() << "onBtnTimeAdd() loopcount = " << loops;
    } else {
        loops = loops < MinLoopCount + 1 ? MinLoopCount : loops - 1;
        item->loopCount = loops;
        qDebug() << "onBtnTimeDel() loopcount = " << loops;
    }
    loopEdit->setText(QString::number(loops));
    if (heldCode == code)
        return true;
    withdrawLateRepeat();
    return false;
}

void MediaObjectWidget::withdrawLateRepeat()
{
    // A late echo after release still steps once; withdraw whatever a caller sends again
    // for this editor so the repetition does not restart without a held button.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (heldCode == 0 && handler)
                handler->removeQueuedFor(this);
        },
        Qt::QueuedConnection);
}

void MediaObjectWidget::onTimeEdit(const QString &value)
{
    bool ok = false;
    const int loops = value.toInt(&ok, 10);
    // "0" passes the validator as an intermediate text; the effect stores the count in
    // one byte, so only 1 ... 255 are loop counts.
    if (!ok || loops < MinLoopCount || loops > MaxLoopCount || !item)
        return;
    item->loopCount = loops;
}

void MediaObjectWidget::onCurrentIndexChanged(int chosen)
{
    if (item)
        emit mediaIndexChanged(item, item->number, chosen + 1);
}

void MediaObjectWidget::paintEvent(QPaintEvent *)
{
    QImage background(size(), QImage::Format_ARGB32);
    background.fill(Qt::blue);
    QPainter painter(this);
    painter.drawImage(0, 0, background);
}
