#include "ui/import/GetImgeLocationDialog.h"

#include "import/CutRegion.h"
#include "import/ImportLog.h"
#include "ui/diy/RoundAreaWidget.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSide = RoundAreaWidget::Side;

QPushButton *zoomButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setMinimumSize(75, 30);
    button->setMaximumWidth(75);
    return button;
}

void setBackground(QWidget *widget, const QImage &image)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(image));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Room around a picture smaller than the marker, so the marker is never clipped.
int padding(int extent)
{
    return std::max(0, kSide - extent);
}

} // namespace

GetImgeLocationDialog::GetImgeLocationDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Dialog"));
    scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    scrollArea->setWidgetResizable(true);
    stage = new QWidget;
    stage->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    scrollArea->setWidget(stage);
    stage->installEventFilter(this);
    imageWidget = new QWidget(stage);
    imageWidget->setObjectName(QStringLiteral("imageWidget"));

    auto *groupBox = new QGroupBox(this);
    auto *buttons = new QHBoxLayout(groupBox);
    buttons->addStretch();
    btnZoomIn = zoomButton(tr("放大图片"), groupBox);
    btnZoomOut = zoomButton(tr("缩小图片"), groupBox);
    btnOk = zoomButton(tr("确定"), groupBox);
    btnCancel = zoomButton(tr("取消"), groupBox);
    btnZoomIn->setObjectName(QStringLiteral("btnZoomIn"));
    btnZoomOut->setObjectName(QStringLiteral("btnZoomOut"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(btnZoomIn);
    buttons->addWidget(btnZoomOut);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scrollArea, 1);
    layout->addWidget(groupBox);
    resize(800, 600);

    connect(btnZoomIn, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnZoomIn);
    connect(btnZoomOut, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnZoomOut);
    connect(btnOk, &QPushButton::clicked, this, &GetImgeLocationDialog::onBtnOk);
    connect(btnCancel, &QPushButton::clicked, this, &GetImgeLocationDialog::reject);
}

QImage GetImgeLocationDialog::markerPicture()
{
    QImage picture(kSide, kSide, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::red);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(225.0, 225.0), 224.0, 224.0);
    return picture;
}

void GetImgeLocationDialog::setImage(const QImage &image)
{
    sourceImage = image;
    shownImage = image;
    zoomLevel = 0;
    qCDebug(lcImport).nospace() << width() << ", " << height();
    if (!roundFrame) {
        roundFrame = new RoundAreaWidget(stage);
        roundFrame->setObjectName(QStringLiteral("roundFrame"));
        setBackground(roundFrame, markerPicture());
        roundFrame->installEventFilter(this);
    }
    layoutStage(CutRegion::centredTopLeft(shownImage.size()));
    updateButtons();
}

QPoint GetImgeLocationDialog::frameTopLeft() const
{
    return roundFrame ? roundFrame->pos() - imageWidget->pos() : QPoint();
}

QPoint GetImgeLocationDialog::clampedTopLeft(const QPoint &topLeft) const
{
    const int xFrom = std::min(0, shownImage.width() - kSide);
    const int xTo = std::max(0, shownImage.width() - kSide);
    const int yFrom = std::min(0, shownImage.height() - kSide);
    const int yTo = std::max(0, shownImage.height() - kSide);
    return QPoint(std::clamp(topLeft.x(), xFrom, xTo), std::clamp(topLeft.y(), yFrom, yTo));
}

// The stage holds the picture with room for the marker around a small one, centred in the
// scroll area when the area is larger.
void GetImgeLocationDialog::layoutStage(const QPoint &markerTopLeft)
{
    if (!roundFrame)
        return;
    placing = true;
    const QSize shown = shownImage.size();
    stage->setMinimumSize(shown.width() + 2 * padding(shown.width()),
                          shown.height() + 2 * padding(shown.height()));
    const QSize room = stage->size().expandedTo(stage->minimumSize());
    const QPoint origin((room.width() - shown.width()) / 2, (room.height() - shown.height()) / 2);
    imageWidget->setFixedSize(shown);
    setBackground(imageWidget, shownImage);
    imageWidget->move(origin);
    qCDebug(lcImport).nospace() << origin.x() << "  " << origin.y();
    roundFrame->move(origin + clampedTopLeft(markerTopLeft));
    roundFrame->raise();
    placing = false;
}

bool GetImgeLocationDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == stage && event->type() == QEvent::Resize && !placing)
        layoutStage(frameTopLeft());
    if (watched == roundFrame && event->type() == QEvent::Move && !placing) {
        // A drag may not take the marker out of reach.
        const QPoint topLeft = frameTopLeft();
        const QPoint kept = clampedTopLeft(topLeft);
        if (kept != topLeft)
            roundFrame->move(imageWidget->pos() + kept);
    }
    return QDialog::eventFilter(watched, event);
}

void GetImgeLocationDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A large frame opens scrolled to the marker, not to its top-left corner.
    if (roundFrame)
        scrollArea->ensureWidgetVisible(roundFrame, 0, 0);
}

void GetImgeLocationDialog::zoomTo(int level)
{
    const QSize size = CutRegion::zoomedSize(sourceImage.size(), level);
    qCDebug(lcImport).nospace() << "#GetImgeLocationDialog# zoom " << level << ", "
                                << sourceImage.width() << ", " << sourceImage.height();
    if (!size.isValid())
        return;
    zoomLevel = level;
    shownImage = sourceImage.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    layoutStage(CutRegion::centredTopLeft(size));
    scrollArea->ensureWidgetVisible(roundFrame, 0, 0);
    updateButtons();
}

void GetImgeLocationDialog::updateButtons()
{
    btnZoomIn->setEnabled(CutRegion::zoomedSize(sourceImage.size(), zoomLevel + 1).isValid());
    btnZoomOut->setEnabled(CutRegion::zoomedSize(sourceImage.size(), zoomLevel - 1).isValid());
}

void GetImgeLocationDialog::onBtnZoomIn()
{
    zoomTo(zoomLevel + 1);
}

void GetImgeLocationDialog::onBtnZoomOut()
{
    zoomTo(zoomLevel - 1);
}

void GetImgeLocationDialog::onBtnOk()
{
    if (!CutRegion::coversPicture(frameTopLeft(), shownImage.size())) {
        layoutStage(CutRegion::centredTopLeft(shownImage.size()));
        return;
    }
    accept();
}
