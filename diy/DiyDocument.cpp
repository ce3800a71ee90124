#include "diy/DiyDocument.h"

#include "diy/DiyLog.h"
#include "diy/DiyTool.h"
#include "model/PictureLoader.h"

#include <QPainter>

namespace {

constexpr QImage::Format kCanvasFormat = QImage::Format_ARGB32_Premultiplied;

} // namespace

DiyDocument::DiyDocument()
{
    start(QImage());
}

DiyDocument::DiyDocument(const QString &path)
{
    QImage picture;
    if (!path.isEmpty()) {
        picture = loadPicture(path);
        loaded = !picture.isNull();
        if (loaded)
            qCDebug(lcDiy) << "111111111111";
    }
    start(picture);
}

DiyDocument::DiyDocument(const QImage &picture)
{
    start(picture.isNull() ? picture : picture.convertToFormat(kCanvasFormat));
}

DiyDocument::~DiyDocument() = default;

void DiyDocument::start(const QImage &picture)
{
    image = picture;
    if (image.isNull()) {
        image = QImage(OutputSide, OutputSide, kCanvasFormat);
        image.fill(Qt::transparent);
    }
    baseImage = image;
    qCDebug(lcDiy) << "w = " << image.width() << ", h = " << image.height();
    snapshots.push(image, image, 0);
    centreOutput();
}

QImage DiyDocument::loadPicture(const QString &path)
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

bool DiyDocument::save(const QString &path)
{
    closeStroke();
    if (!image.save(path, "png"))
        return false;
    modified = false;
    return true;
}

// -------------------------------------------------------------------- canvas and output

// The canvas is never smaller than the output square, so the square always fits inside it;
// a smaller picture sits in its middle on the background.
QSize DiyDocument::canvasSize() const
{
    return image.size().expandedTo(QSize(OutputSide, OutputSide));
}

QPoint DiyDocument::pictureOrigin() const
{
    const QSize canvas = canvasSize();
    return QPoint((canvas.width() - image.width()) / 2, (canvas.height() - image.height()) / 2);
}

void DiyDocument::moveOutputTo(const QPoint &topLeft)
{
    const QSize canvas = canvasSize();
    output.moveTopLeft(QPoint(qBound(0, topLeft.x(), canvas.width() - OutputSide),
                              qBound(0, topLeft.y(), canvas.height() - OutputSide)));
}

void DiyDocument::centreOutput()
{
    const QSize canvas = canvasSize();
    moveOutputTo(QPoint((canvas.width() - OutputSide) / 2, (canvas.height() - OutputSide) / 2));
}

QImage DiyDocument::outputImage(const QColor &background) const
{
    QImage out(OutputSide, OutputSide, QImage::Format_ARGB32);
    out.fill(background.isValid() ? background : QColor(Qt::transparent));
    QPainter painter(&out);
    painter.drawImage(pictureOrigin() - output.topLeft(), image);
    return out;
}

// ------------------------------------------------------------------------------ drawing

void DiyDocument::paintStroke(const DiyTool &tool, const QPoint &from, const QPoint &to,
                              const DiyToolStyle &style)
{
    // The first segment detaches the picture from the snapshots once; the stroke's own
    // snapshot is taken when it is closed, so no segment copies the picture again.
    strokeOpen = true;
    {
        QPainter painter(&image);
        painter.translate(-pictureOrigin());
        tool.draw(painter, from, to, style);
    }
    modified = true;
}

void DiyDocument::closeStroke()
{
    if (!strokeOpen)
        return;
    strokeOpen = false;
    record();
}

void DiyDocument::merge(const QImage &piece, const QPoint &at)
{
    closeStroke();
    {
        QPainter painter(&image);
        painter.drawImage(at - pictureOrigin(), piece);
    }
    record();
    modified = true;
}

// A drawn step is the new base of zooming: zoom starts again from the picture as drawn.
void DiyDocument::record()
{
    step = 0;
    baseImage = image;
    snapshots.push(image, image, 0);
}

// ---------------------------------------------------------------------------------- zoom

bool DiyDocument::zoomBy(int delta)
{
    closeStroke();
    if (baseImage.isNull())
        return false;
    const int next = step + delta;
    const int percent = next * 10;
    const int w = baseImage.width() + (baseImage.width() * percent) / 100;
    const int h = baseImage.height() + (baseImage.height() * percent) / 100;
    qCDebug(lcDiy) << "zoomStep " << next << ", w = " << baseImage.width()
                   << ", h = " << baseImage.height();
    if (w < 1 || h < 1)
        return false;
    if (delta > 0 && (w > MaxZoomSide || h > MaxZoomSide))
        return false;
    if (delta < 0 && (w < MinZoomSide || h < MinZoomSide))
        return false;
    step = next;
    image = baseImage.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    snapshots.push(image, baseImage, step);
    modified = true;
    centreOutput();
    return true;
}

// ------------------------------------------------------------------------- undo and redo

bool DiyDocument::undo()
{
    closeStroke();
    const HistoryObject *snapshot = snapshots.undo();
    if (!snapshot)
        return false;
    restore(snapshot);
    return true;
}

bool DiyDocument::redo()
{
    closeStroke();
    const HistoryObject *snapshot = snapshots.redo();
    if (!snapshot)
        return false;
    restore(snapshot);
    return true;
}

void DiyDocument::restore(const HistoryObject *snapshot)
{
    image = snapshot->image();
    baseImage = snapshot->baseImage();
    step = snapshot->zoomStep();
    modified = true;
    // The square stays where it was, as far as the restored canvas allows.
    moveOutputTo(output.topLeft());
}
