#pragma once

#include <QByteArray>

// Converts between the two record forms of effect files: LED colour triples as the slotted
// layout stores them (green, red, blue per LED) and LED data as the display plays it
// (bit planes of blue, green, red triples, padded to whole 4096-byte blocks).
class LedDataCodec
{
public:
    // Codes one slotted record (3 x ledCount x lineNumber bytes in green, red, blue order)
    // into padded LED data, exactly as a conversion of the same colours would.
    static QByteArray codeSlottedRecord(const QByteArray &grbTriples, int ledCount,
                                        int lineNumber);

    // Decodes LED data back into green, red, blue triples for drawing a preview. Bits 1 and
    // 0 were never stored and come back as zero, as do bits cut from an incomplete last byte
    // of a line. Data shorter than the geometry decodes the lines it holds.
    static QByteArray decodeToSlottedTriples(const QByteArray &ledData, int ledCount,
                                             int lineNumber);

    // Decodes one coded line block into blue, green, red triples of ledCount LEDs.
    static QByteArray decodeLine(const char *block, int blockSize, int ledCount);
};
