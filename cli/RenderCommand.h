#pragma once

#include "cli/CliCommand.h"

// hologram-cli render FILE.bin -o OUT.mp4|OUT.avi [--size PX] [--fps N] [--leds N]
// [--lines L] [--loop-once] [--max-frames N]: a video of the show exactly as the file holds it.
class RenderCommand : public CliCommand
{
public:
    static constexpr int kMinSide = 16;
    static constexpr int kMaxSide = 2000;
    static constexpr int kMaxFps = 60;
    // Frames rendered without --max-frames: 2 h 46 min at the default 10 fps.
    static constexpr int kDefaultMaxFrames = 100000;

    QString name() const override;
    QString help() const override;
    int run(const QStringList &arguments) override;
};
