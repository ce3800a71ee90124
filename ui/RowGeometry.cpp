#include "ui/RowGeometry.h"

#include <QFontMetrics>

namespace {
constexpr int kOrderBoxWidth = 100;
constexpr int kSpacerWidth = 35;
constexpr int kUnitWidth = 25;
constexpr int kClipTextY = 10;
constexpr int kClipLoopY = 30;
} // namespace

int RowGeometry::fieldWidth(const QFontMetrics &metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("8")) + 40;
}

RowGeometry::PictureRow RowGeometry::pictureRow(QSize thumbnail, int fieldWidth)
{
    if (thumbnail.isEmpty())
        thumbnail = QSize(ThumbnailSide, ThumbnailSide);
    const int y = (thumbnail.height() - ControlHeight) / 2;
    PictureRow row;
    int x = thumbnail.width();
    const auto next = [&x, y](int width) {
        const QRect rect(x, y, width, ControlHeight);
        x += width;
        return rect;
    };
    row.orderBox = next(kOrderBoxWidth);
    row.spacer = next(kSpacerWidth);
    row.timeField = next(fieldWidth);
    row.unit = next(kUnitWidth);
    row.plus = next(StepButtonWidth);
    row.minus = next(StepButtonWidth);
    return row;
}

RowGeometry::ClipRow RowGeometry::clipRow(int thumbnailWidth, int textWidth, int loopLabelWidth,
                                          int fieldWidth)
{
    ClipRow row;
    row.text = QRect(thumbnailWidth, kClipTextY, textWidth, ControlHeight);
    int x = thumbnailWidth;
    const auto next = [&x](int width) {
        const QRect rect(x, kClipLoopY, width, ControlHeight);
        x += width;
        return rect;
    };
    row.loopLabel = next(loopLabelWidth);
    row.loopField = next(fieldWidth);
    row.plus = next(StepButtonWidth);
    row.minus = next(StepButtonWidth);
    return row;
}
