#include "model/GifLayout.h"

#include <QFile>

#include <cstring>

namespace {

constexpr uchar kExtension = 0x21;
constexpr uchar kImage = 0x2c;
constexpr uchar kTrailer = 0x3b;
constexpr uchar kControlLabel = 0xf9;
constexpr int kMaxCodeSize = 12;

int le16(const uchar *at)
{
    return at[0] | (at[1] << 8);
}

qint64 colourTableBytes(uchar flags)
{
    return (flags & 0x80) ? 3 * (qint64(1) << ((flags & 0x07) + 1)) : 0;
}

// Moves at past a chain of sub-blocks and its terminator; false when the data ends first.
bool skipSubBlocks(const uchar *data, qint64 size, qint64 *at)
{
    while (*at < size) {
        const int length = data[(*at)++];
        if (length == 0)
            return true;
        *at += length;
    }
    return false;
}

} // namespace

GifLayout GifLayout::walk(const uchar *data, qint64 size, int maxFrames)
{
    GifLayout layout;
    if (size < 6 || std::memcmp(data, "GIF8", 4) != 0)
        return layout;
    layout.gif = true;
    layout.damaged = true;  // until the walk ends cleanly
    if (size < 13)
        return layout;
    const int screenWidth = le16(data + 6);
    const int screenHeight = le16(data + 8);
    qint64 at = 13 + colourTableBytes(data[10]);
    if (at > size)
        return layout;
    layout.header = at;

    // What the reader keeps from one frame to the next: the delay and the transparent
    // colour last set; the disposal holds for the frame after its control block only.
    Frame next;
    next.start = at;
    bool controlPending = false;
    for (;;) {
        if (at == size) {
            // A control block announces a frame that never came.
            layout.damaged = controlPending;
            break;
        }
        const uchar kind = data[at++];
        if (kind == kTrailer) {
            layout.damaged = false;
            break;
        }
        if (kind == kExtension) {
            if (at >= size)
                break;
            const uchar label = data[at++];
            if (label == kControlLabel && at < size) {
                const int length = data[at];
                if (at + 1 + length > size)
                    break;
                const uchar packed = length >= 1 ? data[at + 1] : 0;
                next.disposal = (packed >> 2) & 0x07;
                next.transparent = packed & 0x01;
                next.delayMs = length >= 3 ? le16(data + at + 2) * 10 : 10;
                next.ownControl = true;
                controlPending = true;
            }
            if (!skipSubBlocks(data, size, &at))
                break;
            continue;
        }
        if (kind != kImage || at + 9 > size)
            break;
        const QRect rect(le16(data + at), le16(data + at + 2), le16(data + at + 4),
                         le16(data + at + 6));
        at += 9 + colourTableBytes(data[at + 8]);
        if (at >= size || data[at] > kMaxCodeSize)
            break;
        ++at;
        if (!skipSubBlocks(data, size, &at))
            break;
        next.rect = rect;
        next.end = at;
        layout.whole.append(next);
        next.start = at;
        next.disposal = 0;
        next.ownControl = false;
        controlPending = false;
        if (maxFrames >= 0 && layout.whole.size() >= maxFrames) {
            layout.damaged = false;
            break;
        }
    }
    if (!layout.whole.isEmpty()) {
        const QRect first = layout.whole.first().rect;
        layout.screen = QSize(screenWidth > 0 ? screenWidth : first.x() + first.width(),
                              screenHeight > 0 ? screenHeight : first.y() + first.height());
    }
    return layout;
}

GifLayout GifLayout::ofFile(const QString &path, int maxFrames)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (const uchar *mapped = size > 0 ? file.map(0, size) : nullptr)
        return walk(mapped, size, maxFrames);
    const QByteArray bytes = file.readAll();
    return walk(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size(), maxFrames);
}
