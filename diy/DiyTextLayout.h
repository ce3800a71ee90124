#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

// Lays typed text out as a picture of its own size, transparent around the glyphs:
// horizontally, one character per line, or around a ring (first character at the top,
// running counter-clockwise, each upright).
class DiyTextLayout
{
public:
    enum Style { Horizontal = 0, Vertical = 1, Ring = 2 };

    // Null when there is nothing to show (no text, an unknown style, a ring radius under 1).
    static QImage render(const QString &text, const QFont &font, const QColor &color,
                         int style, int radius);
    // Where the baseline origin of each of count characters sits on a ring of this radius,
    // less the line height (block coordinates; the block's centre is (radius, radius)).
    static QList<QPoint> ringPoints(int count, int radius);

private:
    static QImage horizontal(const QStringList &chars, const QFont &font, const QColor &color);
    static QImage vertical(const QStringList &chars, const QFont &font, const QColor &color);
    static QImage ring(const QStringList &chars, const QFont &font, const QColor &color,
                       int radius);
    static QImage blankBlock(int width, int height);
};
