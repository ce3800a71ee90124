#include "motion/MotionFont.h"

QStringList MotionFont::fallbackFamilies()
{
    // Debian's fonts-noto-cjk and fonts-dejavu-core; the CJK faces share their kana and
    // Latin, and differ in the forms of Han characters, so the common one comes first.
    return {QStringLiteral("DejaVu Sans"),         QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("Noto Sans CJK TC"),    QStringLiteral("Noto Sans CJK HK"),
            QStringLiteral("Noto Sans CJK JP"),    QStringLiteral("Noto Color Emoji"),
            QStringLiteral("Noto Sans Symbols 2")};
}

QFont MotionFont::font(const QString &family, int pixelSize)
{
    QStringList families;
    if (!family.trimmed().isEmpty())
        families << family.trimmed();
    families << fallbackFamilies();
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, pixelSize));
    // Same glyph shapes on every run and thread: no hinting that depends on the screen.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}
