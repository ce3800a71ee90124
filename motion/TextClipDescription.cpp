#include "motion/TextClipDescription.h"

#include <QJsonValue>

#include <array>
#include <cmath>
#include <utility>

namespace {

const std::array<std::pair<TextClipDescription::Motion, const char *>, 8> kMotionNames{{
    {TextClipDescription::Motion::RingCounterClockwise, "ring"},
    {TextClipDescription::Motion::RingClockwise, "ring-cw"},
    {TextClipDescription::Motion::SlideLeft, "left"},
    {TextClipDescription::Motion::SlideRight, "right"},
    {TextClipDescription::Motion::SlideUp, "up"},
    {TextClipDescription::Motion::SlideDown, "down"},
    {TextClipDescription::Motion::Stand, "stand"},
    {TextClipDescription::Motion::Blink, "blink"},
}};

bool opaqueColor(const QColor &color)
{
    return color.isValid() && color.alpha() == 255;
}

} // namespace

int TextClipDescription::frameCount() const
{
    if (!std::isfinite(seconds) || seconds <= 0.0)
        return 0;
    return int(std::lround(qMin(seconds, kMaxSeconds) * 1000.0 / kFrameMs));
}

Outcome TextClipDescription::check() const
{
    if (text.trimmed().isEmpty())
        return Outcome::failure(QStringLiteral("the text is empty: type the text the clip shows"));
    if (text.toUcs4().size() > kMaxCharacters)
        return Outcome::failure(QStringLiteral("the text is longer than %1 characters")
                                    .arg(kMaxCharacters));
    if (!std::isfinite(seconds) || seconds < kMinSeconds - 1e-9 || seconds > kMaxSeconds + 1e-9)
        return Outcome::failure(QStringLiteral("a text clip lasts from %1 to %2 seconds, not %3")
                                    .arg(kMinSeconds).arg(kMaxSeconds).arg(seconds));
    if (pixelSize < kMinPixelSize || pixelSize > kMaxPixelSize)
        return Outcome::failure(QStringLiteral("the text size must be from %1 to %2 pixels")
                                    .arg(kMinPixelSize).arg(kMaxPixelSize));
    if (speed < kMinSpeed || speed > kMaxSpeed)
        return Outcome::failure(
            QStringLiteral("the speed must be from %1 to %2").arg(kMinSpeed).arg(kMaxSpeed));
    if (!opaqueColor(color) || !opaqueColor(backgroundColor))
        return Outcome::failure(QStringLiteral("the text and background colours must be opaque"));
    if (motionName(motion).isEmpty())
        return Outcome::failure(QStringLiteral("unknown motion %1").arg(int(motion)));
    return Outcome::success();
}

QJsonObject TextClipDescription::toJson() const
{
    return QJsonObject{
        {QStringLiteral("text"), text},
        {QStringLiteral("font"), fontFamily},
        {QStringLiteral("size"), pixelSize},
        {QStringLiteral("color"), color.name(QColor::HexRgb)},
        {QStringLiteral("background"), backgroundColor.name(QColor::HexRgb)},
        {QStringLiteral("backgroundPicture"), backgroundPath},
        {QStringLiteral("motion"), motionName(motion)},
        {QStringLiteral("speed"), speed},
        {QStringLiteral("seconds"), seconds},
    };
}

Outcome TextClipDescription::fromJson(const QJsonObject &json, TextClipDescription *wanted)
{
    TextClipDescription read;
    auto wrongType = [](const char *key) {
        return Outcome::failure(QStringLiteral("the text clip's \"%1\" is not of its kind")
                                    .arg(QLatin1String(key)));
    };
    auto text = [&json](const char *key, QString *value) {
        const QJsonValue v = json.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isString())
            return false;
        *value = v.toString();
        return true;
    };
    auto number = [&json](const char *key, double *value) {
        const QJsonValue v = json.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isDouble())
            return false;
        *value = v.toDouble();
        return true;
    };
    auto whole = [&number](const char *key, int *value) {
        double v = *value;
        if (!number(key, &v) || v != std::trunc(v) || std::abs(v) > 1e6)
            return false;
        *value = int(v);
        return true;
    };
    QString colorName = read.color.name(), backgroundName = read.backgroundColor.name();
    QString motion = motionName(read.motion);
    if (!text("text", &read.text))
        return wrongType("text");
    if (!text("font", &read.fontFamily))
        return wrongType("font");
    if (!whole("size", &read.pixelSize))
        return wrongType("size");
    if (!text("color", &colorName))
        return wrongType("color");
    if (!text("background", &backgroundName))
        return wrongType("background");
    if (!text("backgroundPicture", &read.backgroundPath))
        return wrongType("backgroundPicture");
    if (!text("motion", &motion))
        return wrongType("motion");
    if (!whole("speed", &read.speed))
        return wrongType("speed");
    if (!number("seconds", &read.seconds))
        return wrongType("seconds");
    read.color = QColor::fromString(colorName);
    read.backgroundColor = QColor::fromString(backgroundName);
    if (!motionFromName(motion, &read.motion))
        return Outcome::failure(QStringLiteral("unknown motion \"%1\"").arg(motion));
    if (const Outcome checked = read.check(); !checked)
        return checked;
    *wanted = read;
    return Outcome::success();
}

QString TextClipDescription::motionName(Motion motion)
{
    for (const auto &[value, name] : kMotionNames) {
        if (value == motion)
            return QLatin1String(name);
    }
    return {};
}

bool TextClipDescription::motionFromName(const QString &name, Motion *motion)
{
    for (const auto &[value, known] : kMotionNames) {
        if (name == QLatin1String(known)) {
            *motion = value;
            return true;
        }
    }
    return false;
}
