#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// The font a text clip is drawn with: the chosen family first, then faces that cover Latin,
// simplified and traditional Chinese, Japanese and emoji, so text in any of the interface's
// languages never shows as boxes whatever family was chosen.
class MotionFont
{
public:
    // The families tried after the chosen one, in order.
    static QStringList fallbackFamilies();
    // family may be empty (the default sans-serif face first).
    static QFont font(const QString &family, int pixelSize);
};
