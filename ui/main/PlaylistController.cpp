#include "ui/main/PlaylistController.h"

#include "effect/EffectPlaylist.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/ReadImageThread.h"
#include "motion/TransitionLinks.h"
#include "show/ShowContent.h"
#include "show/ShowSnapshot.h"
#include "show/RecoveryWriter.h"
#include "ui/UiLog.h"
#include "ui/main/ContrastCommand.h"
#include "ui/main/ContrastJobs.h"
#include "ui/main/DownloadFlow.h"
#include "ui/main/MoveRowCommand.h"
#include "ui/main/ReadBackMerge.h"
#include "ui/main/RemoveRowCommand.h"
#include "ui/main/ReplaceRowCommand.h"
#include "ui/main/RowValueCommand.h"
#include "ui/main/SamplingChoice.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ImageObjectWidget.h"

#include <QApplication>
#include <QDebug>
#include <QImage>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTableView>
#include <QUndoStack>

#include <algorithm>
#include <cmath>



PlaylistController::PlaylistController(QTableView *pictureView, QTableView *clipView,
                                       QWidget *window)
    : window(window), pictureView(pictureView), clipView(clipView),
      pictureModel(std::make_unique<CustomTableModel>(QList<CustomTableItem>{}, 1, -1)),
      clipModel(std::make_unique<CustomTableModel>(QList<CustomTableItem>{}, 1, -1)),
      undoStack(std::make_unique<QUndoStack>())
{
    for (QTableView *view : {pictureView, clipView}) {
        CustomTableModel *model = view == pictureView ? pictureModel.get() : clipModel.get();
        view->setModel(model);
        // Editors opened on the current row alone made the current row look selected while
        // Del acted on the selection, and swallowed the first click of a row. Every row keeps
        // its editor; the highlight shows the selection and nothing else.
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        const auto reopen = [this, view] { openEditors(view); };
        connect(model, &QAbstractItemModel::rowsInserted, this, reopen);
        connect(model, &QAbstractItemModel::modelReset, this, reopen);
        connect(model, &QAbstractItemModel::layoutChanged, this, reopen);
    }
    connect(clipView, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (auto *clip = qobject_cast<MediaObject *>(CustomTableModel::itemOf(index)))
            emit clipActivated(clip);
    });
}

void PlaylistController::openEditors(QTableView *view)
{
    QAbstractItemModel *model = view->model();
    if (!model)
        return;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (view->isPersistentEditorOpen(index))
            continue;
        view->openPersistentEditor(index);
        // A new item, or one whose editor shows it anew: what it holds now is its value.
        if (const QObject *item = CustomTableModel::itemOf(index)) {
            knownValues.insert(item, valueOf(item));
            if (const auto *picture = qobject_cast<const ImageObject *>(item))
                knownContrast.insert(item, int(std::lround(picture->contrastFactor * 10.0f)));
        }
        if (QWidget *editor = view->indexWidget(index))
            watchPresses(editor);
    }
}

