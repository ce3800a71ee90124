#include "ui/playlist/RowPainter.h"

#include "ui/playlist/RowGeometry.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QtMath>

RowPainter::RowPainter(QPainter *painter, const QStyleOptionViewItem &option)
    : painter(painter), option(option), widget(option.widget),
      style(option.widget ? option.widget->style() : QApplication::style())
{
}

namespace {

QPalette::ColorGroup groupOf(const QStyleOptionViewItem &option)
{
    if (!(option.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
}

} // namespace

void RowPainter::fillSelection()
{
    if (!(option.state & QStyle::State_Selected))
        return;
    painter->fillRect(option.rect, option.palette.brush(groupOf(option), QPalette::Highlight));
}

QColor RowPainter::textColour() const
{
    return option.palette.color(groupOf(option), (option.state & QStyle::State_Selected)
                                                     ? QPalette::HighlightedText
                                                     : QPalette::Text);
}

void RowPainter::prepare(QStyleOption &styled, QStyle::State state, const QRect &rect) const
{
    styled.direction = option.direction;
    styled.fontMetrics = painter->fontMetrics();
    styled.palette = option.palette;
    styled.state = state;
    styled.rect = rect;
}

void RowPainter::drawComboBox(const QRect &rect, const QString &text)
{
    QStyleOptionComboBox combo;
    prepare(combo, QStyle::State_Enabled, rect);
    combo.currentText = text;
    combo.frame = true;
    combo.editable = false;
    style->drawComplexControl(QStyle::CC_ComboBox, &combo, painter, widget);
    style->drawControl(QStyle::CE_ComboBoxLabel, &combo, painter, widget);
}

void RowPainter::drawCentredText(const QRect &rect, const QString &text)
{
    painter->drawText(rect, Qt::AlignCenter, text);
}

void RowPainter::drawPlainText(const QRect &rect, const QString &text)
{
    // A default option wraps: a width a fraction of a pixel short pushed the last word (or CJK
    // character) onto a second line outside the row.
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    painter->drawText(QRectF(rect), text, option);
}

void RowPainter::drawLineEdit(const QRect &rect, const QString &text)
{
    QStyleOptionFrame frame;
    prepare(frame, QStyle::State_Enabled | QStyle::State_Sunken, rect);
    frame.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, widget);
    frame.midLineWidth = 0;
    style->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, painter, widget);
    painter->drawText(rect, Qt::AlignCenter, text);
}

void RowPainter::drawIconButton(const QRect &rect, const QString &iconPath)
{
    QStyleOptionButton button;
    prepare(button, QStyle::State_Enabled | QStyle::State_Raised, rect);
    button.features = QStyleOptionButton::Flat;
    button.icon = QIcon(iconPath);
    button.iconSize = QSize(16, 16);
    style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
}

int RowPainter::fieldWidth() const
{
    return RowGeometry::fieldWidth(painter->fontMetrics());
}

int RowPainter::textWidth(const QString &text) const
{
    // Rounded up: the drawn text is laid out at fractional widths.
    return qCeil(QFontMetricsF(painter->font(), painter->device()).horizontalAdvance(text));
}
