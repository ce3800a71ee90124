#pragma once

#include <QDataStream>
#include <QMetaType>
#include <QObject>

// One playlist row: a pointer to its item (an ImageObject in the picture list, a MediaObject
// in the clip list). A plain value so that it can travel inside a QVariant.
struct CustomTableItem
{
    QObject *item = nullptr;

    bool operator==(const CustomTableItem &other) const { return item == other.item; }

    // The row as text: the item's number and file name (what a plain view would show).
    QString text() const;

    // Id of the meta type "CustomTableItem", registered on first use.
    static int metaTypeId();
};

// The pointer travels as the decimal text of its full value (a pointer never fits a 32-bit
// number on 64-bit systems); text that is not a number reads back as a null item.
QDataStream &operator<<(QDataStream &out, const CustomTableItem &entry);
QDataStream &operator>>(QDataStream &in, CustomTableItem &entry);

Q_DECLARE_METATYPE(CustomTableItem)
