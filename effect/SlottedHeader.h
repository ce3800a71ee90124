#pragma once

#include <QByteArray>
#include <array>
#include <optional>

// The 120-byte header of the slotted layout: clip frame and loop counts, picture count and
// the display time of each of the 100 picture slots.
struct SlottedHeader
{
    std::array<int, 5> frameCounts{};
    std::array<int, 5> loopCounts{};
    int pictureCount = 0;
    std::array<int, 100> timeBytes{}; // units of 0.2 s

    // Frames of all five clips.
    int totalFrames() const;

    // nullopt when fewer than 120 bytes are given.
    static std::optional<SlottedHeader> parse(const QByteArray &bytes);
};
