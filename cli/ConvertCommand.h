#pragma once

#include "cli/CliCommand.h"

// hologram-cli convert INPUT -o OUT.buf [--preview OUT.png] [--leds N] [--lines L]
// Writes exactly the LED data a picture item's ".buf" holds for INPUT under that geometry.
class ConvertCommand : public CliCommand
{
public:
    QString name() const override;
    QString help() const override;
    int run(const QStringList &arguments) override;
};
