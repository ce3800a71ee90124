#pragma once

#include "cli/CliCommand.h"

// hologram-cli inspect SHOW.hdshow [--json]: a show file's items, geometry, sampling,
// language and show length, read without converting or extracting anything.
class ShowInfoCommand : public CliCommand
{
public:
    QString name() const override;
    QString help() const override;
    // Takes the inspection only of a show file.
    bool accepts(const QStringList &arguments) const override;
    int run(const QStringList &arguments) override;
};
