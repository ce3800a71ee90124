#pragma once

#include <QByteArray>
#include <QtGlobal>

// Constants and small value rules shared by the effect writer and reader.
class EffectFormat
{
public:
    // Indexed layout (written by every download).
    static constexpr int kHeaderSize = 4096;
    static constexpr int kStartMagicOffset = 1;
    static constexpr int kRecordCountOffset = 8;
    static constexpr int kSegmentTableOffset = 16;
    static constexpr int kSegmentEntrySize = 6;
    static constexpr int kMaxSegments = 500;
    static constexpr int kEndMagicOffset = 3024;
    static constexpr int kMaxRecords = 0xFFFF;

    // Slotted layout (factory and display files).
    static constexpr int kSlottedHeaderSize = 120;
    static constexpr int kSlotCount = 100;
    static constexpr int kClipPositions = 5;
    static constexpr int kMaxReadPictures = 50;

    // Frames one clip may hold: the writer refuses longer clips and the reader files that
    // claim them (100 s at ten frames a second).
    static constexpr int kMaxClipFrames = 1000;
    // Frames of all clips that one read makes items for: five clips of the longest kind,
    // as many clip positions as the slotted layout has.
    static constexpr int kMaxReadClipFrames = kClipPositions * kMaxClipFrames;

    // Time byte 1 marks a clip segment, so pictures never use it.
    static constexpr int kClipTimeByte = 1;
    static constexpr int kMinPictureTimeByte = 2;

    static QByteArray startMagic();
    static QByteArray endMagic();

    // 0x22 for English (3), 0x11 for both Chinese variants (1, 2), 0x00 otherwise.
    static quint8 languageByte(int languageCode);

    // Display time in whole tenths of a second, rounded to the nearest tenth so that a
    // double like 5.3999999 still counts as 54. Negative or NaN times give 0; huge ones are
    // capped at the longest storable time.
    static qint64 tenthsOf(double seconds);

    // How a picture's time is stored: the display plays `time` tenths `repeat` times.
    struct PictureTiming
    {
        int time = kMinPictureTimeByte;
        int repeat = 1;
        qint64 tenths() const { return qint64(time) * repeat; }
    };
    // Up to 25.5 s: (tenths, 1). Longer: time in 2..255 and repeat in 1..255 whose product is
    // the tenths count, or the nearest such product when none is exact.
    static PictureTiming pictureTiming(qint64 tenths);

    // Loop counts are one byte on the display and 0 would mean "never": clamp to 1..255.
    static int loopByte(int loopCount);

    // Length of one record of LED colour triples (slotted layout).
    static qint64 tripleRecordLength(int ledCount, int lineNumber);
};
