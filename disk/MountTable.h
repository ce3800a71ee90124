#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The mount table of the kernel as /proc/<pid>/mountinfo lists it, one entry per mount.
class MountTable
{
public:
    struct Entry
    {
        QString majorMinor;  // "8:17": the device number of the mounted file system
        QString root;        // the directory of the file system mounted here ("/" for all of it)
        QString mountPoint;  // where it is mounted, escapes decoded
        QString fsType;
        QString source;      // "/dev/sdb1", or what the file system names instead
    };

    // Entries of a mountinfo text in table order; malformed lines are skipped.
    static QList<Entry> parse(const QByteArray &text);
    // Entries of the mountinfo file at path; empty when it cannot be read.
    static QList<Entry> read(const QString &path);
    // Decodes the octal escapes ("\040" for a space) the kernel writes into path fields.
    static QString unescape(const QByteArray &field);
};
