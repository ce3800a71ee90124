#include "ui/ImageObjectWidget.h"

#include "model/ImageObject.h"
#include "ui/BoundedIntValidator.h"
#include "ui/WheelGuard.h"

#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace {

constexpr double kTimeStep = 0.2;
constexpr double kTimeCeiling = 100.0;
constexpr double kTimeFloor = 0.2;

bool showsTimeControls(int kind)
{
    return kind == ImageObject::KindPictureFile || kind == ImageObject::KindDiy
           || kind == ImageObject::KindReadPicture;
}

} // namespace

ImageObjectWidget::ImageObjectWidget(HandlerMessage *handler, ImageObject *item,
                                     const QModelIndex &index, QWidget *parent)
    : RowEditorWidget(handler, index, CodeTimeAdd, CodeTimeDel, parent), item(item)
{
    buildControls();
}

ImageObjectWidget::~ImageObjectWidget()
{
    qDebug().nospace() << "#ImageObjectWidget# delete. " << QModelIndex(index);
}

bool ImageObjectWidget::isLive(const QObject *obj)
{
    // The registry is checked first: obj may be a dangling address.
    return RowEditorWidget::isLive(obj) && qobject_cast<const ImageObjectWidget *>(obj);
}

ImageObject *ImageObjectWidget::imageItem() const
{
    return item.data();
}

void ImageObjectWidget::buildControls()
{
    const QImage thumbnail = item ? item->loadThumbnail() : QImage();
    createThumbnail(thumbnail);

    // A picture without thumbnail still occupies the 60-pixel label: centre on that.
    const int thumbnailHeight = thumbnail.isNull() ? ThumbnailSide : thumbnail.height();
    const int y = (thumbnailHeight - RowHeight) / 2;
    int x = ThumbnailSide;

    const bool timeControls = item && showsTimeControls(item->kind);
    if (timeControls) {
        orderCombo = new QComboBox(this);
        orderCombo->move(x, y);
        orderCombo->resize(100, RowHeight);
        for (int position = 1; position <= OrderEntries; ++position)
            orderCombo->addItem(tr("imgwidget_lbl_text2").arg(position));
        const int current = item->number - 1;
        orderCombo->setCurrentIndex(current >= 0 && current < OrderEntries ? current : -1);
        orderCombo->setFocus();
        WheelGuard::install(orderCombo);
        connect(orderCombo, &QComboBox::currentIndexChanged, this,
                &ImageObjectWidget::onCurrentIndexChanged);
        x += orderCombo->width();

        lblSpacer = new QLabel(tr("imgwidget_lbl_text3"), this);
        lblSpacer->setAlignment(Qt::AlignCenter);
        lblSpacer->move(x, y);
        lblSpacer->resize(35, RowHeight);
        lblSpacer->setMouseTracking(true);
        x += lblSpacer->width();

        timeEdit = new QLineEdit(this);
        timeEdit->setAlignment(Qt::AlignCenter);
        timeEdit->setText(QString::number(item->displayTime, 'g', 6));
        timeEdit->setValidator(new BoundedIntValidator(1, 100, timeEdit));
        timeEdit->move(x, y);
        timeEdit->resize(timeEdit->fontMetrics().horizontalAdvance(QStringLiteral("8")) + 40,
                         RowHeight);
        timeEdit->setMouseTracking(true);
        // Connected after the text is set: opening the editor must not round the stored time.
        connect(timeEdit, &QLineEdit::textChanged, this, &ImageObjectWidget::onTimeEdit);
        x += timeEdit->width();

        lblUnit = new QLabel(tr("imgwidget_lbl_text4"), this);
        lblUnit->setAlignment(Qt::AlignCenter);
        lblUnit->move(x, y);
        lblUnit->resize(25, RowHeight);
        lblUnit->setMouseTracking(true);
        x += lblUnit->width();
    } else {
        x = 0;
    }

    createStepButtons();
    for (QPushButton *button : {btnPlus, btnMinus}) {
        button->setIconSize(QSize(16, 16));
        button->setMinimumSize(20, 20);
        button->setMaximumSize(20, RowHeight);
        button->setVisible(timeControls);
    }
    btnPlus->move(x, y);
    btnMinus->move(x + btnPlus->width(), y);
}

bool ImageObjectWidget::step(bool up)
{
    if (!item)
        return false;
    double time = item->displayTime;
    if (up) {
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
    return true;
}

void ImageObjectWidget::onTimeEdit(const QString &value)
{
    bool ok = false;
    const double time = value.toDouble(&ok);
    // The validator lets "0" and "150" stand as intermediate text; only times the buttons
    // can reach are display times (the field is brought into range when editing ends).
    if (!ok || !std::isfinite(time) || time < kTimeFloor || time > kTimeCeiling || !item)
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
