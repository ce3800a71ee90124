#pragma once

// Small builders shared by the effect tests: items with LED data in memory, slotted files
// and file helpers. Everything is deterministic so failures can be reproduced.

#include "app/AppGlobals.h"
#include "effect/IndexedHeader.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <array>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace effecttest {

// Sets the display geometry for one test and restores the default afterwards.
struct GeometryScope
{
    GeometryScope(int leds, int lines)
    {
        ledCount = leds;
        lineNumber = lines;
    }
    ~GeometryScope()
    {
        ledCount = kDefaultLedCount;
        lineNumber = kDefaultLineNumber;
    }
};

// Bytes that differ from record to record and from position to position.
inline QByteArray pattern(qint64 length, int seed)
{
    QByteArray bytes(length, Qt::Uninitialized);
    quint32 state = 2166136261u ^ (quint32(seed) * 16777619u);
    for (qint64 i = 0; i < length; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}

// LED data of the current geometry's length, padded as a conversion would leave it.
inline QByteArray ledDataFor(int seed)
{
    const qint64 length = DataBitCalculation::ledDataLength(ledCount, lineNumber);
    const qint64 coded = qint64(DataBitCalculation::lineBlockSize(ledCount)) * lineNumber;
    QByteArray data = pattern(coded, seed);
    data.append(length - coded, '\0');
    return data;
}

inline ImageObject *pictureItem(int number, double displayTime, int seed)
{
    auto *item = new ImageObject(number, QString(), displayTime, ImageObject::KindPictureFile);
    item->ledData = ledDataFor(seed);
    return item;
}

inline MediaObject *clipItem(int frameCount, int loopCount, int seed)
{
    auto *clip = new MediaObject(0, QString());
    clip->loopCount = loopCount;
    for (int k = 1; k <= frameCount; ++k) {
        auto *frame = new ImageObject(k, QString(), 10.0, ImageObject::KindGifFrame);
        frame->ledData = ledDataFor(seed * 1000 + k);
        clip->frames.append(frame);
    }
    return clip;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

inline int bigEndian16(const QByteArray &bytes, int offset)
{
    return (quint8(bytes[offset]) << 8) | quint8(bytes[offset + 1]);
}

// One record of green, red, blue triples for the current geometry.
inline QByteArray tripleRecord(int seed)
{
    return pattern(3 * qint64(ledCount) * lineNumber, seed);
}

// A slotted file: header fields as given, `slots` picture slots, then the clip frames as
// many as `frameRecords` (frames are not necessarily as many as the header claims).
struct SlottedShape
{
    int pictureCount = 0;
    std::array<int, 5> frameCounts{};
    std::array<int, 5> loopCounts{};
    int slotsWritten = 100;
    int frameRecords = -1; // -1: as the header says
    int timeBase = 10;     // slot i gets time byte timeBase + i
};

inline QByteArray slottedHeader(const SlottedShape &shape)
{
    QByteArray header(120, '\0');
    for (int j = 0; j < 5; ++j) {
        header[7 + j] = char(shape.frameCounts[j]);
        header[12 + j] = char(shape.loopCounts[j]);
    }
    header[19] = char(shape.pictureCount);
    for (int i = 0; i < 100; ++i)
        header[20 + i] = char((shape.timeBase + i + 1) & 0xFF);
    return header;
}

inline QByteArray slottedFile(const SlottedShape &shape)
{
    QByteArray bytes = slottedHeader(shape);
    for (int slot = 1; slot <= shape.slotsWritten; ++slot)
        bytes.append(tripleRecord(slot));
    int frames = 0;
    for (int c : shape.frameCounts)
        frames += c;
    if (shape.frameRecords >= 0)
        frames = shape.frameRecords;
    for (int f = 0; f < frames; ++f)
        bytes.append(tripleRecord(1000 + f));
    return bytes;
}

// An indexed header of clips only, each as long as given, as the writer would make it.
inline IndexedHeader clipsHeader(const QList<int> &clipLengths)
{
    IndexedHeader header;
    for (int length : clipLengths) {
        header.segments.append({header.recordCount + 1, header.recordCount + length, 1, 1});
        header.recordCount += length;
    }
    return header;
}

// An effect file of the given header followed by zero records up to its full length. The
// records are a hole in a sparse file, so a file that claims tens of thousands of records
// costs no disk.
inline bool writeZeroRecords(const QString &path, const QByteArray &header, qint64 records,
                             qint64 recordLength)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(header) == header.size()
           && file.resize(header.size() + records * recordLength);
}

// A path in dir that is not a regular file, made for one test row: "missing", "directory",
// "FIFO", "socket" or "device" (/dev/zero). The FIFO is held open for writing with bytes
// waiting, so a reader that wrongly opens it reads them and returns instead of blocking.
class SpecialFile
{
public:
    SpecialFile(const QString &dir, const QString &kind) : path(dir + QStringLiteral("/") + kind)
    {
        const QByteArray native = QFile::encodeName(path);
        if (kind == QLatin1String("directory")) {
            QDir().mkpath(path);
        } else if (kind == QLatin1String("FIFO")) {
            if (::mkfifo(native.constData(), 0600) == 0)
                fd = ::open(native.constData(), O_RDWR | O_NONBLOCK);
            const QByteArray waiting(8192, '\0');
            if (fd >= 0 && ::write(fd, waiting.constData(), waiting.size()) != waiting.size())
                qWarning("the FIFO took fewer bytes than written");
        } else if (kind == QLatin1String("socket")) {
            fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, native.constData(), sizeof(address.sun_path) - 1);
            if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0)
                qWarning("cannot bind the socket %s", native.constData());
        } else if (kind == QLatin1String("device")) {
            path = QStringLiteral("/dev/zero");
        }
    }
    ~SpecialFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Q_DISABLE_COPY_MOVE(SpecialFile)

    QString path;

private:
    int fd = -1;
};

} // namespace effecttest
