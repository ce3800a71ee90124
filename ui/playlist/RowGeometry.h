#pragma once

#include <QRect>
#include <QSize>

class QFontMetrics;

// Where the controls of a playlist row sit, relative to the row's top-left corner. The row
// editors place their widgets there and the delegates paint the same controls there, so a
// row looks the same with and without its editor.
class RowGeometry
{
public:
    static constexpr int ControlHeight = 25;
    static constexpr int ThumbnailSide = 60;
    static constexpr int StepButtonWidth = 20;

    struct PictureRow
    {
        QRect orderBox, spacer, timeField, unit, plus, minus;
    };
    struct ClipRow
    {
        QRect text, loopLabel, loopField, plus, minus;
    };

    // Width of the time and loop fields: the text "8" plus 40.
    static int fieldWidth(const QFontMetrics &metrics);
    // thumbnail: the thumbnail's size; an empty size stands for the 60 x 60 label.
    static PictureRow pictureRow(QSize thumbnail, int fieldWidth);
    static ClipRow clipRow(int thumbnailWidth, int textWidth, int loopLabelWidth, int fieldWidth);
};
