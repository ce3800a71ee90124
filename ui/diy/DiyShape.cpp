#include "ui/diy/DiyShape.h"

#include "diy/DiyLog.h"

#include <QMouseEvent>
#include <QPainter>

DiyShape::DiyShape(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
}

DiyShape::~DiyShape() = default;

void DiyShape::setCurrentImage(const QImage &picture)
{
    qCDebug(lcDiy) << "setCurrentImage";
    image = picture;
    if (!image.isNull())
        resize(image.size());
    update();
}

void DiyShape::paintEvent(QPaintEvent *)
{
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    painter.setPen(QPen(Qt::red, 4, Qt::DashDotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width(), height());
}

void DiyShape::mousePressEvent(QMouseEvent *event)
{
    pressOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void DiyShape::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    move(event->globalPosition().toPoint() - pressOffset);
    emit signalPointChanged(pos());
}

void DiyShape::mouseReleaseEvent(QMouseEvent *) {}
