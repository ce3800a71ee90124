#pragma once

#include "diy/DiyDocument.h"
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

// The drawing editor's canvas: turns mouse and keyboard input into tool actions on its
// document (the picture with its history, zoom and output square), and shows the floating
// shape or text that can still be dragged until it is merged and the round output marker.
class DiyPainter : public QWidget
{
    Q_OBJECT
public:
    static constexpr int OutputSide = DiyDocument::OutputSide;
    static constexpr int MinZoomSide = DiyDocument::MinZoomSide;
    static constexpr int MaxZoomSide = DiyDocument::MaxZoomSide;
    static constexpr int MinFontPoints = 8;
    static constexpr int MaxFontPoints = 300;

    // An empty path starts a new transparent 450 x 450 drawing; see hasPicture() for a path
    // that cannot be read.
    explicit DiyPainter(const QString &imagePath, QWidget *parent = nullptr);
    ~DiyPainter() override;
    Q_DISABLE_COPY_MOVE(DiyPainter)

    // False when the path given could not be read: the canvas then holds a blank drawing
    // that must not be saved over that file.
    bool hasPicture() const { return doc.hasPicture(); }

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
    // Merges the text being typed and the floating shape into the picture.
    void commitPending();
    void setTool(int number);

    void setPenColor(const QColor &color) { style.penColor = color; }
    void setFillColor(const QColor &color) { style.fillColor = color; }
    void setPenStyle(Qt::PenStyle penStyle) { style.penStyle = penStyle; }
    void setPenWidth(int width) { style.penWidth = qMax(0, width); }
    void setEraserWidth(int width) { style.eraserWidth = qMax(1, width); }
    void setBackgroundColor(const QColor &color);
    // The point size is held to MinFontPoints..MaxFontPoints.
    void setTextFont(const QFont &font);
    void setFontColor(const QColor &color);
    void setTextStyle(int textStyle) { this->textStyle = textStyle; }
    void setTextRadius(int radius) { textRadius = radius; }

    bool isModified() const { return doc.isModified(); }
    void clearModified() { doc.clearModified(); }

    // What the form and tests look at.
    const DiyDocument &document() const { return doc; }
    const QImage &picture() const { return doc.picture(); }
    int currentZoomStep() const { return doc.zoomStep(); }
    int tool() const { return toolNumber; }
    QFont textFont() const { return font; }
    bool isMoveMode() const { return state == State::Moving; }
    bool isPreviewing() const { return state == State::Dragging; }
    bool isTyping() const { return state == State::Typing; }
    QRect outputRect() const { return doc.outputRect(); }
    QPoint pictureOrigin() const { return doc.pictureOrigin(); }
    const DiyHistory &undoHistory() const { return doc.history(); }
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
    // What the mouse and the keyboard are doing with the canvas; one at a time.
    enum class State {
        Idle,
        Stroking,        // a freehand stroke is painted straight into the picture
        Dragging,        // a figure is dragged out and previewed over the picture
        FloatingFigure,  // a released figure floats in the shape, still draggable
        Typing,          // the text box is open
        FloatingText,    // the typed text floats in the shape, still draggable
        Moving,          // the output marker is shown and dragged; the mouse does not draw
    };
    bool isFloating() const
    {
        return state == State::FloatingFigure || state == State::FloatingText;
    }
    // A stroke or drag in progress ends without a result of its own.
    void stopDrawing();

    QImage renderFigure(const QRect &box) const;
    void openTextEditor(const QPoint &at);
    void drawSegment(const QPoint &to);
    void floatFigure();
    void floatPicture(const QImage &picture, const QPoint &at, State kind);
    void dropFloating();
    bool zoomBy(int delta);
    void takeMarkerPosition();
    void fitCanvas();
    void leaveMoveMode();
    void enterMoveMode();

    DiyDocument doc;
    State state = State::Idle;
    int toolNumber = DiyTool::Rect;
    std::unique_ptr<DiyTool> currentTool;
    DiyToolStyle style;
    QFont font;
    QColor fontColor = Qt::white;
    int textStyle = 0;
    int textRadius = 150;
    DiyTextEdit *textEdit = nullptr;
    DiyShape *shape = nullptr;
    // The frame the floating figure was last drawn in (canvas coordinates, before dragging).
    QRect floatBox;
    RoundAreaWidget *roundArea = nullptr;
    QPoint lastPoint;
    QPoint endPoint;
};
