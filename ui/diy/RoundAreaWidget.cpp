#include "ui/diy/RoundAreaWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

RoundAreaWidget::RoundAreaWidget(QWidget *parent) : RoundAreaWidget(maskImage(), parent) {}

RoundAreaWidget::RoundAreaWidget(const QImage &mask, QWidget *parent) : QWidget(parent)
{
    setMinimumSize(Side, Side);
    setMaximumSize(Side, Side);
    resize(Side, Side);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window, QBrush(mask));
    setPalette(pal);
}

RoundAreaWidget::~RoundAreaWidget() = default;

QImage RoundAreaWidget::maskImage()
{
    QImage mask(Side, Side, QImage::Format_ARGB32);
    mask.fill(qRgba(255, 255, 255, 0));
    QPainter painter(&mask);
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.setBrush(QColor(255, 255, 255, 0));
    // The sampler's hub is the square's centre and its outermost LED sits one pixel inside
    // the top edge, so the circle drawn is exactly the sampled disc.
    const QPointF hub(Side / 2.0, Side / 2.0);
    painter.drawPoint(hub);
    painter.drawEllipse(hub, Radius, Radius);
    return mask;
}

void RoundAreaWidget::setConfinedToParent(bool on)
{
    confined = on;
    if (confined && parentWidget())
        move(confinedTo(pos(), parentWidget()->size()));
}

QPoint RoundAreaWidget::confinedTo(const QPoint &topLeft, const QSize &parentSize)
{
    const int maxX = qMax(0, parentSize.width() - Side);
    const int maxY = qMax(0, parentSize.height() - Side);
    return QPoint(qBound(0, topLeft.x(), maxX), qBound(0, topLeft.y(), maxY));
}

void RoundAreaWidget::mousePressEvent(QMouseEvent *event)
{
    pressOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void RoundAreaWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    QPoint to = event->globalPosition().toPoint() - pressOffset;
    if (confined && parentWidget())
        to = confinedTo(to, parentWidget()->size());
    if (to == pos())
        return;
    move(to);
    emit moved(to);
}

void RoundAreaWidget::mouseReleaseEvent(QMouseEvent *event)
{
    event->ignore();
}
