#include "import/GifFrameReader.h"

#include "app/InputFileCheck.h"
#include "model/PictureFile.h"

#include <algorithm>

namespace {

constexpr int kSlowestFastDelayMs = 10;
constexpr int kFastDelayShownMs = 100;
constexpr char kTrailer = 0x3b;

// Leaving out the frame dropped changes none of the frames decoded after it, the first of
// which is next: dropped puts back the canvas it drew on, or next draws over the whole canvas
// without transparency and does not put the canvas back afterwards. next needs a control
// block of its own: the reader keeps the last transparent colour for a frame without one.
bool unseenBefore(const GifLayout::Frame &dropped, const GifLayout::Frame &next,
                  const QSize &canvas)
{
    constexpr int kRestorePrevious = 3;
    const bool restores = dropped.disposal == kRestorePrevious;
    const bool covered = !next.transparent && next.disposal != kRestorePrevious
                         && next.rect.contains(QRect(QPoint(0, 0), canvas));
    return next.ownControl && (restores || covered);
}

} // namespace

GifFrameReader::GifFrameReader(const QString &path)
{
    // Looked at before opening: a FIFO would block, a device never end.
    if (const QString problem = InputFileCheck::problem(path); !problem.isEmpty()) {
        refusal = problem;
        return;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refusal = QStringLiteral("cannot be opened (%1)").arg(file.errorString());
        return;
    }
    const qint64 size = file.size();
    if (const uchar *mapped = size > 0 ? file.map(0, size) : nullptr)
        bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), size);
    else
        bytes = file.readAll();
    layout = GifLayout::walk(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size());
    // Decoding allocates the whole canvas for every frame, however small the frames are.
    if (const QString over = PictureFile::sizeRefusal(layout.canvas()); !over.isEmpty())
        refusal = QStringLiteral("its canvas of %1").arg(over);
}

int GifFrameReader::shownDelay(int storedMs)
{
    return storedMs <= kSlowestFastDelayMs ? kFastDelayShownMs : storedMs;
}

QString GifFrameReader::errorString() const
{
    if (!refusal.isEmpty())
        return refusal;
    return error.isEmpty() ? reader.errorString() : error;
}

QList<int> GifFrameReader::delays() const
{
    if (!refusal.isEmpty())
        return {};
    if (!layout.isGif())
        return bytes.isEmpty() ? QList<int>() : QList<int>{kFastDelayShownMs};
    QList<int> shown;
    for (const GifLayout::Frame &frame : layout.frames())
        shown.append(shownDelay(frame.delayMs));
    return shown;
}

Outcome GifFrameReader::keepOnly(const QList<bool> &wanted)
{
    planned = true;
    wantedFrames = wanted;
    decoded.clear();
    if (!refusal.isEmpty())
        return Outcome::failure(refusal);
    if (!layout.isGif())
        return Outcome::success();
    const QList<GifLayout::Frame> &frames = layout.frames();
    int last = int(std::min(wanted.size(), frames.size())) - 1;
    while (last >= 0 && !wanted[last])
        --last;
    if (last < 0)
        return Outcome::success();
    // From the back, so that each frame is judged against the next one decoded.
    decoded.append(last);
    for (int i = last - 1; i >= 0; --i) {
        // The first frame also sets up the canvas (its size, what lies under transparency).
        if (i > 0 && !wanted[i] && unseenBefore(frames[i], frames[decoded.last()], layout.canvas()))
            continue;
        decoded.append(i);
    }
    std::reverse(decoded.begin(), decoded.end());
    const QSize canvas = layout.canvas();
    const qint64 pixels = qint64(canvas.width()) * canvas.height() * decoded.size();
    if (pixels > MaxDecodedMegapixels * 1000 * 1000) {
        refusal = QStringLiteral("%1 frames to decode on a canvas of %2 x %3 pixels are %4 "
                                 "megapixels, over the limit of %5 megapixels")
                      .arg(decoded.size())
                      .arg(canvas.width())
                      .arg(canvas.height())
                      .arg((pixels + 999'999) / 1'000'000)
                      .arg(MaxDecodedMegapixels);
        return Outcome::failure(refusal);
    }
    return Outcome::success();
}

bool GifFrameReader::stop(bool isDamage)
{
    over = true;
    damaged = isDamage;
    return false;
}

bool GifFrameReader::start()
{
    if (!refusal.isEmpty())
        return stop(false);
    if (!layout.isGif())
        return startOther();
    const QList<GifLayout::Frame> &frames = layout.frames();
    if (!planned) {
        wantedFrames = QList<bool>(frames.size(), true);
        for (int i = 0; i < frames.size(); ++i)
            decoded.append(i);
    }
    if (decoded.isEmpty())
        return true;
    // The reader sees the frames decoded and nothing after the last of them: never the
    // start of a frame the file stops inside.
    if (decoded.last() + 1 == decoded.size()) {
        stream = QByteArray::fromRawData(bytes.constData(), frames[decoded.last()].end);
    } else {
        stream = bytes.left(layout.headerBytes());
        for (const int i : std::as_const(decoded))
            stream.append(bytes.constData() + frames[i].start, frames[i].end - frames[i].start);
        stream.append(kTrailer);
    }
    device.setBuffer(&stream);
    device.open(QIODevice::ReadOnly);
    reader.setDevice(&device);
    reader.setFormat("gif");
    return true;
}

bool GifFrameReader::startOther()
{
    stream = bytes;
    device.setBuffer(&stream);
    device.open(QIODevice::ReadOnly);
    reader.setDevice(&device);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (!PictureFile::supportedFormats().contains(format)) {
        error = format.isEmpty()
                    ? reader.errorString()
                    : QStringLiteral("%1 is not a GIF").arg(QString::fromLatin1(format));
        return stop(true);
    }
    if (const QString over = PictureFile::sizeRefusal(reader.size()); !over.isEmpty()) {
        refusal = over;
        return stop(false);
    }
    return true;
}

bool GifFrameReader::nextOther(QImage *frame, int *delayMs)
{
    over = true;
    if (planned && !wantedFrames.value(0))
        return false;
    QImage image = reader.read();
    if (image.isNull())
        return stop(true);
    passed = 1;
    current = 0;
    *frame = std::move(image);
    *delayMs = kFastDelayShownMs;
    return true;
}

bool GifFrameReader::next(QImage *frame, int *delayMs)
{
    if (over)
        return false;
    if (!started) {
        started = true;
        if (!start())
            return false;
    }
    // The reader draws each frame over the last one: with the last one let go it does so
    // in place instead of on a copy of the whole canvas.
    *frame = QImage();
    if (!layout.isGif())
        return nextOther(frame, delayMs);
    const QList<GifLayout::Frame> &frames = layout.frames();
    while (position < decoded.size()) {
        const int index = decoded[position];
        QImage image = reader.read();
        const int number = reader.currentImageNumber();
        if (image.isNull() || number <= lastNumber) {
            passed = index;
            return stop(true);
        }
        lastNumber = number;
        ++position;
        passed = index + 1;
        if (!wantedFrames.value(index))
            continue;
        current = index;
        *frame = std::move(image);
        *delayMs = shownDelay(frames[index].delayMs);
        return true;
    }
    // Every frame decoded was read. Reading to the file's end, the frames that follow
    // were left out and the walk tells whether the file is damaged after them.
    if (wantedFrames.size() < frames.size())
        return stop(false);
    passed = int(frames.size());
    return stop(frames.isEmpty() || layout.isDamaged());
}
