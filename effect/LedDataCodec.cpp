#include "effect/LedDataCodec.h"

#include "model/DataBitCalculation.h"

namespace {
constexpr int kHighestPlane = 7;
constexpr int kLowestPlane = 2;
} // namespace

QByteArray LedDataCodec::codeSlottedRecord(const QByteArray &grbTriples, int ledCount,
                                           int lineNumber)
{
    const int lineBytes = 3 * ledCount;
    QByteArray coded;
    coded.reserve(DataBitCalculation::ledDataLength(ledCount, lineNumber));
    QByteArray line(lineBytes, '\0');
    for (int k = 0; k < lineNumber; ++k) {
        const char *in = grbTriples.constData() + qint64(k) * lineBytes;
        char *out = line.data();
        for (int i = 0; i < lineBytes; i += 3) {
            out[i] = in[i + 2];     // blue
            out[i + 1] = in[i];     // green
            out[i + 2] = in[i + 1]; // red
        }
        coded.append(DataBitCalculation::codeLine(line));
    }
    DataBitCalculation::appendPadding(coded);
    return coded;
}

QByteArray LedDataCodec::decodeLine(const char *block, int blockSize, int ledCount)
{
    const int lineBytes = 3 * ledCount;
    QByteArray triples(lineBytes, '\0');
    char *out = triples.data();
    const qint64 storedBits = qint64(blockSize) * 8;
    qint64 j = 0;
    for (int plane = kHighestPlane; plane >= kLowestPlane; --plane) {
        for (int b = 0; b < lineBytes; ++b, ++j) {
            if (j >= storedBits)
                return triples;
            const int bit = (quint8(block[j >> 3]) >> (7 - (j & 7))) & 1;
            out[b] = char(quint8(out[b]) | (bit << plane));
        }
    }
    return triples;
}

QByteArray LedDataCodec::decodeToSlottedTriples(const QByteArray &ledData, int ledCount,
                                                int lineNumber)
{
    const int blockSize = DataBitCalculation::lineBlockSize(ledCount);
    const int lineBytes = 3 * ledCount;
    QByteArray triples;
    if (blockSize <= 0)
        return triples;
    const int lines = int(qMin<qint64>(lineNumber, ledData.size() / blockSize));
    triples.reserve(qint64(lines) * lineBytes);
    for (int k = 0; k < lines; ++k) {
        const QByteArray bgr =
            decodeLine(ledData.constData() + qint64(k) * blockSize, blockSize, ledCount);
        for (int i = 0; i < lineBytes; i += 3) {
            triples.append(bgr[i + 1]); // green
            triples.append(bgr[i + 2]); // red
            triples.append(bgr[i]);     // blue
        }
    }
    return triples;
}
