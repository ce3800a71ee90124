#pragma once

#include <QStringList>

// The Windows font families the forms name ("新宋体" for the playlists, "黑体" for DIY text)
// do not exist on Linux; without a stand-in Qt falls back to a Latin face and CJK texts can
// show as boxes. install() maps each of them onto the CJK fonts that Debian's packages bring.
class FontFallbacks
{
public:
    // The named families and the stand-ins tried for them, in order.
    static QStringList namedFamilies();
    static QStringList standIns(const QString &family);
    // Registers the substitutions with QFont; call once after the application exists.
    static void install();
};
