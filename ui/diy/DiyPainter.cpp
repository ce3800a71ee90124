#include "ui/diy/DiyPainter.h"

#include "diy/DiyLog.h"
#include "diy/DiyTextLayout.h"
#include "ui/diy/DiyShape.h"
#include "ui/diy/DiyTextEdit.h"
#include "ui/diy/RoundAreaWidget.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// A picture with nothing visible in it would float as an invisible widget swallowing clicks.
bool hasInk(const QImage &picture)
{
    if (picture.isNull())
        return false;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return true;
        }
    }
    return false;
}

const QImage &markerImage()
{
    static const QImage mask = RoundAreaWidget::maskImage();
    return mask;
}

} // namespace

DiyPainter::DiyPainter(const QString &imagePath, QWidget *parent)
    : QWidget(parent), doc(imagePath)
{
    shape = new DiyShape(this);
    shape->hide();
    connect(shape, &DiyShape::signalPointChanged, this, &DiyPainter::onShapeWidgetPointChanged);

    textEdit = new DiyTextEdit(this);
    textEdit->hide();
    textEdit->setFrame(false);
    textEdit->setAutoFillBackground(true);
    connect(textEdit, &QLineEdit::textEdited, this, &DiyPainter::onTextChanged);
    connect(textEdit, &QLineEdit::returnPressed, this, &DiyPainter::onTextPressEnter);
    setTextFont(font);
    setFontColor(fontColor);

    roundArea = new RoundAreaWidget(markerImage(), this);
    roundArea->setConfinedToParent(true);
    roundArea->hide();
    connect(roundArea, &RoundAreaWidget::moved, this,
            [this](const QPoint &topLeft) { doc.moveOutputTo(topLeft); });
    currentTool = DiyTool::create(toolNumber);
    fitCanvas();
}

DiyPainter::~DiyPainter() = default;

// ------------------------------------------------------------------------------ settings

void DiyPainter::setBackgroundColor(const QColor &color)
{
    style.backgroundColor = color;
    update();
}

void DiyPainter::setTextFont(const QFont &f)
{
    font = f;
    if (font.pointSize() > 0)
        font.setPointSize(qBound(MinFontPoints, font.pointSize(), MaxFontPoints));
    textEdit->setFont(font);
    textEdit->setFixedHeight(QFontMetrics(font).height());
    onTextChanged(textEdit->text());
}

void DiyPainter::setFontColor(const QColor &color)
{
    fontColor = color;
    QPalette pal = textEdit->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Window, Qt::transparent);
    pal.setColor(QPalette::Text, fontColor);
    textEdit->setPalette(pal);
}

// --------------------------------------------------------------------------------- paint

void DiyPainter::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (style.backgroundColor.isValid())
        painter.fillRect(dirty, style.backgroundColor);
    const QImage &image = doc.picture();
    const QPoint origin = doc.pictureOrigin();
    const QRect shown = dirty.intersected(QRect(origin, image.size()));
    if (!shown.isEmpty())
        painter.drawImage(shown.topLeft(), image, shown.translated(-origin));
    if (state == State::Dragging && currentTool && endPoint != lastPoint)
        currentTool->draw(painter, lastPoint, endPoint, style);
    if (state != State::Moving)
        painter.drawImage(doc.outputRect().topLeft(), markerImage());
}

// --------------------------------------------------------------------------------- mouse

void DiyPainter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || state == State::Moving)
        return;
    const QPoint at = event->position().toPoint();
    qCDebug(lcDiy) << "DiyPainter::mousePressEvent x = " << at.x() << ", y = " << at.y();
    doc.closeStroke();
    stopDrawing();
    if (state == State::Typing && textEdit->text().isEmpty()) {
        textEdit->hide();
        state = State::Idle;
    }
    if (state == State::Typing) {
        onTextPressEnter();
        return;
    }
    if (enterDiyShape())
        return;
    if (toolNumber == DiyTool::Text) {
        openTextEditor(at);
        return;
    }
    if (!currentTool)
        return;
    lastPoint = endPoint = at;
    state = currentTool->isFreehand() ? State::Stroking : State::Dragging;
}

