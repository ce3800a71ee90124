#include "ui/import/LoadImagesHandler.h"

#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/main/SamplingChoice.h"
#include "ui/UiLog.h"

#include <QDebug>

LoadImagesHandler::LoadImagesHandler(LoadImagesDialog *dialog)
    : QThread(dialog), dialog(dialog), budget(dialog->decodeBudget()), decoder(&budget)
{
}

LoadImagesHandler::~LoadImagesHandler()
{
    stop();
    wait();
}

void LoadImagesHandler::stop()
{
    running = false;
    stopRequested = true;
    budget.wakeWaiters();
}

QImage LoadImagesHandler::previewOf(const QImage &square)
{
    QImage preview = square.scaled(300, 300, Qt::KeepAspectRatio, Qt::FastTransformation);
    // scaled() hands back the square itself when it already fits, and the square is a view
    // into the decode buffer; the dialog shows the preview after that buffer has been
    // reused or freed, so it must own its pixels.
    if (preview.constBits() == square.constBits())
        preview = square.copy();
    return preview;
}

void LoadImagesHandler::run()
{
    while (running) {
        const QString path = dialog->takeNextPath();
        if (path.isEmpty())
            break;
        processOne(path);
    }
    decoder.release();
}

void LoadImagesHandler::processOne(const QString &path)
{
    // One decode per picture: the preview, the thumbnail and the conversion all start from it.
    // It stays in the decoder's buffer, reused for the next picture: no copy may outlive
    // this call.
    // Only the centred square is decoded: nothing else of the picture is ever shown or sampled.
    const QImage &square = decoder.decodeCentredSquare(path, &stopRequested);
    const QRect squareRect = RoundSquare::centredSquare(decoder.pictureSize());
    if (square.isNull() || squareRect.width() <= 0) {
        if (running)
            emit handlerMessage(CodeUnreadable, path, QImage(), nullptr, decoder.error());
        return;
    }
    const QImage preview = previewOf(square);
    if (!running)
        return;
    emit handlerMessage(CodeShown, path, preview, nullptr);
    if (!running)
        return;

    // Built without a source path so that the item does not decode the file a second time
    // for its thumbnail; the same fields are filled from the decoded picture instead.
    auto *item = new ImageObject(0, QString(), 5.0, ImageObject::KindPictureFile);
    item->sampling = SamplingChoice::stored();
    item->sourcePath = path;
    item->squareRect = squareRect;
    item->contrastFactor = 1.0f;
    // The conversion samples the square scaled to 450 x 450; handing it that picture saves
    // it a copy of the full-size square.
    const QImage sampled = RoundSquare::scaledToSide(square, item->sampling);
    item->saveThumbnail(RoundSquare::thumbnailOf(sampled));
    convertPicture(sampled, item, &stopRequested);
    if (!running) {
        delete item;
        return;
    }
    // The copy is made here rather than on the GUI thread, where copying a photograph of
    // several MB held the window still for up to 16 ms; the item is appended with it.
    item->sourcePath = ImageObject::copyIntoWorkDirectory(path);
    // The item lives on in the GUI thread's playlist.
    item->moveToThread(dialog->thread());
    emit handlerMessage(CodeConverted, path, preview, item);
    qCDebug(lcUi) << "process image " << path;
}
