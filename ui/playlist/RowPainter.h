#pragma once

#include <QRect>
#include <QStyle>
#include <QString>

class QFontMetrics;
class QPainter;
class QStyleOption;
class QStyleOptionViewItem;
class QWidget;

// Draws the controls of a playlist row editor with the application style, so that a painted
// row looks like the row with its editor open. Used by both list delegates.
class RowPainter
{
public:
    RowPainter(QPainter *painter, const QStyleOptionViewItem &option);

    // Fills a selected row with the highlight brush of the view's colour group.
    void fillSelection();
    // The palette's text colour of the row: highlighted text on a selected row.
    QColor textColour() const;
    void drawComboBox(const QRect &rect, const QString &text);
    void drawCentredText(const QRect &rect, const QString &text);
    // Text at the rectangle's top-left with default text options.
    void drawPlainText(const QRect &rect, const QString &text);
    void drawLineEdit(const QRect &rect, const QString &text);
    void drawIconButton(const QRect &rect, const QString &iconPath);

    // Width of the time and loop fields: the text "8" plus 40.
    int fieldWidth() const;
    int textWidth(const QString &text) const;

private:
    // The parts every drawn control shares: the view's direction and palette, the painter's
    // font, state and rect.
    void prepare(QStyleOption &styled, QStyle::State state, const QRect &rect) const;

    QPainter *painter;
    const QStyleOptionViewItem &option;
    const QWidget *widget;
    QStyle *style;
};
