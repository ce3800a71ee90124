#include "GifFixtures.h"

#include <QFile>
#include <QDir>

namespace GifFixtures {

namespace {

constexpr int kMinCodeSize = 8;
constexpr int kClear = 1 << kMinCodeSize;
constexpr int kEnd = kClear + 1;
// Literal codes stay 9 bits wide when a clear code comes before the table reaches 512.
constexpr int kCodesPerClear = 250;

void put16(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char((value >> 8) & 0xff));
}

// 9-bit literal codes, least significant bit first, as the LZW decoder reads them.
QByteArray lzw(const QByteArray &indices)
{
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    auto putCode = [&](int code) {
        bits |= quint32(code) << count;
        count += kMinCodeSize + 1;
        while (count >= 8) {
            packed.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < indices.size(); ++i) {
        if (i % kCodesPerClear == 0)
            putCode(kClear);
        putCode(quint8(indices[i]));
    }
    putCode(kEnd);
    if (count > 0)
        packed.append(char(bits & 0xff));
    return packed;
}

QByteArray subBlocks(const QByteArray &data)
{
    QByteArray out;
    for (int i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append('\0');
    return out;
}

QByteArray pixels(const Frame &frame, const QRect &rect, int index)
{
    const int colour = frame.colour >= 0 ? frame.colour : index + 1;
    if (frame.onePixel)
        return QByteArray(1, char(colour));
    QByteArray indices(rect.width() * rect.height(), char(colour));
    if (frame.stripes) {
        for (int y = 0; y < rect.height(); ++y)
            for (int x = 0; x < rect.width(); ++x)
                indices[y * rect.width() + x] = char((x + 2 * y + index) % 256);
    }
    if (frame.holeColour >= 0) {
        const QRect hole(rect.width() / 4, rect.height() / 4, rect.width() / 2, rect.height() / 2);
        for (int y = hole.top(); y <= hole.bottom(); ++y)
            for (int x = hole.left(); x <= hole.right(); ++x)
                indices[y * rect.width() + x] = char(frame.holeColour);
    }
    return indices;
}

QByteArray frameBytes(const Gif &gif, int index, bool corrupt)
{
    const Frame &frame = gif.frames[index];
    const QRect rect = frame.rect.isEmpty() ? QRect(0, 0, gif.width, gif.height) : frame.rect;
    QByteArray out;
    out.append("\x21\xf9\x04", 3);
    out.append(char((frame.disposal << 2) | (frame.transparent >= 0 ? 1 : 0)));
    put16(out, frame.delayMs / 10);
    out.append(char(frame.transparent >= 0 ? frame.transparent : 0));
    out.append('\0');
    out.append(',');
    put16(out, rect.x());
    put16(out, rect.y());
    put16(out, rect.width());
    put16(out, rect.height());
    out.append('\0');
    out.append(char(kMinCodeSize));
    out.append(subBlocks(lzw(pixels(frame, rect, index))));
    if (corrupt) {
        // A block that is neither an extension, an image nor the trailer: nothing after it
        // can be read.
        out[8] = char(0x99);
    }
    return out;
}

} // namespace

quint32 paletteColour(int index)
{
    static const quint32 colours[] = {0xff000000, 0xffff0000, 0xff00ff00, 0xff0000ff,
                                      0xffffff00, 0xff00ffff, 0xffff00ff, 0xffffffff};
    const int n = int(sizeof(colours) / sizeof(colours[0]));
    if (index < n)
        return colours[index];
    return 0xff000000 | quint32((index * 37) % 256) << 16 | quint32((index * 91) % 256) << 8
           | quint32((index * 53) % 256);
}

QByteArray encode(const Gif &gif)
{
    QByteArray out("GIF89a");
    put16(out, gif.width);
    put16(out, gif.height);
    out.append(char(0xf7));  // global table of 256 colours
    out.append('\0');        // background colour index
    out.append('\0');
    for (int i = 0; i < 256; ++i) {
        const quint32 c = paletteColour(i);
        out.append(char((c >> 16) & 0xff));
        out.append(char((c >> 8) & 0xff));
        out.append(char(c & 0xff));
    }
    if (gif.looping) {
        out.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
        put16(out, 0);
        out.append('\0');
    }
    for (int i = 0; i < gif.frames.size(); ++i)
        out.append(frameBytes(gif, i, false));
    out.append(';');
    return out;
}

Gif frames(int n, int width, int height, int delayMs)
{
    Gif gif;
    gif.width = width;
    gif.height = height;
    for (int i = 0; i < n; ++i) {
        Frame frame;
        frame.delayMs = delayMs;
        gif.frames.append(frame);
    }
    return gif;
}

Gif onePixelFrames(int n, int width, int height, int delayMs)
{
    Gif gif = frames(n, width, height, delayMs);
    for (Frame &frame : gif.frames)
        frame.onePixel = true;
    return gif;
}

Gif stripedFrames(int n, int width, int height)
{
    Gif gif = frames(n, width, height);
    for (Frame &frame : gif.frames)
        frame.stripes = true;
    return gif;
}

QByteArray withCorruptFrame(const Gif &gif, int index)
{
    const QByteArray good = encode(gif);
    QByteArray before = encode(Gif{gif.width, gif.height, gif.looping, gif.frames.mid(0, index)});
    before.chop(1);  // the trailer
    const QByteArray spoilt = frameBytes(gif, index, true);
    QByteArray after = good.mid(before.size() + frameBytes(gif, index, false).size());
    return before + spoilt + after;
}

QString write(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

} // namespace GifFixtures
