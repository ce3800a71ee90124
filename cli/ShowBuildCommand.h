#pragma once

#include "cli/CliCommand.h"

// hologram-cli build --show SHOW.hdshow -o OUT.bin: writes the effect file the window's
// download writes for that show, from the LED data the show keeps (at the show's own
// geometry, with the language it was saved with).
class ShowBuildCommand : public CliCommand
{
public:
    QString name() const override;
    QString help() const override;
    // Takes the build only when it names a show.
    bool accepts(const QStringList &arguments) const override;
    int run(const QStringList &arguments) override;
};
