#pragma once

#include "cli/CliCommand.h"

// hologram-cli preview FILE.bin -o DIR [--leds N] [--lines L]: the round preview of every
// picture and clip frame as PNG files.
class PreviewCommand : public CliCommand
{
public:
    QString name() const override;
    QString help() const override;
    int run(const QStringList &arguments) override;
};
