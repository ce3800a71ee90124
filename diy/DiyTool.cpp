#include "diy/DiyTool.h"

#include "diy/EllipseTool.h"
#include "diy/EraserTool.h"
#include "diy/LineTool.h"
#include "diy/PenTool.h"
#include "diy/RectTool.h"
#include "diy/RoundRectTool.h"

#include <QPainter>

DiyTool::~DiyTool() = default;

std::unique_ptr<DiyTool> DiyTool::create(int number)
{
    switch (number) {
    case Pen: return std::make_unique<PenTool>();
    case Line: return std::make_unique<LineTool>();
    case Rect: return std::make_unique<RectTool>();
    case RoundRect: return std::make_unique<RoundRectTool>();
    case Ellipse: return std::make_unique<EllipseTool>();
    case Eraser: return std::make_unique<EraserTool>();
    default: return nullptr;
    }
}

void DiyTool::draw(QPainter &painter, const QPoint &from, const QPoint &to,
                   const DiyToolStyle &style) const
{
    painter.setPen(pen(style));
    painter.setBrush(brush(style));
    drawFigure(painter, from, to);
}

QRect DiyTool::bounds(const QPoint &from, const QPoint &to, const DiyToolStyle &style)
{
    const int w = qMax(0, style.penWidth);
    return QRect(qMin(from.x(), to.x()) - w, qMin(from.y(), to.y()) - w,
                 qAbs(to.x() - from.x()) + 2 * w, qAbs(to.y() - from.y()) + 2 * w);
}

QRect DiyTool::area(const QPoint &from, const QPoint &to, const DiyToolStyle &style) const
{
    DiyToolStyle own = style;
    own.penWidth = lineWidth(style);
    return bounds(from, to, own);
}

QPen DiyTool::pen(const DiyToolStyle &style) const
{
    if (style.penWidth < 1)
        return QPen(Qt::NoPen);
    return QPen(QBrush(style.penColor), style.penWidth, style.penStyle);
}

QBrush DiyTool::brush(const DiyToolStyle &style) const
{
    return QBrush(style.fillColor);
}
