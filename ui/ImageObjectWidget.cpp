#include "ui/ImageObjectWidget.h"

#include "loop/HandlerMessage.h"
#include "loop/Message.h"
#include "model/ImageObject.h"

#include <QComboBox>
#include <QDebug>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMutexLocker>
#include <QPainter>
#include <QPushButton>
#include <QSet>

#include <cmath>

namespace {

constexpr int kRowHeight = 25;
constexpr int kThumbnailSide = 60;
constexpr double kTimeStep = 0.2;
constexpr double kTimeCeiling = 100.0;
constexpr double kTimeFloor = 0.2;

QSet<const QObject *> &liveEditors()
{
    static QSet<const QObject *> editors;
    return editors;
}

bool showsTimeControls(int kind)
{
    return kind == ImageObject::KindPictureFile || kind == ImageObject::KindDiy
           || kind == ImageObject::KindReadPicture;
}

QPushButton *makeStepButton(QWidget *parent, const QString &iconPath)
{
    auto *button = new QPushButton(parent);
    button->setFlat(true);
    button->setIcon(QIcon(iconPath));
    button->setIconSize(QSize(16, 16));
    button->setMinimumSize(20, 20);
    button->setMaximumSize(20, kRowHeight);
    button->resize(20, kRowHeight);
    button->setMouseTracking(true);
    return button;
}

} // namespace

ImageObjectWidget::ImageObjectWidget(HandlerMessage *handler, ImageObject *item,
                                     const QModelIndex &index, QWidget *parent)
    : QWidget(parent), handler(handler), item(item), index(index)
{
    liveEditors().insert(this);
    buildControls();
}

ImageObjectWidget::~ImageObjectWidget()
{
    liveEditors().remove(this);
    // A row editor can close while its button is still held (row deleted, list reset):
    // no queued repeat may name it afterwards.
    if (handler) {
        if (heldCode != 0)
            handler->removeQueued(heldCode);
        handler->removeQueuedFor(this);
    }
    qDebug().nospace() << "#ImageObjectWidget# delete. " << QModelIndex(index);
}

bool ImageObjectWidget::isLive(const QObject *obj)
{
    return obj != nullptr && liveEditors().contains(obj);
}

ImageObject *ImageObjectWidget::imageItem() const
{
    return item.data();
}

void ImageObjectWidget::buildControls()
{
    const QImage thumbnail = item ? item->loadThumbnail() : QImage();
    lblThumbnail = new QLabel(this);
    lblThumbnail->move(0, 0);
    lblThumbnail->setFixedSize(kThumbnailSide, kThumbnailSide);
    lblThumbnail->setPixmap(QPixmap::fromImage(thumbnail));
    lblThumbnail->setMouseTracking(true);

    // A picture without thumbnail still occupies the 60-pixel label: centre on that.
    const int thumbnailHeight = thumbnail.isNull() ? kThumbnailSide : thumbnail.height();
    const int y = (thumbnailHeight - kRowHeight) / 2;
    int x = kThumbnailSide;

    const bool timeControls = item && showsTimeControls(item->kind);
    if (timeControls) {
        orderCombo = new QComboBox(this);
        orderCombo->move(x, y);
        orderCombo->resize(100, kRowHeight);
        for (int position = 1; position <= OrderEntries; ++position)
            orderCombo->addItem(tr("imgwidget_lbl_text2").arg(position));
        const int current = item->number - 1;
        orderCombo->setCurrentIndex(current >= 0 && current < OrderEntries ? current : -1);
        orderCombo->setFocus();
        connect(orderCombo, &QComboBox::currentIndexChanged, this,
                &ImageObjectWidget::onCurrentIndexChanged);
        x += orderCombo->width();

        lblSpacer = new QLabel(tr("imgwidget_lbl_text3"), this);
        lblSpacer->setAlignment(Qt::AlignCenter);
        lblSpacer->move(x, y);
        lblSpacer->resize(35, kRowHeight);
        lblSpacer->setMouseTracking(true);
        x += lblSpacer->width();

        timeEdit = new QLineEdit(this);
        timeEdit->setAlignment(Qt::AlignCenter);
        timeEdit->setText(QString::number(item->displayTime, 'g', 6));
        timeEdit->setValidator(new QIntValidator(1, 100, timeEdit));
        timeEdit->move(x, y);
        timeEdit->resize(timeEdit->fontMetrics().horizontalAdvance(QStringLiteral("8")) + 40,
                         kRowHeight);
        timeEdit->setMouseTracking(true);
        // Connected after the text is set: opening the editor must not round the stored time.
        connect(timeEdit, &QLineEdit::textChanged, this, &ImageObjectWidget::onTimeEdit);
        x += timeEdit->width();

        lblUnit = new QLabel(tr("imgwidget_lbl_text4"), this);
        lblUnit->setAlignment(Qt::AlignCenter);
        lblUnit->move(x, y);
        lblUnit->resize(25, kRowHeight);
        lblUnit->setMouseTracking(true);
        x += lblUnit->width();
    } else {
        x = 0;
    }

    btnPlus = makeStepButton(this, QStringLiteral(":/images/plus.png"));
    btnPlus->move(x, y);
    btnMinus = makeStepButton(this, QStringLiteral(":/images/moins.png"));
    btnMinus->move(x + btnPlus->width(), y);
    btnPlus->setVisible(timeControls);
    btnMinus->setVisible(timeControls);

    connect(btnPlus, &QPushButton::pressed, this, &ImageObjectWidget::onBtnTimeAddPreseed);
    connect(btnPlus, &QPushButton::released, this, &ImageObjectWidget::onBtnTimeAddReleased);
    connect(btnMinus, &QPushButton::pressed, this, &ImageObjectWidget::onBtnTimeDelPreseed);
    connect(btnMinus, &QPushButton::released, this, &ImageObjectWidget::onBtnTimeDelReleased);
}

