#include "ui/playlist/ImageObjectWidget.h"

#include "model/ImageObject.h"
#include "ui/playlist/BoundedNumberValidator.h"
#include "ui/playlist/RowGeometry.h"
#include "ui/UiLog.h"
#include "ui/playlist/WheelGuard.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QDebug>
#include <QEvent>
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
    qCDebug(lcUi).nospace() << "#ImageObjectWidget# delete. " << QModelIndex(index);
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
    // A picture without thumbnail still occupies the 60-pixel label: laid out on that.
    const RowGeometry::PictureRow row =
        RowGeometry::pictureRow(thumbnail.size(), RowGeometry::fieldWidth(fontMetrics()));

    const bool timeControls = item && showsTimeControls(item->kind);
    if (timeControls) {
        orderCombo = new QComboBox(this);
        orderCombo->setGeometry(row.orderBox);
        for (int position = 1; position <= OrderEntries; ++position)
            orderCombo->addItem(QString());
        const int current = item->number - 1;
        orderCombo->setCurrentIndex(current >= 0 && current < OrderEntries ? current : -1);
        // Every row has its editor: one made later must not pull the focus into its combo box.
        WheelGuard::install(orderCombo);
        connect(orderCombo, &QComboBox::currentIndexChanged, this,
                &ImageObjectWidget::onCurrentIndexChanged);

        lblSpacer = makeLabel(row.spacer);

        timeEdit = new QLineEdit(this);
        // Files and rows dropped here go to the list, not into the number.
        timeEdit->setAcceptDrops(false);
        timeEdit->setAlignment(Qt::AlignCenter);
        timeEdit->setText(QString::number(item->displayTime, 'g', 6));
        // Up to six places: the text of any stored time ('g', 6 digits) stays editable.
        timeValidator = new BoundedNumberValidator(kTimeFloor, kTimeCeiling, 6, timeEdit);
        timeEdit->setValidator(timeValidator);
        timeEdit->setGeometry(row.timeField);
        timeEdit->setMouseTracking(true);
        // Connected after the text is set: opening the editor must not round the stored time.
        connect(timeEdit, &QLineEdit::textChanged, this, &ImageObjectWidget::onTimeEdit);
        connect(timeEdit, &QLineEdit::editingFinished, this,
                [this] { typedFrom = item ? item->displayTime : typedFrom; });
        typedFrom = item->displayTime;

        lblUnit = makeLabel(row.unit);
        retranslate();
    }

    createStepButtons();
    for (QPushButton *button : {btnPlus, btnMinus}) {
        button->setIconSize(QSize(16, 16));
        button->setMinimumSize(RowGeometry::StepButtonWidth, 20);
        button->setMaximumSize(RowGeometry::StepButtonWidth, RowGeometry::ControlHeight);
        button->setVisible(timeControls);
    }
    // Without time controls the (hidden) buttons start at the left edge.
    const QPoint shift = timeControls ? QPoint() : QPoint(-row.plus.x(), 0);
    btnPlus->move(row.plus.topLeft() + shift);
    btnMinus->move(row.minus.topLeft() + shift);
}

void ImageObjectWidget::retranslate()
{
    if (!orderCombo)
        return;
    for (int i = 0; i < orderCombo->count(); ++i)
        orderCombo->setItemText(i, tr("imgwidget_lbl_text2").arg(i + 1));
    lblSpacer->setText(tr("imgwidget_lbl_text3"));
    lblUnit->setText(tr("imgwidget_lbl_text4"));
}

void ImageObjectWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    RowEditorWidget::changeEvent(event);
}

QLabel *ImageObjectWidget::makeLabel(const QRect &rect)
{
    auto *label = new QLabel(this);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(rect);
    label->setMouseTracking(true);
    return label;
}

bool ImageObjectWidget::step(bool up)
{
    if (!item)
        return false;
    double time = item->displayTime;
    if (up) {
        time = time >= kTimeCeiling ? kTimeCeiling : time + kTimeStep;
        item->displayTime = time;
        qCDebug(lcUi) << "onBtnTimeAdd time = " << time;
    } else {
        time = time <= kTimeFloor ? kTimeFloor : time - kTimeStep;
        item->displayTime = time;
        qCDebug(lcUi) << "onBtnTimeDel time = " << time;
    }
    typedFrom = time;
    if (timeEdit)
        timeEdit->setText(QString::number(time, 'g', 6));
    emit valueChanged(false);
    return true;
}

void ImageObjectWidget::onTimeEdit(const QString &value)
{
    if (!item)
        return;
    double time = 0.0;
    const bool acceptable = timeValidator && timeValidator->parse(value, &time);
    showValidity(timeEdit, acceptable);
    // A text beyond the limits is never stored; the row goes back to the time it had before
    // the typing began, since a prefix of the text ("15" of "150") may have been stored.
    if (!acceptable)
        time = typedFrom;
    if (time == item->displayTime)
        return;
    item->displayTime = time;
    emit valueChanged(true);
}

void ImageObjectWidget::showNumber()
{
    if (!orderCombo || !item)
        return;
    const int current = item->number - 1;
    // Not a choice of the user: nothing moves.
    const QSignalBlocker quiet(orderCombo);
    orderCombo->setCurrentIndex(current >= 0 && current < OrderEntries ? current : -1);
}

void ImageObjectWidget::onCurrentIndexChanged(int chosen)
{
    if (!item || chosen < 0)
        return;
    emit imageIndexChanged(item, item->number, chosen + 1);
}

void ImageObjectWidget::onImageContractChanged(ImageObjectWidget *)
{
    showThumbnail();
}

void ImageObjectWidget::showThumbnail()
{
    if (item)
        lblThumbnail->setPixmap(QPixmap::fromImage(item->loadThumbnail()));
}
