#pragma once

#include "ui/playlist/RowItemDelegate.h"

class HandlerMessage;

// Draws the picture list's rows so that they look like their row editor, and creates that
// editor (ImageObjectWidget) on the row the view edits. The editor's order changes go to the main
// window's slot onImageIndexChanged.
class ListImageItemDelegate : public RowItemDelegate
{
    Q_OBJECT
public:
    ListImageItemDelegate(HandlerMessage *handler, QObject *mainWindow, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ListImageItemDelegate)

protected:
    void paintRow(RowPainter &row, QPainter *painter, const QStyleOptionViewItem &option,
                  QObject *item) const override;
    QWidget *createRowEditor(QWidget *parent, QObject *item,
                             const QModelIndex &index) const override;
};
