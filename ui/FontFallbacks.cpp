#include "ui/FontFallbacks.h"

#include <QFont>

namespace {
// fonts-noto-cjk (installed by the setup script) first, WenQuanYi where that is what exists.
const QStringList kSerif{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                         QStringLiteral("WenQuanYi Zen Hei")};
const QStringList kSans{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")};
} // namespace

QStringList FontFallbacks::namedFamilies()
{
    return {QStringLiteral("新宋体"), QStringLiteral("黑体")};
}

QStringList FontFallbacks::standIns(const QString &family)
{
    if (family == QStringLiteral("新宋体"))
        return kSerif;
    if (family == QStringLiteral("黑体"))
        return kSans;
    return {};
}

void FontFallbacks::install()
{
    for (const QString &family : namedFamilies())
        QFont::insertSubstitutions(family, standIns(family));
}
