#include "ui/playlist/CustomTableItem.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QFileInfo>
#include <QString>

#include <atomic>

int CustomTableItem::metaTypeId()
{
    static std::atomic<int> id{0};
    int known = id.load(std::memory_order_acquire);
    if (known == 0) {
        // Qt 6 picks up the stream operators declared beside the type at registration.
        known = qRegisterMetaType<CustomTableItem>("CustomTableItem");
        // Views and accessibility read a row's display role as text.
        QMetaType::registerConverter<CustomTableItem, QString>(&CustomTableItem::text);
        id.store(known, std::memory_order_release);
    }
    return known;
}

QString CustomTableItem::text() const
{
    if (const auto *picture = qobject_cast<const ImageObject *>(item))
        return QStringLiteral("%1 %2").arg(picture->number).arg(
            QFileInfo(picture->sourcePath).fileName());
    if (const auto *clip = qobject_cast<const MediaObject *>(item))
        return QStringLiteral("%1 %2").arg(clip->number).arg(
            QFileInfo(clip->sourcePath).fileName());
    return item ? QString::fromLatin1(item->metaObject()->className()) : QString();
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