void PlaylistController::watchPresses(QWidget *editor)
{
    editor->installEventFilter(this);
    for (QWidget *child : editor->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool PlaylistController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        clipView->viewport()->isAncestorOf(qobject_cast<QWidget *>(watched))) {
        // The row's editor covers it: the view never sees the double-click itself.
        const auto *press = static_cast<QMouseEvent *>(event);
        const QModelIndex index = clipView->indexAt(
            clipView->viewport()->mapFromGlobal(press->globalPosition().toPoint()));
        if (auto *clip = qobject_cast<MediaObject *>(CustomTableModel::itemOf(index)))
            emit clipActivated(clip);
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    const auto *press = static_cast<QMouseEvent *>(event);
    for (QTableView *view : {pictureView, clipView}) {
        if (!view->viewport()->isAncestorOf(qobject_cast<QWidget *>(watched)))
            continue;
        const QPoint at = view->viewport()->mapFromGlobal(press->globalPosition().toPoint());
        const QModelIndex index = view->indexAt(at);
        if (index.isValid() && selectedRow(view) != index.row())
            selectRow(view, index.row());
    }
    return false;
}

void PlaylistController::selectRow(QTableView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void PlaylistController::releaseFocus(QTableView *view)
{
    // A control of the row about to go may hold the focus; when its editor goes, the focus
    // would wander to another row and select it.
    if (view->viewport()->isAncestorOf(QApplication::focusWidget()))
        view->setFocus(Qt::OtherFocusReason);
}

int PlaylistController::selectedRow(const QTableView *view)
{
    if (!view->selectionModel())
        return -1;
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -1;
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
    // A saver reads the items' files: a redraw or a contrast change would write them anew.
    if (holders > 0 && (destroys || change == Edit))
        return true;
    return destroys && ((reads && reads->isBusy()) || (contrast && contrast->isBusy()));
}

void PlaylistController::setSaver(RecoveryWriter *recoverySaver)
{
    saver = recoverySaver;
}

bool PlaylistController::refuse(Change change)
{
    // An edit rewrites an item, a deletion or an undo may free or rewrite one.
    if (change != Add && change != Reorder && saver)
        saver->settle();
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
    return (download && download->isPending()) || isConverting() || holders > 0;
}

bool PlaylistController::isConverting() const
{
    return contrast && contrast->isBusy();
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

void PlaylistController::addPictureFile(const QString &path, int row)
{
    const QString copy = ImageObject::copyIntoWorkDirectory(path);
    auto *item = new ImageObject(nextPictureNumber(), copy, 5.0, ImageObject::KindPictureFile);
    item->sampling = SamplingChoice::stored();
    convertPicture(QImage(copy), item);
    placePicture(item, row);
}

void PlaylistController::placePicture(ImageObject *item, int row)
{
    if (row < 0 || row >= pictureModel->itemCount()) {
        item->number = nextPictureNumber();
        pictureModel->addItem(item);
        return;
    }
    pictureModel->insertItem(row, item);
}

void PlaylistController::addLoadedPicture(ImageObject *item)
{
    if (!item)
        return;
    item->sourcePath = ImageObject::copyIntoWorkDirectory(item->sourcePath);
    addCopiedPicture(item);
}

void PlaylistController::addCopiedPicture(ImageObject *item, int row)
{
    if (item)
        placePicture(item, row);
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

bool PlaylistController::replaceClip(MediaObject *old, MediaObject *replacement)
{
    std::unique_ptr<MediaObject> owned(replacement);
    if (!replacement || refuse(Remove))
        return false;
    const int row = clipModel->itemsAs<MediaObject>().indexOf(old);
    if (row < 0)
        return false;
    replacement->number = old->number;
    replacement->loopCount = old->loopCount;
    releaseFocus(clipView);
    clipView->selectionModel()->clear();
    // The old clip leaves the list (held for undo): nothing may go on playing it.
    emit clipAboutToGo(old);
    undoStack->push(new ReplaceRowCommand(clipModel.get(), row, owned.release()));
    selectRow(clipView, row);
    emit historyApplied();
    return true;
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
    const QList<T *> list = model->itemsAs<T>();
    if (list.isEmpty() || oldIndex == newIndex || !list.contains(item))
        return;
    int max = 0;
    for (const T *entry : list)
        max = qMax(max, entry->number);
    qCDebug(lcUi) << trace << newIndex << max;
    newIndex = qMin(newIndex, max);
    undoStack->push(new MoveRowCommand(item, oldIndex, newIndex,
                                       [this, model](QObject *moved, int from, int to) {
                                           reorder(model, static_cast<T *>(moved), from, to);
                                       }));
}

template <typename T>
void PlaylistController::reorder(CustomTableModel *model, T *item, int oldIndex, int newIndex)
{
    QList<T *> list = model->itemsAs<T>();
    if (!list.contains(item))
        return;
    // Pictures dropped in before it since the move was recorded have shifted the item: it
    // leaves the place it holds now, or the others would be renumbered around a wrong gap.
    oldIndex = item->number;
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
    QTableView *view = model == pictureModel.get() ? pictureView : clipView;
    // The reset deletes the row editors, the combo box the move was chosen in among them: the
    // focus stays on the list, where the Delete key finds the moved row.
    releaseFocus(view);
    model->setItems(list);
    // The reset forgot the selection without a word; the moved item stays the selected one.
    selectRow(view, list.indexOf(item));
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
    if (row < 0)
        return;
    const QModelIndex index = pictureModel->index(row, 0);
    // An edited picture has a new thumbnail; the row's editor, left open so that nothing
    // typed into it is lost, only reads it again.
    if (auto *editor = qobject_cast<ImageObjectWidget *>(pictureView->indexWidget(index)))
        editor->showThumbnail();
    pictureModel->refrehItem(index);
}

bool PlaylistController::removeSelectedPicture()
{
    if (refuse(Remove))
        return false;
    // The highlighted row, asked at the press: never the current index, which the view moves
    // to a neighbour without highlighting it.
    const int row = selectedRow(pictureView);
    if (row < 0)
        return false;
    releaseFocus(pictureView);
    pictureView->selectionModel()->clear();
    undoStack->push(new RemoveRowCommand(pictureModel.get(), row));
    return true;
}

bool PlaylistController::removeSelectedClip()
{
    if (refuse(Remove))
        return false;
    const int row = selectedRow(clipView);
    releaseFocus(clipView);
    clipView->selectionModel()->clear();
    if (row >= 0) {
        emit clipAboutToGo(qobject_cast<MediaObject *>(
            CustomTableModel::itemOf(clipModel->index(row, 0))));
        undoStack->push(new RemoveRowCommand(clipModel.get(), row));
    }
    return true;
}

bool PlaylistController::undo()
{
    return step(true);
}

bool PlaylistController::redo()
{
    return step(false);
}

bool PlaylistController::step(bool back)
{
    if (back ? !undoStack->canUndo() : !undoStack->canRedo())
        return false;
    if (refuse(Remove))
        return false;
    // A clip leaving its list must not go on playing: nothing stays selected.
    for (QTableView *view : {pictureView, clipView}) {
        releaseFocus(view);
        view->selectionModel()->clear();
    }
    back ? undoStack->undo() : undoStack->redo();
    emit historyApplied();
    return true;
}

double PlaylistController::valueOf(const QObject *item)
{
    if (const auto *picture = qobject_cast<const ImageObject *>(item))
        return picture->displayTime;
    if (const auto *clip = qobject_cast<const MediaObject *>(item))
        return clip->loopCount;
    return 0;
}

void PlaylistController::noteValues(bool typed)
{
    const auto origin = typed ? RowValueCommand::Origin::Typing : RowValueCommand::Origin::Step;
    QList<QObject *> items = pictureModel->itemList();
    items += clipModel->itemList();
    for (QObject *item : std::as_const(items)) {
        const double now = valueOf(item);
        const auto known = knownValues.constFind(item);
        if (known == knownValues.cend()) {
            knownValues.insert(item, now);
        } else if (*known != now) {
            const double before = *known;
            knownValues.insert(item, now);
            undoStack->push(new RowValueCommand(item, before, now,
                                                [this](QObject *target, double value) {
                                                    applyValue(target, value);
                                                },
                                                origin));
        }
    }
}

void PlaylistController::setContrastApplier(std::function<void(ImageObject *, int)> apply)
{
    contrastApplier = std::move(apply);
}

void PlaylistController::noteContrast(ImageObject *item)
{
    if (!item || !pictureModel->itemList().contains(item))
        return;
    const int now = int(std::lround(item->contrastFactor * 10.0f));
    const int before = knownContrast.value(item, now);
    knownContrast.insert(item, now);
    if (before == now || !contrastApplier)
        return;
    undoStack->push(new ContrastCommand(item, before, now, [this](QObject *target, double value) {
        auto *picture = qobject_cast<ImageObject *>(target);
        if (!picture)
            return;
        // Known at once, so that its completion is not taken for a new change.
        knownContrast.insert(picture, qRound(value));
        contrastApplier(picture, qRound(value));
    }));
}

void PlaylistController::applyValue(QObject *item, double value)
{
    if (auto *picture = qobject_cast<ImageObject *>(item))
        picture->displayTime = value;
    else if (auto *clip = qobject_cast<MediaObject *>(item))
        clip->loopCount = qRound(value);
    knownValues.insert(item, value);
    const bool isPicture = qobject_cast<ImageObject *>(item) != nullptr;
    CustomTableModel *model = isPicture ? pictureModel.get() : clipModel.get();
    QTableView *view = isPicture ? pictureView : clipView;
    const int row = model->itemList().indexOf(item);
    if (row < 0)
        return;
    // The editor reads its item when it is made: a new one shows the restored value.
    const QModelIndex index = model->index(row, 0);
    view->closePersistentEditor(index);
    openEditors(view);
    model->refrehItem(index);
}

void PlaylistController::clear()
{
    if (saver)
        saver->settle();
    // The pending download's writer or a contrast change still uses these items.
    if (inUse()) {
        qCDebug(lcUi) << "#MainWindow# clearPlaylists() refused while the items are in use";
        return;
    }
    emit aboutToClear();
    undoStack->clear();
    knownValues.clear();
    knownContrast.clear();
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

void PlaylistController::setTransitions(TransitionLinks *links)
{
    transitions = links;
}

ShowSnapshot PlaylistController::showSnapshot(SamplingMode sampling) const
{
    return ShowSnapshot::capture(pictureModel->itemsAs<ImageObject>(),
                                 clipModel->itemsAs<MediaObject>(), sampling,
                                 transitionsJson());
}

void PlaylistController::replace(ShowContent &content)
{
    const QList<ImageObject *> images = content.takePictures();
    const QList<MediaObject *> medias = content.takeClips();
    replace(images, medias, content.allTransitions());
}

void PlaylistController::replace(const QList<ImageObject *> &images,
                                 const QList<MediaObject *> &medias,
                                 const QHash<const QObject *, QString> &transitionsAfter)
{
    // Set before the rows arrive: the links make each one when its pair is in the lists.
    if (transitions) {
        for (auto it = transitionsAfter.cbegin(); it != transitionsAfter.cend(); ++it) {
            if (const Outcome set = transitions->setFromJson(const_cast<QObject *>(it.key()),
                                                             it.value());
                !set)
                qCWarning(lcUi) << "#PlaylistController# a transition is left out:" << set.error();
        }
    }
    replace(images, medias);
}

QHash<const QObject *, QString> PlaylistController::transitionsJson() const
{
    return transitions ? transitions->allAsJson() : QHash<const QObject *, QString>();
}

EffectPlaylist PlaylistController::snapshot() const
{
    return EffectPlaylist::capture(pictureModel->itemsAs<ImageObject>(),
                                   clipModel->itemsAs<MediaObject>());
}
