#include "cli/GeometryOptions.h"

#include "app/AppGlobals.h"
#include "cli/CliCommand.h"
#include "effect/EffectFileInfo.h"

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

QString GeometryOptions::adoptFittingGeometry(const QCommandLineParser &parser, const QString &path,
                                              int *leds, int *lines) const
{
    if (parser.isSet(this->leds) || parser.isSet(this->lines))
        return {};
    const auto asGiven = EffectFileInfo::inspect(path, *leds, *lines, nullptr);
    if (!asGiven || asGiven->layout != EffectFileInfo::Layout::Slotted || asGiven->lengthAgrees())
        return {};
    int found = 0, foundLeds = 0, foundLines = 0;
    for (const auto &[l, n] : {std::pair{36, 360}, std::pair{kDefaultLedCount, kDefaultLineNumber}}) {
        if (l == *leds && n == *lines)
            continue;
        const auto info = EffectFileInfo::inspect(path, l, n, nullptr);
        if (info && info->lengthAgrees()) {
            ++found;
            foundLeds = l;
            foundLines = n;
        }
    }
    if (found != 1)
        return {};
    *leds = foundLeds;
    *lines = foundLines;
    return QStringLiteral("the slotted file's length fits %1 x %2; read as that geometry")
        .arg(foundLeds)
        .arg(foundLines);
}
