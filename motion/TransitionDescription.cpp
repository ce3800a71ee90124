#include "motion/TransitionDescription.h"

#include <QJsonValue>

#include <array>
#include <cmath>
#include <utility>

namespace {

const std::array<std::pair<TransitionDescription::Kind, const char *>, 5> kKindNames{{
    {TransitionDescription::Kind::CrossFade, "fade"},
    {TransitionDescription::Kind::ClockWipe, "clock"},
    {TransitionDescription::Kind::IrisIn, "iris-in"},
    {TransitionDescription::Kind::IrisOut, "iris-out"},
    {TransitionDescription::Kind::SpinIn, "spin"},
}};

constexpr int kFrameMs = 100;

} // namespace

int TransitionDescription::frameCount() const
{
    if (!std::isfinite(seconds) || seconds <= 0.0)
        return 0;
    return int(std::lround(qMin(seconds, kMaxSeconds) * 1000.0 / kFrameMs));
}

Outcome TransitionDescription::check() const
{
    if (!std::isfinite(seconds) || seconds < kMinSeconds - 1e-9 || seconds > kMaxSeconds + 1e-9)
        return Outcome::failure(QStringLiteral("a transition lasts from %1 to %2 seconds, not %3")
                                    .arg(kMinSeconds).arg(kMaxSeconds).arg(seconds));
    if (kindName(kind).isEmpty())
        return Outcome::failure(QStringLiteral("unknown transition %1").arg(int(kind)));
    return Outcome::success();
}

QJsonObject TransitionDescription::toJson() const
{
    return QJsonObject{{QStringLiteral("kind"), kindName(kind)},
                       {QStringLiteral("seconds"), seconds}};
}

Outcome TransitionDescription::fromJson(const QJsonObject &json, TransitionDescription *wanted)
{
    TransitionDescription read;
    const QJsonValue kind = json.value(QLatin1String("kind"));
    const QJsonValue seconds = json.value(QLatin1String("seconds"));
    if (!kind.isString() || !kindFromName(kind.toString(), &read.kind))
        return Outcome::failure(QStringLiteral("unknown transition \"%1\"")
                                    .arg(kind.toVariant().toString()));
    if (!seconds.isDouble())
        return Outcome::failure(QStringLiteral("the transition's length is not a number"));
    read.seconds = seconds.toDouble();
    if (const Outcome checked = read.check(); !checked)
        return checked;
    *wanted = read;
    return Outcome::success();
}

QString TransitionDescription::kindName(Kind kind)
{
    for (const auto &[value, name] : kKindNames) {
        if (value == kind)
            return QLatin1String(name);
    }
    return {};
}

bool TransitionDescription::kindFromName(const QString &name, Kind *kind)
{
    for (const auto &[value, known] : kKindNames) {
        if (name == QLatin1String(known)) {
            *kind = value;
            return true;
        }
    }
    return false;
}

Outcome TransitionDescription::parse(const QString &text, TransitionDescription *wanted)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString name = colon < 0 ? text : text.left(colon);
    TransitionDescription read;
    if (!kindFromName(name, &read.kind))
        return Outcome::failure(
            QStringLiteral("unknown transition \"%1\" (fade, clock, iris-in, iris-out, spin)")
                .arg(name));
    if (colon >= 0) {
        bool ok = false;
        read.seconds = text.mid(colon + 1).toDouble(&ok);
        if (!ok)
            return Outcome::failure(
                QStringLiteral("the transition's length \"%1\" is not a number of seconds")
                    .arg(text.mid(colon + 1)));
    }
    if (const Outcome checked = read.check(); !checked)
        return checked;
    *wanted = read;
    return Outcome::success();
}
