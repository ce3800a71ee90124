#pragma once

#include "cli/CliCommand.h"

// hologram-cli render FILE.bin -o OUT.mp4|OUT.avi [--size PX] [--fps N] [--leds N]
// [--lines L] [--loop-once]: a video of the show exactly as the file holds it.
class RenderCommand : public CliCommand
{
public:
    static constexpr int kMinSide = 16;
    static constexpr int kMaxSide = 2000;
    static constexpr int kMaxFps = 60;

    QString name() const override;
    QString help() const override;
    int run(const QStringList &arguments) override;
};