void DiyPainter::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !currentTool)
        return;
    const QPoint at = event->position().toPoint();
    if (state == State::Stroking) {
        qCDebug(lcDiy) << "DiyPainter::mouseMoveEvent draw pen.";
        drawSegment(at);
    } else if (state == State::Dragging) {
        const QRect before = currentTool->area(lastPoint, endPoint, style);
        endPoint = at;
        doc.markModified();
        update(before.united(currentTool->area(lastPoint, endPoint, style)).adjusted(-2, -2, 2, 2));
    }
}

void DiyPainter::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (state == State::Stroking) {
        state = State::Idle;
        doc.closeStroke();
        return;
    }
    if (state != State::Dragging)
        return;
    state = State::Idle;
    endPoint = event->position().toPoint();
    if (endPoint != lastPoint) {
        qCDebug(lcDiy) << "DiyPainter::mouseReleaseEvent lastPoint " << lastPoint
                       << ", endPoint " << endPoint;
        floatFigure();
    }
    update();
}

void DiyPainter::stopDrawing()
{
    if (state == State::Stroking || state == State::Dragging) {
        state = State::Idle;
        update();
    }
}

void DiyPainter::drawSegment(const QPoint &to)
{
    doc.paintStroke(*currentTool, lastPoint, to, style);
    const QRect dirty = currentTool->area(lastPoint, to, style).adjusted(-2, -2, 2, 2);
    lastPoint = endPoint = to;
    update(dirty);
}

// ----------------------------------------------------------------------- floating shapes

