#pragma once

#include "diy/DiyHistory.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class DiyTool;
struct DiyToolStyle;

// The drawing editor's picture apart from its widgets: the picture being drawn and the one
// its zoom steps scale from, the undo history, the 450 x 450 output square and whether there
// is unsaved work. The canvas is the picture made at least as large as the output square,
// with the picture in its middle; every point here is in canvas coordinates.
class DiyDocument final
{
public:
    static constexpr int OutputSide = 450;
    // Zoom refuses steps that would bring a side below MinZoomSide or above MaxZoomSide.
    static constexpr int MinZoomSide = 45;
    static constexpr int MaxZoomSide = 4096;

    // A new transparent 450 x 450 drawing.
    DiyDocument();
    // The picture at path; a path that cannot be read gives a new drawing (hasPicture()).
    explicit DiyDocument(const QString &path);
    // A copy of picture (a new drawing when it is null).
    explicit DiyDocument(const QImage &picture);
    ~DiyDocument();
    Q_DISABLE_COPY_MOVE(DiyDocument)

    // A picture file as the document draws on it (32-bit premultiplied ARGB, whatever its
    // depth on disk); null when it cannot be read.
    static QImage loadPicture(const QString &path);
    // False when a path was given and could not be read: the blank drawing then held must
    // not be saved over that file.
    bool hasPicture() const { return loaded; }
    // Saves the whole picture as PNG and clears the modified flag; false (still modified)
    // when the file cannot be written.
    bool save(const QString &path);

    const QImage &picture() const { return image; }
    int zoomStep() const { return step; }
    const DiyHistory &history() const { return snapshots; }

    bool isModified() const { return modified; }
    void markModified() { modified = true; }
    void clearModified() { modified = false; }

    QSize canvasSize() const;
    // Where the picture's top-left corner sits on the canvas.
    QPoint pictureOrigin() const;
    QRect outputRect() const { return output; }
    // Moves the output square, kept inside the canvas.
    void moveOutputTo(const QPoint &topLeft);
    // The square under the output rectangle; background where the picture does not reach
    // (transparent when background is invalid).
    QImage outputImage(const QColor &background) const;

    // Paints one segment of a freehand stroke straight into the picture. The stroke becomes
    // one undo step when it is closed, however many segments it has.
    void paintStroke(const DiyTool &tool, const QPoint &from, const QPoint &to,
                     const DiyToolStyle &style);
    bool isStrokeOpen() const { return strokeOpen; }
    void closeStroke();
    // Draws a finished figure or text block into the picture with its top-left at 'at', as
    // one undo step.
    void merge(const QImage &piece, const QPoint &at);

    // One 10 % zoom step from the base picture (delta +1 or -1); the output square is
    // centred again. False, with nothing changed, when the size would leave its limits.
    bool zoomBy(int delta);
    // Undo and redo restore picture, base and zoom step together; false when there is
    // nothing to undo or redo. An open stroke is closed first and is what undo takes back.
    bool undo();
    bool redo();

private:
    void start(const QImage &picture);
    void record();
    void restore(const HistoryObject *snapshot);
    void centreOutput();

    DiyHistory snapshots;
    QImage image;
    QImage baseImage;
    int step = 0;
    QRect output{0, 0, OutputSide, OutputSide};
    bool strokeOpen = false;
    bool modified = false;
    bool loaded = true;
};
