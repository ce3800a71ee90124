#pragma once

#include "diy/DiyToolStyle.h"

#include <QBrush>
#include <QPen>
#include <QPoint>
#include <QRect>

#include <memory>

class QPainter;

// One drawing tool of the canvas: how it paints a figure between the press point and the
// mouse. Freehand tools paint every mouse-move segment straight into the picture; figure
// tools are previewed while dragged and float when released.
class DiyTool
{
public:
    enum Number {
        Pen = 1, Line = 2, Rect = 3, RoundRect = 4, Ellipse = 5, Text = 6, Move = 7, Eraser = 8
    };

    virtual ~DiyTool();

    // The tool with this number; null for text and move, which draw no figure.
    static std::unique_ptr<DiyTool> create(int number);

    virtual bool isFreehand() const { return false; }
    // Paints the figure from 'from' to 'to'.
    void draw(QPainter &painter, const QPoint &from, const QPoint &to,
              const DiyToolStyle &style) const;
    // The rectangle a figure from 'from' to 'to' may cover, the pen's width around it.
    static QRect bounds(const QPoint &from, const QPoint &to, const DiyToolStyle &style);
    // The same with the width this tool paints with.
    QRect area(const QPoint &from, const QPoint &to, const DiyToolStyle &style) const;

protected:
    virtual int lineWidth(const DiyToolStyle &style) const { return style.penWidth; }
    virtual QPen pen(const DiyToolStyle &style) const;
    virtual QBrush brush(const DiyToolStyle &style) const;
    virtual void drawFigure(QPainter &painter, const QPoint &from, const QPoint &to) const = 0;
};
