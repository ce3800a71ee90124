#include "ui/playlist/CustomTableModel.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/UiLog.h"

#include <QDebug>

CustomTableModel::CustomTableModel(const QList<CustomTableItem> &initial, int columns,
                                   int checkColumn, QObject *parent)
    : QAbstractTableModel(parent), columns(columns), checkColumn(checkColumn)
{
    CustomTableItem::metaTypeId();
    for (const CustomTableItem &entry : initial)
        items.append(new CustomTableItem(entry));
}

CustomTableModel::~CustomTableModel()
{
    for (CustomTableItem *entry : items) {
        delete entry->item;
        delete entry;
    }
    items.clear();
}

int CustomTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : itemCount();
}

int CustomTableModel::columnCount(const QModelIndex &) const
{
    return columns;
}

QVariant CustomTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= itemCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return QVariant::fromValue(*items.at(index.row()));
    if (role == Qt::CheckStateRole && checkColumn >= 0 && index.column() == checkColumn)
        return checkStates.value(index.row()) == Qt::Checked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool CustomTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || checkColumn < 0
        || index.column() != checkColumn)
        return false;
    checkStates[index.row()] = value.toInt() == Qt::Checked ? Qt::Checked : Qt::Unchecked;
    emit dataChanged(index, index);
    return true;
}

QVariant CustomTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal) {
        const auto found = headerTexts.constFind(section);
        return found == headerTexts.constEnd() ? QVariant() : QVariant(found->toString());
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool CustomTableModel::setHeaderData(int section, Qt::Orientation orientation,
                                     const QVariant &value, int)
{
    if (orientation == Qt::Vertical)
        return false;
    headerTexts.insert(section, value);
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::DropActions CustomTableModel::supportedDropActions() const
{
    return QAbstractTableModel::supportedDropActions() | Qt::MoveAction;
}

Qt::ItemFlags CustomTableModel::flags(const QModelIndex &index) const
{
    // Rows can be dropped onto the list itself; the list as a whole is not an editable cell.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    if (checkColumn >= 0 && index.column() == checkColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable
               | Qt::ItemIsEnabled;
    // Editable rows let the views open the row editor on the current row.
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void CustomTableModel::sort(int, Qt::SortOrder)
{
    // The play order is the items' numbers, kept by the main window; a header click only
    // refreshes the layout.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

void CustomTableModel::onCheckSectionClicked(bool isCheckAll)
{
    for (int row = 0; row < itemCount(); ++row) {
        checkStates[row] = isCheckAll ? Qt::Checked : Qt::Unchecked;
        const QModelIndex cell = index(row, 0);
        emit dataChanged(cell, cell);
    }
}

void CustomTableModel::addItems(const QList<CustomTableItem> &list)
{
    if (list.isEmpty())
        return;
    const int first = itemCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(list.size()) - 1);
    for (const CustomTableItem &entry : list)
        items.append(new CustomTableItem(entry));
    endInsertRows();
}

void CustomTableModel::addItems(const QList<QObject *> &list)
{
    addItems(entriesOf(list));
}

void CustomTableModel::setItems(const QList<CustomTableItem> &list)
{
    beginResetModel();
    replaceEntries(list);
    endResetModel();
}

void CustomTableModel::setItems(const QList<QObject *> &list)
{
    setItems(entriesOf(list));
}

QList<CustomTableItem> CustomTableModel::entriesOf(const QList<QObject *> &list)
{
    QList<CustomTableItem> entries;
    entries.reserve(list.size());
    for (QObject *item : list)
        entries.append(CustomTableItem{item});
    return entries;
}

void CustomTableModel::replaceEntries(const QList<CustomTableItem> &list)
{
    qDeleteAll(items);
    items.clear();
    for (const CustomTableItem &entry : list)
        items.append(new CustomTableItem(entry));
}

void CustomTableModel::delRow(int start, int count)
{
    // Compared as count > rows left, so a huge count cannot overflow start + count.
    if (count < 1 || start < 0 || start > itemCount() || count > itemCount() - start)
        return;
    beginRemoveRows(QModelIndex(), start, start + count - 1);
    for (int i = 0; i < count; ++i) {
        qCDebug(lcUi).noquote()
            << QStringLiteral("#CustomTableModel# delRow %1, %2").arg(start).arg(count);
        CustomTableItem *entry = items.takeAt(start);
        delete entry->item;
        delete entry;
    }
    for (int row = start; row < itemCount(); ++row) {
        setNumber(items.at(row)->item, row + 1);
        qCDebug(lcUi).noquote() << "#CustomTableModel# delRow() index changed." << row + 1;
    }
    // Check states are kept per row number: shift those of the rows that moved up.
    if (!checkStates.isEmpty()) {
        QMap<int, int> shifted;
        for (auto it = checkStates.cbegin(); it != checkStates.cend(); ++it) {
            if (it.key() < start)
                shifted.insert(it.key(), it.value());
            else if (it.key() >= start + count)
                shifted.insert(it.key() - count, it.value());
        }
        checkStates = shifted;
    }
    endRemoveRows();
    renumbered(start);
}

QObject *CustomTableModel::takeRow(int row)
{
    if (row < 0 || row >= itemCount() || !checkStates.isEmpty())
        return nullptr;
    beginRemoveRows(QModelIndex(), row, row);
    CustomTableItem *entry = items.takeAt(row);
    QObject *item = entry->item;
    delete entry;
    for (int later = row; later < itemCount(); ++later)
        setNumber(items.at(later)->item, later + 1);
    endRemoveRows();
    renumbered(row);
    return item;
}

void CustomTableModel::insertItem(int row, QObject *item)
{
    if (!item)
        return;
    row = qBound(0, row, itemCount());
    beginInsertRows(QModelIndex(), row, row);
    items.insert(row, new CustomTableItem{item});
    for (int later = row; later < itemCount(); ++later)
        setNumber(items.at(later)->item, later + 1);
    endInsertRows();
    renumbered(row + 1);
}

void CustomTableModel::renumbered(int first)
{
    // The row editors show their item's number: a view passes this on to the open ones.
    if (first >= 0 && first < itemCount())
        emit dataChanged(index(first, 0), index(itemCount() - 1, 0));
}

void CustomTableModel::setNumber(QObject *item, int number)
{
    if (auto *picture = qobject_cast<ImageObject *>(item))
        picture->number = number;
    else if (auto *clip = qobject_cast<MediaObject *>(item))
        clip->number = number;
}

void CustomTableModel::refrehItem(const QModelIndex &index)
{
    qCDebug(lcUi).nospace() << "#CustomTableModel# refrehItem() " << index;
    if (index.isValid() && index.model() == this)
        emit dataChanged(index, index);
}

QList<QObject *> CustomTableModel::itemList() const
{
    QList<QObject *> result;
    result.reserve(items.size());
    for (const CustomTableItem *entry : items)
        result.append(entry->item);
    return result;
}

QObject *CustomTableModel::itemAt(int row) const
{
    return row >= 0 && row < itemCount() ? items.at(row)->item : nullptr;
}

QObject *CustomTableModel::itemOf(const QModelIndex &index)
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (!value.canConvert<CustomTableItem>())
        return nullptr;
    return value.value<CustomTableItem>().item;
}