void ImageObjectWidget::press(int code)
{
    heldCode = code;
    if (!handler)
        return;
    auto *msg = new Message(handler, code);
    msg->object = this;
    handler->sendHandlerMessage(msg);
}

void ImageObjectWidget::release(int code)
{
    if (heldCode == code)
        heldCode = 0;
    if (handler)
        handler->removeQueued(code);
}

void ImageObjectWidget::onBtnTimeAddPreseed()
{
    press(CodeTimeAdd);
}

void ImageObjectWidget::onBtnTimeAddReleased()
{
    release(CodeTimeAdd);
}

void ImageObjectWidget::onBtnTimeDelPreseed()
{
    press(CodeTimeDel);
}

void ImageObjectWidget::onBtnTimeDelReleased()
{
    release(CodeTimeDel);
}

bool ImageObjectWidget::applyStep(int code)
{
    QMutexLocker lock(&mutex);
    return stepLocked(code);
}

void ImageObjectWidget::repeatStep(int code)
{
    QMutexLocker lock(&mutex);
    if (!stepLocked(code) || !handler)
        return;
    auto *next = new Message(handler, code);
    next->object = this;
    handler->sendHandlerMessageAfter(next, 200);
}

bool ImageObjectWidget::stepLocked(int code)
{
    if ((code != CodeTimeAdd && code != CodeTimeDel) || !item)
        return false;
    double time = item->displayTime;
    if (code == CodeTimeAdd) {
        time = time >= kTimeCeiling ? kTimeCeiling : time + kTimeStep;
        item->displayTime = time;
        qDebug() << "onBtnTimeAdd time = " << time;
    } else {
        time = time <= kTimeFloor ? kTimeFloor : time - kTimeStep;
        item->displayTime = time;
        qDebug() << "onBtnTimeDel time = " << time;
    }
    if (timeEdit)
        timeEdit->setText(QString::number(time, 'g', 6));
    if (heldCode == code)
        return true;
    withdrawLateRepeat();
    return false;
}

void ImageObjectWidget::withdrawLateRepeat()
{
    // An echo that crossed the release still makes its step; a caller that sends the code
    // again regardless would restart the repetition with no button held. Withdraw such a
    // message once the caller has returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (heldCode == 0 && handler)
                handler->removeQueuedFor(this);
        },
        Qt::QueuedConnection);
}

void ImageObjectWidget::onTimeEdit(const QString &value)
{
    bool ok = false;
    const double time = value.toDouble(&ok);
    // The validator lets "0" through as an intermediate text; a picture shown for no time
    // (or a non-finite one) is not a display time.
    if (!ok || !std::isfinite(time) || time <= 0.0 || !item)
        return;
    item->displayTime = time;
}

void ImageObjectWidget::onCurrentIndexChanged(int chosen)
{
    if (!item || chosen < 0)
        return;
    emit imageIndexChanged(item, item->number, chosen + 1);
}

void ImageObjectWidget::onImageContractChanged(ImageObjectWidget *)
{
    if (item)
        lblThumbnail->setPixmap(QPixmap::fromImage(item->loadThumbnail()));
}

void ImageObjectWidget::paintEvent(QPaintEvent *)
{
    QImage background(size(), QImage::Format_ARGB32);
    background.fill(Qt::blue);
    QPainter painter(this);
    painter.drawImage(0, 0, background);
}
