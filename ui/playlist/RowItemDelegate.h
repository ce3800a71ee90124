#pragma once

#include <QItemDelegate>
#include <QPointer>

class HandlerMessage;
class RowPainter;

// Common part of the two playlist delegates: paints column 0 of a row so that it looks like
// the row's editor, and creates that editor on the row the view edits, its order changes
// connected to a slot of the main window. Subclasses draw and create for their item kind.
class RowItemDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    Q_DISABLE_COPY_MOVE(RowItemDelegate)

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const final;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const final;
    // A row editor shows its item's number again (the view calls this when rows changed).
    void setEditorData(QWidget *editor, const QModelIndex &index) const final;

signals:
    // A row editor changed its item's display time or loop count, typed or stepped.
    void rowValueChanged(bool typed);

protected:
    // indexSignal (of the editor) and indexSlot (of mainWindow) as SIGNAL() and SLOT() give them.
    RowItemDelegate(HandlerMessage *handler, QObject *mainWindow, const char *indexSignal,
                    const char *indexSlot, QObject *parent);

    // Draws the row of item inside the saved painter state, the selection already filled and
    // the pen black. An item of another kind draws nothing.
    virtual void paintRow(RowPainter &row, QPainter *painter, const QStyleOptionViewItem &option,
                          QObject *item) const = 0;
    // The row editor of item, or nullptr for an item of another kind.
    virtual QWidget *createRowEditor(QWidget *parent, QObject *item,
                                     const QModelIndex &index) const = 0;

    QPointer<HandlerMessage> handler;

private:
    QPointer<QObject> mainWindow;
    const char *const indexSignal;
    const char *const indexSlot;
};
