#include "cli/GeometryOptions.h"

#include "app/AppGlobals.h"

namespace {
bool parseRange(const QString &text, int low, int high, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= low && *value <= high;
}
} // namespace

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
    if (!parseRange(parser.value(leds), 1, kMaxLedCount, ledValue)) {
        *error = QStringLiteral("--leds must be a whole number from 1 to %1").arg(kMaxLedCount);
        return false;
    }
    if (!parseRange(parser.value(lines), 1, kMaxLineNumber, lineValue)) {
        *error = QStringLiteral("--lines must be a whole number from 1 to %1")
                     .arg(kMaxLineNumber);
        return false;
    }
    return true;
}
