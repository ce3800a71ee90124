#include "ui/diy/DiyPainter.h"

#include "diy/DiyLog.h"
#include "ui/diy/DiyShape.h"
#include "ui/diy/DiyTextEdit.h"
#include "diy/DiyTextLayout.h"
#include "ui/diy/RoundAreaWidget.h"
#include "model/PictureLoader.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

constexpr QImage::Format kCanvasFormat = QImage::Format_ARGB32_Premultiplied;

// A picture with nothing visible in it would float as an invisible widget swallowing clicks.
bool hasInk(const QImage &picture)
{
    if (picture.isNull())
        return false;
    const QImage argb = picture.convertToFormat(kCanvasFormat);
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

DiyPainter::DiyPainter(const QString &imagePath, QWidget *parent) : QWidget(parent)
{
    if (!imagePath.isEmpty()) {
        image = loadPicture(imagePath);
        loaded = !image.isNull();
        if (loaded)
            qCDebug(lcDiy) << "111111111111";
    }
    if (image.isNull()) {
        image = QImage(OutputSide, OutputSide, kCanvasFormat);
        image.fill(Qt::transparent);
    }
    baseImage = image;
    qCDebug(lcDiy) << "w = " << image.width() << ", h = " << image.height();

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

    history.push(image, image, 0);

    roundArea = new RoundAreaWidget(markerImage(), this);
    roundArea->setConfinedToParent(true);
    roundArea->hide();
    currentTool = DiyTool::create(toolNumber);
    fitCanvas(true);
}

DiyPainter::~DiyPainter() = default;

QImage DiyPainter::loadPicture(const QString &path)
{
    QString error;
    const QImage picture = PictureLoader::load(path, &error);
    if (picture.isNull()) {
        qCDebug(lcDiy) << "#DiyPainter# cannot read " << path << ": " << error;
        return picture;
    }
    // Indexed and grey pictures would paint in their own palette: draw on true colour.
    return picture.convertToFormat(kCanvasFormat);
}

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
    const QRect shown = dirty.intersected(QRect(imageOrigin, image.size()));
    if (!shown.isEmpty())
        painter.drawImage(shown.topLeft(), image, shown.translated(-imageOrigin));
    if (previewing && drawing && currentTool && endPoint != lastPoint)
        currentTool->draw(painter, lastPoint, endPoint, style);
    if (!moveMode)
        painter.drawImage(roundRect.topLeft(), markerImage());
}

// --------------------------------------------------------------------------------- mouse

void DiyPainter::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || moveMode)
        return;
    const QPoint at = event->position().toPoint();
    qCDebug(lcDiy) << "DiyPainter::mousePressEvent x = " << at.x() << ", y = " << at.y();
    endStroke();
    if (textEdit->text().isEmpty())
        textEdit->hide();
    if (textEdit->isVisible()) {
        onTextPressEnter();
        return;
    }
    if (enterDiyShape()) {
        drawing = false;
        return;
    }
    if (toolNumber == DiyTool::Text) {
        openTextEditor(at);
        return;
    }
    if (!currentTool)
        return;
    lastPoint = endPoint = at;
    drawing = true;
    previewing = !currentTool->isFreehand();
}

void DiyPainter::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || moveMode || !drawing || !currentTool)
        return;
    const QPoint at = event->position().toPoint();
    if (currentTool->isFreehand()) {
        qCDebug(lcDiy) << "DiyPainter::mouseMoveEvent draw pen.";
        previewing = false;
        drawSegment(at);
        return;
    }
    const QRect before = DiyTool::bounds(lastPoint, endPoint, style);
    endPoint = at;
    previewing = true;
    modified = true;
    update(before.united(DiyTool::bounds(lastPoint, endPoint, style)).adjusted(-2, -2, 2, 2));
}

void DiyPainter::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || moveMode || !drawing)
        return;
    drawing = false;
    if (!currentTool || currentTool->isFreehand()) {
        endStroke();
        return;
    }
    previewing = false;
    endPoint = event->position().toPoint();
    if (endPoint != lastPoint) {
        qCDebug(lcDiy) << "DiyPainter::mouseReleaseEvent lastPoint " << lastPoint
                       << ", endPoint " << endPoint;
        floatFigure();
    }
    update();
}

// ------------------------------------------------------------------------ freehand strokes

void DiyPainter::drawSegment(const QPoint &to)
{
    // The first segment detaches the picture from the snapshots once; the stroke's own
    // snapshot is taken when it ends, so no segment copies the picture again.
    strokeOpen = true;
    {
        QPainter painter(&image);
        painter.translate(-imageOrigin);
        currentTool->draw(painter, lastPoint, to, style);
    }
    const QRect dirty = DiyTool::bounds(lastPoint, to, style).adjusted(-2, -2, 2, 2);
    lastPoint = endPoint = to;
    modified = true;
    update(dirty);
}

