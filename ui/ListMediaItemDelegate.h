#pragma once

#include <QItemDelegate>
#include <QPointer>

class HandlerMessage;

// Draws the clip list's rows so that they look like their row editor, and creates that
// editor (MediaObjectWidget) on the row the view edits. The editor's order changes go to the main
// window's slot onMediaIndexChanged.
class ListMediaItemDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    ListMediaItemDelegate(HandlerMessage *handler, QObject *mainWindow, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ListMediaItemDelegate)

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

private:
    QPointer<HandlerMessage> handler;
    QPointer<QObject> mainWindow;
};
