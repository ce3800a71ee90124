#pragma once

#include "cli/CliCommand.h"

#include <QImage>

// hologram-cli build -o OUT.bin [--lang L] [--time S] [--loops N] [--leds N] [--lines L]
// FILE...: converts pictures and GIFs and writes them as one effect file, the way the
// window's download does.
class BuildCommand : public CliCommand
{
public:
    QString name() const override;
    QString help() const override;
    int run(const QStringList &arguments) override;

    // languageCode of a --lang name, -1 for an unknown one.
    static int languageCodeOf(const QString &name);
};
