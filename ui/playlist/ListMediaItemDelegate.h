#pragma once

#include "ui/playlist/RowItemDelegate.h"

class HandlerMessage;

// Draws the clip list's rows so that they look like their row editor, and creates that
// editor (MediaObjectWidget) on the row the view edits. The editor's order changes go to the main
// window's slot onMediaIndexChanged.
class ListMediaItemDelegate : public RowItemDelegate
{
    Q_OBJECT
public:
    ListMediaItemDelegate(HandlerMessage *handler, QObject *mainWindow, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ListMediaItemDelegate)

protected:
    void paintRow(RowPainter &row, QPainter *painter, const QStyleOptionViewItem &option,
                  QObject *item) const override;
    QWidget *createRowEditor(QWidget *parent, QObject *item,
                             const QModelIndex &index) const override;
};
