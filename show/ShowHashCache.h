#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>

// What a saver knows of items it has stored before: for an item's revision (and source path)
// the hashes of its four pieces, so an unchanged item is neither read nor hashed again.
// Whether the file still holds a piece is asked of the file each time; the cache only spares
// the reading. Shared by the savers of one show (the file and its recovery copy) on any
// threads.
class ShowHashCache final
{
public:
    struct Pieces
    {
        QByteArray source;
        QByteArray thumbnail;
        QByteArray led;
        QByteArray preview;
    };

    bool find(quint64 revision, const QString &sourcePath, Pieces *pieces) const;
    void insert(quint64 revision, const QString &sourcePath, const Pieces &pieces);
    void clear();
    int size() const;

private:
    struct Entry
    {
        QString sourcePath;
        Pieces pieces;
    };
    mutable QMutex mutex;
    QHash<quint64, Entry> entries;
};
