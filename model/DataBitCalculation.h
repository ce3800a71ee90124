#pragma once

#include <QByteArray>
#include <QList>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

class ImageObject;

// Bit-plane coder of one conversion. The sampler feeds it one line of colour triples at a
// time; it appends each line's coded block to the item's ledData. It sleeps on a wait
// condition while its queue is empty, so it never adds latency to a conversion.
class DataBitCalculation : public QThread
{
    Q_OBJECT
public:
    explicit DataBitCalculation(ImageObject *item, QObject *parent = nullptr);
    // Stops the thread (queued lines are dropped) and waits for the line being coded.
    ~DataBitCalculation() override;
    Q_DISABLE_COPY_MOVE(DataBitCalculation)

    void enqueueLine(const QByteArray &bytes);
    // The oldest waiting line, or an empty array when none waits.
    QByteArray takeFirstLine();
    int pendingLines() const;

    // Blocks until every line handed over so far has been coded into the item, or until
    // *stop becomes true (checked every few milliseconds when given). True when drained.
    bool waitUntilDrained(const std::atomic<bool> *stop = nullptr);

    // Codes one line of colour bytes (3 per LED) the way the display reads it: bits 7 to 2
    // of every byte as six consecutive bit planes in one MSB-first stream; the bits of an
    // incomplete last byte are dropped. Result: lineBlockSize(triples.size() / 3) bytes for
    // whole triples.
    static QByteArray codeLine(const QByteArray &triples);
    // Appends the 1 to 4096 zero bytes that bring data to the next whole 4096-byte block
    // (a full block when the length is already a multiple of 4096).
    static void appendPadding(QByteArray &data);
    // Number of zero bytes appendPadding() adds to data of this length.
    static int paddingFor(qint64 length);
    // Bytes of one coded line for ledCount LEDs: floor(18 * ledCount / 8).
    static int lineBlockSize(int ledCount);
    // Length of a picture's padded LED data for this geometry.
    static qint64 ledDataLength(int ledCount, int lineNumber);

protected:
    void run() override;

private:
    QList<QByteArray> queue;
    ImageObject *item;
    std::atomic<bool> running{true};
    // Standard primitives rather than QMutex/QWaitCondition: the latter are opaque to
    // ThreadSanitizer in a Qt that was not built with it.
    mutable std::mutex queueMutex;
    std::condition_variable lineAdded;
    std::condition_variable drained;
    // Lines taken from the queue whose block is not yet in the item.
    int linesInWork = 0;
};
