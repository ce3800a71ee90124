#include "model/DataBitCalculation.h"

#include "model/ImageObject.h"

#include <QtEndian>

#include <chrono>

namespace {
constexpr int kBlock = 4096;
constexpr int kHighPlane = 7;
constexpr int kLowPlane = 2;
constexpr int kPlanes = kHighPlane - kLowPlane + 1;
// While a stop flag must be watched, waits wake at least this often to look at it.
constexpr int kStopCheckMs = 10;

// Bit `plane` of eight consecutive bytes, the first byte's bit as the most significant:
// after masking, one multiplication moves byte k's bit to bit 63 - k of the product with
// no two partial products meeting: eight bits in one step instead of one at a time.
unsigned planeOfEight(const unsigned char *bytes, int plane)
{
    const quint64 bits = (qFromLittleEndian<quint64>(bytes) >> plane) & 0x0101010101010101ull;
    return unsigned((bits * 0x8040201008040201ull) >> 56);
}

// MSB-first bit writer; bits of an unfinished byte stay pending and are never written.
class BitStream
{
public:
    explicit BitStream(unsigned char *out) : out(out) {}

    // Appends the low `count` (1 to 8) bits of value, most significant first.
    void put(unsigned value, int count)
    {
        pending = (pending << count) | value;
        pendingBits += count;
        if (pendingBits >= 8) {
            pendingBits -= 8;
            *out++ = static_cast<unsigned char>(pending >> pendingBits);
            pending &= (1u << pendingBits) - 1u;
        }
    }

private:
    unsigned char *out;
    unsigned pending = 0;
    int pendingBits = 0;
};
} // namespace

DataBitCalculation::DataBitCalculation(ImageObject *item, QObject *parent)
    : QThread(parent), item(item)
{
}

DataBitCalculation::~DataBitCalculation()
{
    {
        std::unique_lock lock(queueMutex);
        running = false;
        lineAdded.notify_all();
    }
    wait();
    // QThread::wait() synchronises inside Qt, where ThreadSanitizer cannot see it; the lock
    // the thread released last makes its end visible before the members are destroyed.
    std::lock_guard lock(queueMutex);
}

void DataBitCalculation::enqueueLine(const QByteArray &bytes)
{
    std::unique_lock lock(queueMutex);
    queue.append(bytes);
    lineAdded.notify_one();
}

QByteArray DataBitCalculation::takeFirstLine()
{
    std::unique_lock lock(queueMutex);
    // A line taken here is the caller's: the coder never codes it, so it is not awaited.
    if (queue.isEmpty())
        return {};
    return queue.takeFirst();
}

int DataBitCalculation::pendingLines() const
{
    std::unique_lock lock(queueMutex);
    return int(queue.size());
}

bool DataBitCalculation::waitUntilDrained(const std::atomic<bool> *stop)
{
    std::unique_lock lock(queueMutex);
    while (!queue.isEmpty() || linesInWork > 0) {
        if (stop && stop->load())
            return false;
        if (!isRunning() && isFinished())
            return false;
        if (stop)
            drained.wait_for(lock, std::chrono::milliseconds(kStopCheckMs));
        else
            drained.wait(lock);
    }
    return true;
}

void DataBitCalculation::run()
{
    while (running) {
        QByteArray line;
        {
            std::unique_lock lock(queueMutex);
            while (running && queue.isEmpty())
                lineAdded.wait(lock);
            if (!running)
                break;
            line = queue.takeFirst();
            ++linesInWork;
        }
        // Only this thread appends to the item while the conversion runs.
        item->ledData.append(codeLine(line));
        std::unique_lock lock(queueMutex);
        --linesInWork;
        if (queue.isEmpty() && linesInWork == 0)
            drained.notify_all();
    }
    std::unique_lock lock(queueMutex);
    queue.clear();
    linesInWork = 0;
    drained.notify_all();
}

QByteArray DataBitCalculation::codeLine(const QByteArray &triples)
{
    const qsizetype count = triples.size();
    QByteArray block(count * kPlanes / 8, Qt::Uninitialized);
    const auto *in = reinterpret_cast<const unsigned char *>(triples.constData());
    BitStream stream(reinterpret_cast<unsigned char *>(block.data()));
    const qsizetype whole = count - count % 8;
    for (int plane = kHighPlane; plane >= kLowPlane; --plane) {
        for (qsizetype b = 0; b < whole; b += 8)
            stream.put(planeOfEight(in + b, plane), 8);
        for (qsizetype b = whole; b < count; ++b)
            stream.put((in[b] >> plane) & 1u, 1);
    }
    // Bits of an incomplete last byte are dropped; the next line starts on a fresh byte.
    return block;
}

int DataBitCalculation::paddingFor(qint64 length)
{
    return int(kBlock - length % kBlock);
}

void DataBitCalculation::appendPadding(QByteArray &data)
{
    data.append(paddingFor(data.size()), '\0');
}

int DataBitCalculation::lineBlockSize(int ledCount)
{
    return ledCount * 3 * kPlanes / 8;
}

qint64 DataBitCalculation::ledDataLength(int ledCount, int lineNumber)
{
    const qint64 coded = qint64(lineBlockSize(ledCount)) * lineNumber;
    return coded + paddingFor(coded);
}
