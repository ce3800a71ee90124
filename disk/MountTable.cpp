#include "disk/MountTable.h"

#include <QFile>

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

} // namespace

QString MountTable::unescape(const QByteArray &field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1])
            && isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            bytes.append(char(value & 0xff));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    // Mount points are byte strings; the file-name codec turns them into what QFile opens.
    return QFile::decodeName(bytes);
}

QList<MountTable::Entry> MountTable::parse(const QByteArray &text)
{
    QList<Entry> entries;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray &line : lines) {
        // id parent major:minor root mount-point options [optional fields...] - type source super
        const QList<QByteArray> fields = line.simplified().split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"));
        if (fields.size() < 6 || separator < 6 || separator + 2 >= fields.size())
            continue;
        Entry entry;
        entry.majorMinor = QString::fromLatin1(fields[2]);
        entry.root = unescape(fields[3]);
        entry.mountPoint = unescape(fields[4]);
        entry.fsType = unescape(fields[separator + 1]);
        entry.source = unescape(fields[separator + 2]);
        entries.append(entry);
    }
    return entries;
}

QList<MountTable::Entry> MountTable::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // procfs reports a size of 0: readAll() reads on to the end regardless.
    return parse(file.readAll());
}
