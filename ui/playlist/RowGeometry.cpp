#include "ui/playlist/RowGeometry.h"

#include <QFontMetrics>

namespace {
constexpr int kOrderBoxWidth = 100;
constexpr int kSpacerWidth = 35;
constexpr int kUnitWidth = 25;
constexpr int kClipTextY = 10;
constexpr int kClipLoopY = 30;

// Lays controls of one height out left to right without gaps.
struct RowCursor
{
    int x;
    int y;
    QRect next(int width)
    {
        const QRect rect(x, y, width, RowGeometry::ControlHeight);
        x += width;
        return rect;
    }
};
} // namespace

int RowGeometry::fieldWidth(const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("8")) + 40;
}

RowGeometry::PictureRow RowGeometry::pictureRow(QSize thumbnail, int fieldWidth)
{
    if (thumbnail.isEmpty())
        thumbnail = QSize(ThumbnailSide, ThumbnailSide);
    RowCursor cursor{thumbnail.width(), (thumbnail.height() - ControlHeight) / 2};
    PictureRow row;
    row.orderBox = cursor.next(kOrderBoxWidth);
    row.spacer = cursor.next(kSpacerWidth);
    row.timeField = cursor.next(fieldWidth);
    row.unit = cursor.next(kUnitWidth);
    row.plus = cursor.next(StepButtonWidth);
    row.minus = cursor.next(StepButtonWidth);
    return row;
}

RowGeometry::ClipRow RowGeometry::clipRow(int thumbnailWidth, int textWidth, int loopLabelWidth,
                                          int fieldWidth)
{
    ClipRow row;
    row.text = RowCursor{thumbnailWidth, kClipTextY}.next(textWidth);
    RowCursor cursor{thumbnailWidth, kClipLoopY};
    row.loopLabel = cursor.next(loopLabelWidth);
    row.loopField = cursor.next(fieldWidth);
    row.plus = cursor.next(StepButtonWidth);
    row.minus = cursor.next(StepButtonWidth);
    return row;
}
