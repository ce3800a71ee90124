#pragma once

#include "diy/DiyHistory.h"
#include "diy/DiyTool.h"
#include "diy/DiyToolStyle.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>

class DiyShape;
class DiyTextEdit;
class RoundAreaWidget;

// The drawing editor's canvas: the picture being drawn, the tools that draw on it, the
// floating shape or text that can still be dragged until it is merged, zoom in 10 % steps,
// undo and redo, and the 450 x 450 square under the round marker as the output picture.
class DiyPainter : public QWidget
{
    Q_OBJECT
public:
    static constexpr int OutputSide = 450;
    // Zoom refuses steps that would bring a side below MinZoomSide or above MaxZoomSide.
    static constexpr int MinZoomSide = 45;
    static constexpr int MaxZoomSide = 4096;
    static constexpr int MinFontPoints = 8;
    static constexpr int MaxFontPoints = 300;

    // An empty path starts a new transparent 450 x 450 drawing; see hasPicture() for a path
    // that cannot be read.
    explicit DiyPainter(const QString &imagePath, QWidget *parent = nullptr);
    ~DiyPainter() override;
    Q_DISABLE_COPY_MOVE(DiyPainter)

    // A picture file as the canvas paints on it (32-bit ARGB, whatever its depth on disk);
    // null when it cannot be read.
    static QImage loadPicture(const QString &path);
    // False when the path given could not be read: the canvas then holds a blank drawing
    // that must not be saved over that file.
    bool hasPicture() const { return loaded; }

    bool enterDiyShape();
    void repaintShape();
    void revokeCancel();
    bool redo();
    bool zoomIn();
    bool zoomOut();
    QImage getImage();
    // Merges what is pending and saves the whole picture as PNG; false (and still modified)
    // when the file cannot be written.
    bool saveImage(const QString &path);
    void commitPending();
    void setTool(int number);

    void setPenColor(const QColor &color) { style.penColor = color; }
    void setFillColor(const QColor &color) { style.fillColor = color; }
    void setPenStyle(Qt::PenStyle penStyle) { style.penStyle = penStyle; }
    void setPenWidth(int width) { style.penWidth = qMax(0, width); }
    void setBackgroundColor(const QColor &color);
    // The point size is held to MinFontPoints..MaxFontPoints.
    void setTextFont(const QFont &font);
    void setFontColor(const QColor &color);
    void setTextStyle(int textStyle) { this->textStyle = textStyle; }
    void setTextRadius(int radius) { textRadius = radius; }

    bool isModified() const { return modified; }
    void clearModified() { modified = false; }

    // What the form and tests look at.
    const QImage &picture() const { return image; }
    int currentZoomStep() const { return zoomStep; }
    int tool() const { return toolNumber; }
    QFont textFont() const { return font; }
    bool isMoveMode() const { return moveMode; }
    bool isPreviewing() const { return previewing; }
    QRect outputRect() const { return roundRect; }
    QPoint pictureOrigin() const { return imageOrigin; }
    const DiyHistory &undoHistory() const { return history; }
    DiyShape *shapeWidget() const { return shape; }
    DiyTextEdit *textEditor() const { return textEdit; }
    RoundAreaWidget *roundAreaWidget() const { return roundArea; }

public slots:
    void onTextChanged(const QString &text);
    void onTextPressEnter();
    void onShapeWidgetPointChanged(QPoint point);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Floating { None, Figure, Text };
    QImage renderFigure(const QRect &box) const;

    void openTextEditor(const QPoint &at);
    void drawSegment(const QPoint &to);
    void endStroke();
    void floatFigure();
    void floatPicture(const QImage &picture, const QPoint &at, Floating kind);
    void dropFloating();
    bool zoomBy(int delta);
    void restore(const HistoryObject *snapshot);
    void fitCanvas(bool recentre);
    void leaveMoveMode();
    void enterMoveMode();
    void mergePending();
    void pushSnapshot();

    DiyHistory history;
    bool strokeOpen = false;
    QImage image;
    QImage baseImage;
    // Where the picture's top-left sits on the canvas: the picture is centred on a canvas
    // made larger than it to hold the output square.
    QPoint imageOrigin;
    int zoomStep = 0;
    QRect roundRect{0, 0, OutputSide, OutputSide};
    bool previewing = false;
    bool drawing = false;
    bool modified = false;
    bool moveMode = false;
    bool loaded = true;
    int toolNumber = DiyTool::Rect;
    std::unique_ptr<DiyTool> currentTool;
    DiyToolStyle style;
    QFont font;
    QColor fontColor = Qt::white;
    int textStyle = 0;
    int textRadius = 150;
    DiyTextEdit *textEdit = nullptr;
    DiyShape *shape = nullptr;
    Floating floating = Floating::None;
    // The frame the floating figure was last drawn in (canvas coordinates, before dragging).
    QRect floatBox;
    RoundAreaWidget *roundArea = nullptr;
    QPoint lastPoint;
    QPoint endPoint;
};