void DiyPainter::endStroke()
{
    if (!strokeOpen)
        return;
    strokeOpen = false;
    pushSnapshot();
}

void DiyPainter::pushSnapshot()
{
    zoomStep = 0;
    baseImage = image;
    history.push(image, image, 0);
}

// ----------------------------------------------------------------------- floating shapes

QImage DiyPainter::renderFigure(const QRect &box) const
{
    // The figure on a transparent picture of its own size, placed at box.topLeft().
    QImage picture(box.size(), kCanvasFormat);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.translate(-box.topLeft());
    currentTool->draw(painter, lastPoint, endPoint, style);
    return picture;
}

void DiyPainter::floatFigure()
{
    const QRect box = DiyTool::bounds(lastPoint, endPoint, style);
    qCDebug(lcDiy) << "DiyPainter::mouseReleaseEvent " << box;
    if (box.isEmpty())
        return;
    const QImage picture = renderFigure(box);
    floatBox = box;
    floatPicture(picture, box.topLeft(), Floating::Figure);
}

void DiyPainter::floatPicture(const QImage &picture, const QPoint &at, Floating kind)
{
    if (!hasInk(picture)) {
        dropFloating();
        return;
    }
    shape->setCurrentImage(picture);
    shape->move(at);
    shape->show();
    shape->raise();
    floating = kind;
    modified = true;
    update();
}

void DiyPainter::dropFloating()
{
    shape->setCurrentImage(QImage());
    shape->hide();
    floating = Floating::None;
}

bool DiyPainter::enterDiyShape()
{
    if (shape->isEmpty())
        return false;
    qCDebug(lcDiy) << "DiyPainter::enterDiyShape x = " << shape->x() << ", y = " << shape->y();
    {
        QPainter painter(&image);
        painter.drawImage(shape->pos() - imageOrigin, shape->currentImage());
    }
    const bool wasText = floating == Floating::Text;
    dropFloating();
    if (wasText)
        textEdit->clear();
    pushSnapshot();
    modified = true;
    previewing = false;
    update();
    return true;
}

void DiyPainter::repaintShape()
{
    if (!shape->isVisible())
        return;
    if (floating == Floating::Text) {
        if (!textEdit->isVisible())
            onTextPressEnter();
        return;
    }
    if (floating != Floating::Figure || !currentTool || currentTool->isFreehand())
        return;
    // The figure keeps where it was dragged to while its pen width changes its frame.
    const QPoint dragged = shape->pos();
    const QRect box = DiyTool::bounds(lastPoint, endPoint, style);
    const QPoint frameMove = box.topLeft() - floatBox.topLeft();
    qCDebug(lcDiy) << "DiyPainter::repaintShape " << box;
    const QImage picture = renderFigure(box);
    floatBox = box;
    floatPicture(picture, dragged + frameMove, Floating::Figure);
    previewing = false;
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
}

void DiyPainter::onTextChanged(const QString &text)
{
    // Typed text is work that closing must not lose without asking.
    if (!text.isEmpty())
        modified = true;
    const QFontMetrics fm(textEdit->font());
    // The editor's own margins come on top of the text, or it would scroll while typing.
    const int width = qMax(20, fm.horizontalAdvance(text) + 2 * fm.averageCharWidth());
    textEdit->resize(width, textEdit->height());
}

void DiyPainter::onTextPressEnter()
{
    const bool typing = textEdit->isVisible();
    const QPoint origin = typing ? textEdit->pos() : shape->pos();
    if (textStyle < DiyTextLayout::Horizontal || textStyle > DiyTextLayout::Ring)
        return;
    const QImage block =
        DiyTextLayout::render(textEdit->text(), font, fontColor, textStyle, textRadius);
    qCDebug(lcDiy) << "DiyPainter::onTextPressEnter " << QRect(origin, block.size());
    textEdit->hide();
    floatPicture(block, origin, Floating::Text);
    if (floating != Floating::Text)
        textEdit->clear();
    previewing = false;
    update();
}

// ------------------------------------------------------------------------- undo and redo

void DiyPainter::revokeCancel()
{
    qCDebug(lcDiy) << "DiyPainter::revokeCancel()";
    // A stroke still in progress becomes a step of its own first, so undo takes exactly it
    // back and the next mouse move starts afresh.
    endStroke();
    drawing = false;
    previewing = false;
    if (textEdit->isVisible()) {
        textEdit->hide();
        textEdit->clear();
        update();
        return;
    }
    if (shape->isVisible() && !shape->isEmpty()) {
        dropFloating();
        textEdit->clear();
        update();
        return;
    }
    if (const HistoryObject *snapshot = history.undo())
        restore(snapshot);
    else
        update();
}

