#include "effect/SlottedHeader.h"

#include "effect/EffectFormat.h"

namespace {
constexpr int kFrameCountOffset = 7;
constexpr int kLoopCountOffset = 12;
constexpr int kPictureCountOffset = 19;
constexpr int kTimeOffset = 20;
} // namespace

int SlottedHeader::totalFrames() const
{
    int total = 0;
    for (int count : frameCounts)
        total += count;
    return total;
}

std::optional<SlottedHeader> SlottedHeader::parse(const QByteArray &bytes)
{
    if (bytes.size() < EffectFormat::kSlottedHeaderSize)
        return std::nullopt;
    auto byteAt = [&bytes](int offset) { return int(quint8(bytes[offset])); };
    SlottedHeader header;
    for (int j = 0; j < EffectFormat::kClipPositions; ++j) {
        header.frameCounts[j] = byteAt(kFrameCountOffset + j);
        header.loopCounts[j] = byteAt(kLoopCountOffset + j);
    }
    header.pictureCount = byteAt(kPictureCountOffset);
    for (int i = 0; i < EffectFormat::kSlotCount; ++i)
        header.timeBytes[i] = byteAt(kTimeOffset + i);
    return header;
}
