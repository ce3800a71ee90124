#include "ui/diy/DiyTextEdit.h"

#include <QKeyEvent>

DiyTextEdit::DiyTextEdit(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(MaxLength);
}

void DiyTextEdit::keyPressEvent(QKeyEvent *event)
{
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}