bool DiyPainter::redo()
{
    endStroke();
    if (textEdit->isVisible() || !shape->isEmpty())
        return false;
    const HistoryObject *snapshot = history.redo();
    if (!snapshot)
        return false;
    drawing = false;
    restore(snapshot);
    return true;
}

void DiyPainter::restore(const HistoryObject *snapshot)
{
    image = snapshot->image();
    baseImage = snapshot->baseImage();
    zoomStep = snapshot->zoomStep();
    previewing = false;
    modified = true;
    fitCanvas(false);
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
    endStroke();
    drawing = false;
    previewing = false;
    if (moveMode)
        leaveMoveMode();
    if (baseImage.isNull())
        return false;
    commitPending();
    const int step = zoomStep + delta;
    const int percent = step * 10;
    const int w = baseImage.width() + (baseImage.width() * percent) / 100;
    const int h = baseImage.height() + (baseImage.height() * percent) / 100;
    qCDebug(lcDiy) << "zoomStep " << step << ", w = " << baseImage.width()
                   << ", h = " << baseImage.height();
    if (w < 1 || h < 1)
        return false;
    if (delta > 0 && (w > MaxZoomSide || h > MaxZoomSide))
        return false;
    if (delta < 0 && (w < MinZoomSide || h < MinZoomSide))
        return false;
    zoomStep = step;
    image = baseImage.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    history.push(image, baseImage, zoomStep);
    modified = true;
    fitCanvas(true);
    return true;
}

// The canvas is never smaller than the output square, so the marker always fits inside it
// and can be seen and dragged; a smaller picture sits in its middle on the background.
void DiyPainter::fitCanvas(bool recentre)
{
    const QSize canvas = image.size().expandedTo(QSize(OutputSide, OutputSide));
    setFixedSize(canvas);
    const QPoint oldOrigin = imageOrigin;
    imageOrigin = QPoint((canvas.width() - image.width()) / 2,
                         (canvas.height() - image.height()) / 2);
    // A floating shape stays over the same part of the picture.
    shape->move(shape->pos() + imageOrigin - oldOrigin);
    if (moveMode)
        roundRect.moveTopLeft(roundArea->pos());
    if (recentre)
        roundRect.moveTopLeft(QPoint((canvas.width() - OutputSide) / 2,
                                     (canvas.height() - OutputSide) / 2));
    roundRect.moveTopLeft(RoundAreaWidget::confinedTo(roundRect.topLeft(), canvas));
    roundArea->move(roundRect.topLeft());
    update();
}

// -------------------------------------------------------------------------------- output

QImage DiyPainter::getImage()
{
    endStroke();
    if (moveMode)
        roundRect.moveTopLeft(roundArea->pos());
    qCDebug(lcDiy) << "#DiyPainter# getImage() " << roundRect;
    QImage out(OutputSide, OutputSide, QImage::Format_ARGB32);
    out.fill(style.backgroundColor.isValid() ? style.backgroundColor : QColor(Qt::transparent));
    QPainter painter(&out);
    painter.drawImage(imageOrigin - roundRect.topLeft(), image);
    return out;
}

bool DiyPainter::saveImage(const QString &path)
{
    commitPending();
    if (!image.save(path, "png"))
        return false;
    modified = false;
    return true;
}

void DiyPainter::commitPending()
{
    endStroke();
    if (textEdit->isVisible())
        onTextPressEnter();
    enterDiyShape();
}

// ---------------------------------------------------------------------------------- tools

void DiyPainter::setTool(int number)
{
    if (number < DiyTool::Pen || number > DiyTool::Eraser)
        return;
    commitPending();
    drawing = false;
    previewing = false;
    toolNumber = number;
    currentTool = DiyTool::create(number);
    if (number != DiyTool::Move && moveMode)
        leaveMoveMode();
    else if (number == DiyTool::Move && !moveMode)
        enterMoveMode();
    update();
}

void DiyPainter::mergePending()
{
    if (textEdit->text().isEmpty())
        textEdit->hide();
    if (textEdit->isVisible())
        onTextPressEnter();
    if (enterDiyShape())
        drawing = false;
}

void DiyPainter::leaveMoveMode()
{
    mergePending();
    roundArea->hide();
    roundRect.moveTopLeft(RoundAreaWidget::confinedTo(roundArea->pos(), size()));
    moveMode = false;
    update();
}

void DiyPainter::enterMoveMode()
{
    mergePending();
    roundArea->move(roundRect.topLeft());
    roundArea->show();
    roundArea->raise();
    moveMode = true;
    update();
}
