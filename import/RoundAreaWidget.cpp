#include "import/RoundAreaWidget.h"

#include <QMouseEvent>

RoundAreaWidget::RoundAreaWidget(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(Side, Side);
    setMaximumSize(Side, Side);
    setAutoFillBackground(true);
}

void RoundAreaWidget::mousePressEvent(QMouseEvent *event)
{
    pressOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void RoundAreaWidget::mouseMoveEvent(QMouseEvent *event)
{
    // Global differences equal differences in the parent: a relative move from the press.
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - pressOffset);
}

void RoundAreaWidget::mouseReleaseEvent(QMouseEvent *event)
{
    event->ignore();
}
