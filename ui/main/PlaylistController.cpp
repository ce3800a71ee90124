#include "ui/main/PlaylistController.h"

#include "effect/EffectPlaylist.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/ReadImageThread.h"
#include "ui/UiLog.h"
#include "ui/main/ContrastJobs.h"
#include "ui/main/DownloadFlow.h"
#include "ui/main/ReadBackMerge.h"
#include "ui/main/SamplingChoice.h"
#include "ui/playlist/CustomTableModel.h"

#include <QDebug>
#include <QImage>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QTableView>

#include <algorithm>

namespace {

// True when index is valid and its row is highlighted in view: the view moves its current
// index to a neighbour without highlighting it, and a click must never delete that unseen row.
bool isShownSelected(const QTableView *view, const QModelIndex &index)
{
    return index.isValid() && view->selectionModel()
           && view->selectionModel()->isRowSelected(index.row(), index.parent());
}

} // namespace

PlaylistController::PlaylistController(QTableView *pictureView, QTableView *clipView,
                                       QWidget *window)
    : window(window), pictureView(pictureView), clipView(clipView),
      pictureModel(std::make_unique<CustomTableModel>(QList<CustomTableItem>{}, 1, -1)),
      clipModel(std::make_unique<CustomTableModel>(QList<CustomTableItem>{}, 1, -1))
{
    pictureView->setModel(pictureModel.get());
    clipView->setModel(clipModel.get());
}

PlaylistController::~PlaylistController()
{
    pictureView->setModel(nullptr);
    clipView->setModel(nullptr);
}

void PlaylistController::setUsers(DownloadFlow *downloadFlow, const ReadBackMerge *readFlow,
                                  const ContrastJobs *contrastJobs)
{
    download = downloadFlow;
    reads = readFlow;
    contrast = contrastJobs;
}

bool PlaylistController::isLocked(Change change) const
{
    if (download && download->isPending())
        return true;
    const bool destroys = change == Remove || change == Replace;
    return destroys && ((reads && reads->isBusy()) || (contrast && contrast->isBusy()));
}

bool PlaylistController::refuse(Change change)
{
    if (!isLocked(change))
        return false;
    if (download && download->isPending())
        download->refuseWhilePending();
    else
        tip(QCoreApplication::translate("MainWindow", "dialog_title_playlist_in_use"));
    return true;
}

bool PlaylistController::inUse() const
{
    return (download && download->isPending()) || (contrast && contrast->isBusy());
}

void PlaylistController::tip(const QString &text)
{
    QMessageBox::information(window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
                             text, QMessageBox::Ok);
}

int PlaylistController::nextPictureNumber() const
{
    int max = 0;
    for (const ImageObject *item : pictureModel->itemsAs<ImageObject>())
        max = qMax(max, item->number);
    return max + 1;
}

void PlaylistController::addPictureFile(const QString &path)
{
    const QString copy = ImageObject::copyIntoWorkDirectory(path);
    auto *item = new ImageObject(nextPictureNumber(), copy, 5.0, ImageObject::KindPictureFile);
    item->sampling = SamplingChoice::stored();
    convertPicture(QImage(copy), item);
    pictureModel->addItem(item);
}

void PlaylistController::addLoadedPicture(ImageObject *item)
{
    if (!item)
        return;
    item->sourcePath = ImageObject::copyIntoWorkDirectory(item->sourcePath);
    addCopiedPicture(item);
}

void PlaylistController::addCopiedPicture(ImageObject *item)
{
    if (!item)
        return;
    item->number = nextPictureNumber();
    pictureModel->addItem(item);
}

void PlaylistController::addPicture(ImageObject *item)
{
    if (item)
        pictureModel->addItem(item);
}

void PlaylistController::addClip(MediaObject *clip)
{
    if (clip)
        clipModel->addItem(clip);
}

template <typename T>
void PlaylistController::move(CustomTableModel *model, T *item, int oldIndex, int newIndex,
                              const char *trace)
{
    if (isLocked(Reorder)) {
        // Put the editor back to the row's real position.
        model->setItems(model->itemsAs<T>());
        refuse(Reorder);
        return;
    }
    QList<T *> list = model->itemsAs<T>();
    if (list.isEmpty() || oldIndex == newIndex || !list.contains(item))
        return;
    int max = 0;
    for (const T *entry : std::as_const(list))
        max = qMax(max, entry->number);
    qCDebug(lcUi) << trace << newIndex << max;
    newIndex = qMin(newIndex, max);
    item->number = newIndex;
    for (T *other : std::as_const(list)) {
        if (other == item)
            continue;
        if (oldIndex < newIndex && other->number > oldIndex && other->number <= newIndex)
            --other->number;
        else if (oldIndex > newIndex && other->number >= newIndex && other->number < oldIndex)
            ++other->number;
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const T *a, const T *b) { return a->number < b->number; });
    model->setItems(list);
}

void PlaylistController::movePicture(ImageObject *item, int oldIndex, int newIndex)
{
    move(pictureModel.get(), item, oldIndex, newIndex, "onImageIndexChanged() ");
}

void PlaylistController::moveClip(MediaObject *item, int oldIndex, int newIndex)
{
    move(clipModel.get(), item, oldIndex, newIndex, "onMediaIndexChanged() ");
}

ImageObject *PlaylistController::currentPicture() const
{
    const QModelIndex current = pictureView->currentIndex();
    return current.isValid() ? qobject_cast<ImageObject *>(CustomTableModel::itemOf(current))
                             : nullptr;
}

MediaObject *PlaylistController::currentClip() const
{
    const QModelIndex current = clipView->currentIndex();
    return current.isValid() ? qobject_cast<MediaObject *>(CustomTableModel::itemOf(current))
                             : nullptr;
}

void PlaylistController::refreshPicture(ImageObject *item)
{
    const int row = pictureModel->itemsAs<ImageObject>().indexOf(item);
    if (row >= 0)
        pictureModel->refrehItem(pictureModel->index(row, 0));
}

bool PlaylistController::removeSelectedPicture()
{
    if (refuse(Remove))
        return false;
    const QModelIndex current = pictureView->currentIndex();
    if (!isShownSelected(pictureView, current))
        return false;
    pictureModel->delRow(current.row(), 1);
    pictureView->closePersistentEditor(pictureView->currentIndex());
    pictureView->selectionModel()->clear();
    return true;
}

bool PlaylistController::removeSelectedClip()
{
    if (refuse(Remove))
        return false;
    const QModelIndex current = clipView->currentIndex();
    if (isShownSelected(clipView, current)) {
        emit clipAboutToGo(qobject_cast<MediaObject *>(CustomTableModel::itemOf(current)));
        clipModel->delRow(current.row(), 1);
    }
    clipView->selectionModel()->clear();
    return true;
}

void PlaylistController::clear()
{
    // The pending download's writer or a contrast change still uses these items.
    if (inUse()) {
        qCDebug(lcUi) << "#MainWindow# clearPlaylists() refused while the items are in use";
        return;
    }
    emit aboutToClear();
    clipModel->delAll();
    pictureModel->delAll();
}

void PlaylistController::replace(const QList<ImageObject *> &images,
                                 const QList<MediaObject *> &medias)
{
    clear();
    if (!images.isEmpty())
        pictureModel->addItems(images);
    if (!medias.isEmpty())
        clipModel->addItems(medias);
}

EffectPlaylist PlaylistController::snapshot() const
{
    return EffectPlaylist::capture(pictureModel->itemsAs<ImageObject>(),
                                   clipModel->itemsAs<MediaObject>());
}
