#include "cli/GeometryOptions.h"

#include "app/AppGlobals.h"
#include "cli/CliCommand.h"

GeometryOptions::GeometryOptions()
    : leds(QStringLiteral("leds"), QStringLiteral("LED count"), QStringLiteral("N"),
           QString::number(kDefaultLedCount)),
      lines(QStringLiteral("lines"), QStringLiteral("line number"), QStringLiteral("L"),
            QString::number(kDefaultLineNumber))
{
}

void GeometryOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOption(leds);
    parser.addOption(lines);
}

bool GeometryOptions::read(const QCommandLineParser &parser, int *ledValue, int *lineValue,
                           QString *error) const
{
    if (!CliCommand::readWholeNumber(parser.value(leds), 1, kMaxLedCount, ledValue)) {
        *error = QStringLiteral("--leds must be a whole number from 1 to %1").arg(kMaxLedCount);
        return false;
    }
    if (!CliCommand::readWholeNumber(parser.value(lines), 1, kMaxLineNumber, lineValue)) {
        *error = QStringLiteral("--lines must be a whole number from 1 to %1")
                     .arg(kMaxLineNumber);
        return false;
    }
    return true;
}
