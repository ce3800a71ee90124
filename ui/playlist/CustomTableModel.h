#pragma once

#include "ui/playlist/CustomTableItem.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QMap>

#include <concepts>

// A playlist: one row per picture item (ImageObject) or clip item (MediaObject). The model
// owns the items: removing a row, or destroying the model, destroys the row's item.
// GUI thread only.
class CustomTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    CustomTableModel(const QList<CustomTableItem> &initial, int columns, int checkColumn,
                     QObject *parent = nullptr);
    ~CustomTableModel() override;
    Q_DISABLE_COPY_MOVE(CustomTableModel)

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Appends the entries; the new rows are announced as inserted.
    void addItems(const QList<CustomTableItem> &list);
    void addItems(const QList<QObject *> &list);
    template <typename T>
        requires std::derived_from<T, QObject>
    void addItems(const QList<T *> &list) { addItems(toObjects(list)); }
    void addItem(QObject *item) { addItems(QList<QObject *>{item}); }

    // Replaces every entry inside a model reset. The replaced items are NOT destroyed: the
    // new list normally holds the same items in another order.
    void setItems(const QList<CustomTableItem> &list);
    void setItems(const QList<QObject *> &list);
    template <typename T>
        requires std::derived_from<T, QObject>
    void setItems(const QList<T *> &list) { setItems(toObjects(list)); }

    // Removes count rows from start, destroys their items and renumbers the rows after them
    // (number = row + 1). Arguments outside the list change nothing.
    void delRow(int start, int count);
    // Removes one row without destroying its item, which the caller then owns; renumbers the
    // rows after it. Null for a row outside the list.
    QObject *takeRow(int row);
    // Puts item (owned by the list from then on) back at row (clamped) and renumbers from there.
    void insertItem(int row, QObject *item);
    // Removes every row (destroying the items).
    void delAll() { delRow(0, itemCount()); }
    // Announces that the row's item changed (new thumbnail, time ...).
    void refrehItem(const QModelIndex &index);

    // The items in row order.
    QList<QObject *> itemList() const;
    template <typename T>
    QList<T *> itemsAs() const
    {
        QList<T *> result;
        result.reserve(items.size());
        for (const CustomTableItem *entry : items) {
            if (T *typed = qobject_cast<T *>(entry->item))
                result.append(typed);
        }
        return result;
    }
    int itemCount() const { return static_cast<int>(items.size()); }
    // The item of a row, or null outside the list.
    QObject *itemAt(int row) const;
    // The item an index of any model shows through its display role, or null.
    static QObject *itemOf(const QModelIndex &index);

public slots:
    void onCheckSectionClicked(bool isCheckAll);

private:
    template <typename T>
    static QList<QObject *> toObjects(const QList<T *> &list)
    {
        QList<QObject *> objects;
        objects.reserve(list.size());
        for (T *item : list)
            objects.append(item);
        return objects;
    }
    static QList<CustomTableItem> entriesOf(const QList<QObject *> &list);
    void replaceEntries(const QList<CustomTableItem> &list);
    static void setNumber(QObject *item, int number);
    // The rows from first on have new numbers.
    void renumbered(int first);

    QList<CustomTableItem *> items;
    QHash<int, QVariant> headerTexts;
    int columns;
    int checkColumn;
    QMap<int, int> checkStates;
};
