#include "diy/DiyTextLayout.h"

#include "diy/DiyLog.h"

#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QStringList>

namespace {

// The text as its characters (a surrogate pair stays one character).
QStringList charactersOf(const QString &text)
{
    QStringList chars;
    for (const char32_t c : text.toUcs4())
        chars.append(QString::fromUcs4(&c, 1));
    return chars;
}

bool isCjk(const QString &ch)
{
    const char32_t c = ch.toUcs4().value(0);
    return c >= 0x4E00 && c <= 0x9FA5;
}

} // namespace

QImage DiyTextLayout::render(const QString &text, const QFont &font, const QColor &color,
                             int style, int radius)
{
    const QStringList chars = charactersOf(text);
    if (chars.isEmpty())
        return QImage();
    switch (style) {
    case Horizontal: return horizontal(chars, font, color);
    case Vertical: return vertical(chars, font, color);
    case Ring: return radius < 1 ? QImage() : ring(chars, font, color, radius);
    default: return QImage();
    }
}

QImage DiyTextLayout::blankBlock(int width, int height)
{
    if (width < 1 || height < 1)
        return QImage();
    QImage block(width, height, QImage::Format_ARGB32_Premultiplied);
    block.fill(Qt::transparent);
    return block;
}

QImage DiyTextLayout::horizontal(const QStringList &chars, const QFont &font, const QColor &color)
{
    const QFontMetrics fm(font);
    const QString text = chars.join(QString());
    QImage block = blankBlock(fm.horizontalAdvance(text), fm.height() + 8);
    if (block.isNull())
        return block;
    QPainter painter(&block);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPoint(0, fm.height()), text);
    return block;
}

QImage DiyTextLayout::vertical(const QStringList &chars, const QFont &font, const QColor &color)
{
    const QFontMetrics fm(font);
    const int h = fm.height();
    const int wideCell = fm.horizontalAdvance(QStringLiteral("国"));
    const int narrowCell = fm.horizontalAdvance(QStringLiteral("A"));
    int width = 0;
    for (const QString &ch : chars)
        width = qMax(width, isCjk(ch) ? wideCell : narrowCell);
    QImage block = blankBlock(width, h * int(chars.size()));
    if (block.isNull())
        return block;
    QPainter painter(&block);
    painter.setFont(font);
    painter.setPen(color);
    for (int i = 0; i < chars.size(); ++i) {
        const int cell = isCjk(chars[i]) ? wideCell : narrowCell;
        painter.drawText(QRect(0, i * h, cell, h), Qt::AlignCenter, chars[i]);
    }
    return block;
}

QList<QPoint> DiyTextLayout::ringPoints(int count, int radius)
{
    QList<QPoint> points;
    if (count < 1)
        return points;
    const double step = 360.0 / count;
    for (int i = 0; i < count; ++i) {
        QLineF line(radius, radius, radius, 1);
        line.setAngle(90.0 + i * step);
        qCDebug(lcDiy) << "DiyPainter::onTextPressEnter start point " << line.p1()
                       << ", end point " << line.p2();
        points.append(line.p2().toPoint());
    }
    return points;
}

QImage DiyTextLayout::ring(const QStringList &chars, const QFont &font, const QColor &color,
                           int radius)
{
    const QFontMetrics fm(font);
    const int h = fm.height();
    QImage block = blankBlock(fm.horizontalAdvance(QStringLiteral("国")) + 2 * radius,
                              2 * radius + h);
    if (block.isNull())
        return block;
    const QList<QPoint> points = ringPoints(int(chars.size()), radius);
    QPainter painter(&block);
    painter.setFont(font);
    painter.setPen(color);
    for (int i = 0; i < chars.size(); ++i)
        painter.drawText(points[i] + QPoint(0, h), chars[i]);
    return block;
}
