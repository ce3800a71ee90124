#include "import/GifFrameReader.h"

#include <QFile>

#include <cstring>

namespace {

constexpr int kSlowestFastDelayMs = 10;
constexpr int kFastDelayShownMs = 100;

// Walks the blocks of a GIF file without decoding them.
class GifBlocks
{
public:
    GifBlocks(const uchar *data, qint64 size) : data(data), size(size) {}

    // Counts the image blocks up to the trailer; false when the file stops short of it or
    // holds a block of no known kind.
    bool walk(int *images)
    {
        *images = 0;
        if (size < 13)
            return false;
        at = 13;
        if (data[10] & 0x80)
            at += 3 * (qint64(1) << ((data[10] & 0x07) + 1));
        while (at < size) {
            const uchar kind = data[at++];
            if (kind == 0x3b)
                return true;
            if (kind == 0x21) {
                if (!skip(1) || !skipSubBlocks())
                    return false;
            } else if (kind == 0x2c) {
                if (!image())
                    return false;
                ++*images;
            } else {
                return false;
            }
        }
        return false;
    }

private:
    bool skip(qint64 n)
    {
        at += n;
        return at <= size;
    }

    bool image()
    {
        if (!skip(9))
            return false;
        const uchar flags = data[at - 1];
        if ((flags & 0x80) && !skip(3 * (qint64(1) << ((flags & 0x07) + 1))))
            return false;
        return skip(1) && skipSubBlocks();
    }

    bool skipSubBlocks()
    {
        while (at < size) {
            const int length = data[at++];
            if (length == 0)
                return true;
            if (!skip(length))
                return false;
        }
        return false;
    }

    const uchar *data;
    const qint64 size;
    qint64 at = 0;
};

} // namespace

GifFrameReader::GifFrameReader(const QString &path) : path(path), reader(path)
{
    reader.setDecideFormatFromContent(true);
}

int GifFrameReader::shownDelay(int storedMs)
{
    return storedMs <= kSlowestFastDelayMs ? kFastDelayShownMs : storedMs;
}

bool GifFrameReader::next(QImage *frame, int *delayMs)
{
    if (over)
        return false;
    // Not the frame count: it leaves out a damaged last frame, which must be reported.
    if (!reader.canRead()) {
        // A file with no frame at all is no GIF either.
        damaged = count == 0 || endsEarly();
        over = true;
        return false;
    }
    QImage image = reader.read();
    const int number = reader.currentImageNumber();
    if (image.isNull() || number <= lastNumber) {
        damaged = true;
        over = true;
        return false;
    }
    lastNumber = number;
    ++count;
    *frame = std::move(image);
    *delayMs = shownDelay(reader.nextImageDelay());
    return true;
}

bool GifFrameReader::endsEarly() const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    const uchar *mapped = file.map(0, size);
    const QByteArray copy = mapped ? QByteArray() : file.readAll();
    const uchar *data = mapped ? mapped : reinterpret_cast<const uchar *>(copy.constData());
    // Another format read by its content (a PNG named .gif) has no blocks to count.
    if (size < 6 || std::memcmp(data, "GIF8", 4) != 0)
        return false;
    int images = 0;
    const bool whole = GifBlocks(data, size).walk(&images);
    return !whole || images > count;
}
