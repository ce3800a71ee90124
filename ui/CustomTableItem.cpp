#include "ui/CustomTableItem.h"

#include <QString>

#include <atomic>

int CustomTableItem::metaTypeId()
{
    static std::atomic<int> id{0};
    int known = id.load(std::memory_order_acquire);
    if (known == 0) {
        // Qt 6 picks up the stream operators declared beside the type at registration.
        known = qRegisterMetaType<CustomTableItem>("CustomTableItem");
        id.store(known, std::memory_order_release);
    }
    return known;
}

QDataStream &operator<<(QDataStream &out, const CustomTableItem &entry)
{
    const auto value = static_cast<quint64>(reinterpret_cast<quintptr>(entry.item));
    out << QString::number(value);
    return out;
}

QDataStream &operator>>(QDataStream &in, CustomTableItem &entry)
{
    QString text;
    in >> text;
    bool ok = false;
    const quint64 value = text.toULongLong(&ok, 10);
    entry.item = ok ? reinterpret_cast<QObject *>(static_cast<quintptr>(value)) : nullptr;
    return in;
}