QImage DiyPainter::renderFigure(const QRect &box) const
{
    // The figure on a transparent picture of its own size, placed at box.topLeft().
    QImage picture(box.size(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.translate(-box.topLeft());
    currentTool->draw(painter, lastPoint, endPoint, style);
    return picture;
}

void DiyPainter::floatFigure()
{
    const QRect box = currentTool->area(lastPoint, endPoint, style);
    qCDebug(lcDiy) << "DiyPainter::mouseReleaseEvent " << box;
    if (box.isEmpty())
        return;
    const QImage picture = renderFigure(box);
    floatBox = box;
    floatPicture(picture, box.topLeft(), State::FloatingFigure);
}

void DiyPainter::floatPicture(const QImage &picture, const QPoint &at, State kind)
{
    if (!hasInk(picture)) {
        dropFloating();
        return;
    }
    shape->setCurrentImage(picture);
    shape->move(at);
    shape->show();
    shape->raise();
    state = kind;
    doc.markModified();
    update();
}

void DiyPainter::dropFloating()
{
    shape->setCurrentImage(QImage());
    shape->hide();
    if (isFloating())
        state = State::Idle;
}

bool DiyPainter::enterDiyShape()
{
    if (!isFloating())
        return false;
    qCDebug(lcDiy) << "DiyPainter::enterDiyShape x = " << shape->x() << ", y = " << shape->y();
    doc.merge(shape->currentImage(), shape->pos());
    if (state == State::FloatingText)
        textEdit->clear();
    dropFloating();
    update();
    return true;
}

void DiyPainter::repaintShape()
{
    if (state == State::FloatingText) {
        onTextPressEnter();
        return;
    }
    if (state != State::FloatingFigure || !currentTool || currentTool->isFreehand())
        return;
    // The figure keeps where it was dragged to while its pen width changes its frame.
    const QPoint dragged = shape->pos();
    const QRect box = currentTool->area(lastPoint, endPoint, style);
    const QPoint frameMove = box.topLeft() - floatBox.topLeft();
    qCDebug(lcDiy) << "DiyPainter::repaintShape " << box;
    const QImage picture = renderFigure(box);
    floatBox = box;
    floatPicture(picture, dragged + frameMove, State::FloatingFigure);
}

void DiyPainter::onShapeWidgetPointChanged(QPoint)
{
    // The shape moves itself; its content stays as it is.
    update();
}

// ------------------------------------------------------------------------------------ text

void DiyPainter::openTextEditor(const QPoint &at)
{
    textEdit->setFont(font);
    textEdit->setFixedHeight(QFontMetrics(font).height());
    setFontColor(fontColor);
    textEdit->clear();
    onTextChanged(QString());
    textEdit->move(at);
    textEdit->show();
    textEdit->raise();
    textEdit->setFocus();
    state = State::Typing;
}

void DiyPainter::onTextChanged(const QString &text)
{
    // Typed text is work that closing must not lose without asking.
    if (!text.isEmpty())
        doc.markModified();
    const QFontMetrics fm(textEdit->font());
    // The editor's own margins come on top of the text, or it would scroll while typing.
    const int width = qMax(20, fm.horizontalAdvance(text) + 2 * fm.averageCharWidth());
    textEdit->resize(width, textEdit->height());
}

// Typed text becomes the floating shape; a floating text is laid out again with the
// current settings.
void DiyPainter::onTextPressEnter()
{
    if (state != State::Typing && state != State::FloatingText)
        return;
    const QPoint origin = state == State::Typing ? textEdit->pos() : shape->pos();
    if (textStyle < DiyTextLayout::Horizontal || textStyle > DiyTextLayout::Ring)
        return;
    const QImage block =
        DiyTextLayout::render(textEdit->text(), font, fontColor, textStyle, textRadius);
    qCDebug(lcDiy) << "DiyPainter::onTextPressEnter " << QRect(origin, block.size());
    textEdit->hide();
    state = State::Idle;
    floatPicture(block, origin, State::FloatingText);
    if (state != State::FloatingText)
        textEdit->clear();
    update();
}

// ------------------------------------------------------------------------- undo and redo

void DiyPainter::revokeCancel()
{
    qCDebug(lcDiy) << "DiyPainter::revokeCancel()";
    // A stroke still in progress becomes a step of its own first, so undo takes exactly it
    // back and the next mouse move starts afresh.
    doc.closeStroke();
    stopDrawing();
    if (state == State::Typing) {
        textEdit->hide();
        textEdit->clear();
        state = State::Idle;
        update();
        return;
    }
    if (isFloating()) {
        dropFloating();
        textEdit->clear();
        update();
        return;
    }
    takeMarkerPosition();
    if (doc.undo())
        fitCanvas();
    else
        update();
}

bool DiyPainter::redo()
{
    doc.closeStroke();
    if (state == State::Typing || isFloating())
        return false;
    takeMarkerPosition();
    if (!doc.redo())
        return false;
    stopDrawing();
    fitCanvas();
    return true;
}

// ---------------------------------------------------------------------------------- zoom

bool DiyPainter::zoomIn()
{
    qCDebug(lcDiy) << "#DiyPainter# zoomIn() ";
    return zoomBy(1);
}

bool DiyPainter::zoomOut()
{
    qCDebug(lcDiy) << "#DiyPainter# zoomOut() ";
    return zoomBy(-1);
}

bool DiyPainter::zoomBy(int delta)
{
    doc.closeStroke();
    stopDrawing();
    if (state == State::Moving)
        leaveMoveMode();
    commitPending();
    if (!doc.zoomBy(delta))
        return false;
    fitCanvas();
    return true;
}

// The canvas takes the document's size; the marker shows the document's output square.
void DiyPainter::fitCanvas()
{
    setFixedSize(doc.canvasSize());
    roundArea->move(doc.outputRect().topLeft());
    update();
}

void DiyPainter::takeMarkerPosition()
{
    if (state == State::Moving)
        doc.moveOutputTo(roundArea->pos());
}

// -------------------------------------------------------------------------------- output

QImage DiyPainter::getImage()
{
    doc.closeStroke();
    takeMarkerPosition();
    qCDebug(lcDiy) << "#DiyPainter# getImage() " << doc.outputRect();
    return doc.outputImage(style.backgroundColor);
}

bool DiyPainter::saveImage(const QString &path)
{
    commitPending();
    return doc.save(path);
}

void DiyPainter::commitPending()
{
    doc.closeStroke();
    if (state == State::Typing)
        onTextPressEnter();
    enterDiyShape();
}

// ---------------------------------------------------------------------------------- tools

void DiyPainter::setTool(int number)
{
    if (number < DiyTool::Pen || number > DiyTool::Eraser)
        return;
    commitPending();
    stopDrawing();
    toolNumber = number;
    currentTool = DiyTool::create(number);
    if (number != DiyTool::Move && state == State::Moving)
        leaveMoveMode();
    else if (number == DiyTool::Move && state != State::Moving)
        enterMoveMode();
    update();
}

void DiyPainter::leaveMoveMode()
{
    commitPending();
    takeMarkerPosition();
    roundArea->hide();
    state = State::Idle;
    update();
}

void DiyPainter::enterMoveMode()
{
    commitPending();
    roundArea->move(doc.outputRect().topLeft());
    roundArea->show();
    roundArea->raise();
    state = State::Moving;
    update();
}
