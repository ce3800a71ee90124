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

    // A GIF frame as the GIF import cuts it when its region is accepted untouched: the
    // 450 x 450 square centred on the frame, clipped to the frame, centred on black.
    static QImage cutGifFrame(const QImage &frame);
    // languageCode of a --lang name, -1 for an unknown one.
    static int languageCodeOf(const QString &name);
};
