#pragma once

#include "cli/CliCommand.h"

// hologram-cli inspect FILE.bin [--json] [--leds N] [--lines L]: layout, language, record
// count, segment table or slotted header, and whether the length fits the geometry.
class EffectInfoCommand : public CliCommand
{
public:
    QString name() const override;
    QString help() const override;
    int run(const QStringList &arguments) override;
};
