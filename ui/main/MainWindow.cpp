#include "ui/main/MainWindow.h"

#include "app/AppGlobals.h"
#include "app/LanguageTable.h"
#include "disk/DiskMonitor.h"
#include "ui/disk/SelectUsbPathDialog.h"
#include "effect/EffectFileCheck.h"
#include "effect/EffectPlaylist.h"
#include "effect/PlayMediaHandler.h"
#include "effect/ReadRequest.h"
#include "ui/import/LoadGifDialog.h"
#include "ui/import/LoadMediaDialog.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/ReadImageThread.h"
#include "ui/dialogs/SettingColorForm.h"
#include "ui/main/ClipPlayer.h"
#include "ui/main/ContrastJobs.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/diy/DiyPictureEditor.h"
#include "ui/main/DownloadFlow.h"
#include "ui/dialogs/FileFilters.h"
#include "ui/dialogs/GetSaveFileDialog.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/playlist/ListImageItemDelegate.h"
#include "ui/playlist/ListMediaItemDelegate.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/playlist/MediaObjectWidget.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/main/ReadBackMerge.h"
#include "ui/main/ReadFailureMessage.h"
#include "ui/main/SamplingChoice.h"
#include "ui/main/ShowPlayer.h"
#include "ui/UiLog.h"
#include "ui/dialogs/UpdateImageContract.h"
#include "ui/dialogs/UpdateLedCountDialog.h"
#include "ui/dialogs/UpdateLineNumberDialog.h"

#include <QAction>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QToolBox>

#include <algorithm>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    ui.setupUi(this);
    ui.btnPlay->hide();
    ui.btnStop->hide();
    setWindowFlags(Qt::Window);
    paintInitialPreview();
    ui.btnEditMedia->hide();

    createWorker();
    setUpLists();
    connectForm();

    sampling = new SamplingChoice(ui.toolsMenu, this);

    imageMenu = new QMenu(this);
    contrastAction = imageMenu->addAction(tr("调整对比度"));
    connect(contrastAction, &QAction::triggered, this, &MainWindow::updateImageContract);

    ui.btnDelImage->setEnabled(false);
    ui.btnDelMedia->setEnabled(false);
    ui.btnEditImage->setEnabled(false);

    setUpDisks();

    resize(1400, 700);
    setMinimumSize(1400, 700);
}

MainWindow::~MainWindow()
{
    // Nothing of the worker may name what goes now: a read stops at its next record, a
    // write that reads the playlist's items is waited for, and no frame echo is left.
    closing = true;
    delete reading;
    delete download;
    delete player;
    delete showPlayback;
    // Once the worker is gone nothing more is posted here; the replies already on their way
    // carry messages this window owns, and are delivered (and deleted) now.
    delete playHandler;
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    // Close the row editors before the models destroy the items they show.
    ui.tableView->setModel(nullptr);
    ui.tableViewMedia->setModel(nullptr);
    delete imageModel;
    delete mediaModel;
}

void MainWindow::connectForm()
{
    connect(ui.btnDelImage, &QPushButton::clicked, this, &MainWindow::onBtnDelImage);
    connect(ui.btnPlay, &QPushButton::clicked, this, &MainWindow::onBtnPlayClick);
    connect(ui.btnStop, &QPushButton::clicked, this, &MainWindow::onBtnStopClick);
    connect(ui.actionPlayShow, &QAction::triggered, this, &MainWindow::onActionPlayShow);
    connect(ui.btnEditImage, &QPushButton::clicked, this, &MainWindow::onBtnEditDiy);
    connect(ui.btnDelMedia, &QPushButton::clicked, this, &MainWindow::onBtnDelMedia);
    connect(ui.actionNewDiy, &QAction::triggered, this, &MainWindow::onActionNewDiy);
    connect(ui.actionOpenImage, &QAction::triggered, this, &MainWindow::onActionOpenImage);
    connect(ui.actionLoadMedia, &QAction::triggered, this, &MainWindow::onActionLoadMedia);
    connect(ui.actionLoadGif, &QAction::triggered, this, &MainWindow::onActionLoadGif);
    connect(ui.actionDownToUsb, &QAction::triggered, this, &MainWindow::onActionDownToUsb);
    connect(ui.actionDownToLocal, &QAction::triggered, this, &MainWindow::onActionDownToLocal);
    connect(ui.actionPreviewFromUsb, &QAction::triggered, this, &MainWindow::onActionPreviewFromUsb);
    connect(ui.actionRestoreFactory, &QAction::triggered, this, &MainWindow::onActionRestoreFactory);
    connect(ui.actionSettingColor, &QAction::triggered, this, &MainWindow::onActionSettingColor);
    connect(ui.actionLedCount, &QAction::triggered, this, &MainWindow::onBtnLedCount);
    connect(ui.actionLineNumber, &QAction::triggered, this, &MainWindow::onBtnLineNumber);
    connect(ui.btnZhCn, &QPushButton::clicked, this, &MainWindow::onBtnZhCnClick);
    connect(ui.btnZhHk, &QPushButton::clicked, this, &MainWindow::onBtnZhHkClick);
    connect(ui.btnEnUs, &QPushButton::clicked, this, &MainWindow::onBtnEnUsClick);
    connect(ui.btnJp, &QPushButton::clicked, this, &MainWindow::onBtnJpClick);
}

void MainWindow::paintInitialPreview()
{
    QImage image(449, 449, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::red);
    painter.setBrush(Qt::transparent);
    painter.drawEllipse(QRect(QPoint(0, 0), QPoint(447, 447)));
    painter.end();
    setPreviewBackground(QBrush(image));
}

void MainWindow::setPreviewBackground(const QBrush &brush)
{
    QPalette palette = ui.previewWidget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, brush);
    ui.previewWidget->setPalette(palette);
    ui.previewWidget->setAutoFillBackground(true);
}

void MainWindow::createWorker()
{
    playHandler = new PlayMediaHandler(HandlerThread::shared(), this);
    connect(playHandler, &PlayMediaHandler::handlerMessage, this, &MainWindow::handlerMessage);
    connect(playHandler, &PlayMediaHandler::previewUsbOver, this, &MainWindow::previewUsbOver);
    connect(playHandler, &PlayMediaHandler::restoreFactoryOver, this, &MainWindow::restoreFactoryOver);
    download = new DownloadFlow(playHandler, this);
    reading = new ReadBackMerge(playHandler, this);
    contrast = new ContrastJobs(playHandler, this);
    connect(reading, &ReadBackMerge::busyChanged, this, &MainWindow::updateBusyActions);
    connect(contrast, &ContrastJobs::busyChanged, this, &MainWindow::updateBusyActions);
    connect(contrast, &ContrastJobs::applied, this, &MainWindow::onContrastApplied);
}

void MainWindow::setUpLists()
{
    imageModel = new CustomTableModel({}, 1, -1);
    mediaModel = new CustomTableModel({}, 1, -1);
    ui.tableView->setItemDelegate(new ListImageItemDelegate(playHandler, this, this));
    ui.tableViewMedia->setItemDelegate(new ListMediaItemDelegate(playHandler, this, this));
    ui.tableView->setModel(imageModel);
    ui.tableViewMedia->setModel(mediaModel);
    ui.tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui.tableViewMedia->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(ui.tableView, &QTableView::pressed, this, &MainWindow::pressImageWidget);
    connect(ui.tableView, &QTableView::customContextMenuRequested, this,
            &MainWindow::onTableViewMenuRequested);
    connect(ui.tableViewMedia, &QTableView::pressed, this, &MainWindow::pressMediaWidget);

    player = new ClipPlayer(playHandler, mediaModel, this);
    connect(player, &ClipPlayer::frameShown, this, &MainWindow::showPreviewImage);

    showPlayback = new ShowPlayer(imageModel, mediaModel, ui.showPositionBar,
                                  ui.showLengthLabel, this);
    connect(showPlayback, &ShowPlayer::frameShown, this, &MainWindow::showPreviewImage);
    for (QTableView *view : {ui.tableView, ui.tableViewMedia}) {
        connect(static_cast<RowItemDelegate *>(view->itemDelegate()), &RowItemDelegate::rowValueChanged,
                showPlayback, &ShowPlayer::updateLength);
    }
    connect(showPlayback, &ShowPlayer::started, this, [this] {
        ui.btnPlay->hide();
        ui.btnStop->show();
    });
    connect(showPlayback, &ShowPlayer::stopped, this, [this] {
        ui.btnStop->hide();
        ui.btnPlay->setVisible(player->clip() != nullptr);
    });
}

void MainWindow::setUpDisks()
{
    diskMonitor = new DiskMonitor(this);
    connect(diskMonitor, &DiskMonitor::usbMountEvent, this, &MainWindow::usbMountEvent);
    connect(diskMonitor, &DiskMonitor::usbUMountEvent, this, &MainWindow::usbUMountEvent);
    diskMonitor->scanDisks();
}

QStringList MainWindow::knownDisks() const
{
    return diskMonitor ? diskMonitor->knownDisks() : QStringList();
}

bool MainWindow::isDownloadPending() const
{
    return download->isPending();
}

bool MainWindow::isPlaying() const
{
    return player->isPlaying() || showPlayback->isPlaying();
}

ProgressDialog *MainWindow::currentBusyDialog() const
{
    return download->busyDialog() ? download->busyDialog() : reading->busyDialog();
}

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    if (diskMonitor)
        diskMonitor->nativeEvent(eventType, message, result);
    return QMainWindow::nativeEvent(eventType, message, result);
}

// ---------------------------------------------------------------------------- languages

void MainWindow::retranslateUi()
{
    ui.retranslateUi(this);
    if (sampling)
        sampling->retranslate();
    if (contrastAction)
        contrastAction->setText(tr("调整对比度"));
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}

void MainWindow::switchLanguage(int code, const char *slotName)
{
    qCDebug(lcUi) << slotName;
    const Language *language = LanguageTable::byCode(code);
    // A catalogue that does not load leaves the previous language in place.
    if (languageCode != code && language && languages.switchTo(*language)) {
        languageCode = code;
        retranslateUi();
    }
    // A click has toggled its button; only the active language's stays checked.
    ui.checkLanguageButton(languageCode);
}

void MainWindow::onBtnZhCnClick()
{
    switchLanguage(1, "onBtnZhCnClick");
}

void MainWindow::onBtnZhHkClick()
{
    switchLanguage(2, "onBtnZhHkClick");
}

void MainWindow::onBtnEnUsClick()
{
    switchLanguage(3, "onBtnEnUsClick");
}

void MainWindow::onBtnJpClick()
{
    switchLanguage(4, "onBtnJpClick");
}

// ------------------------------------------------------------------------ window slots

void MainWindow::onBtnMinWindow()
{
    showMinimized();
}

void MainWindow::onBtnMaxWindow()
{
    showFullScreen();
}

void MainWindow::onBtnCloseWindow()
{
    close();
}

// -------------------------------------------------------------------- selection, preview

void MainWindow::showPreviewImage(ImageObject *item)
{
    if (item)
        setPreviewBackground(QBrush(item->loadSamplingPreview()));
    else
        setPreviewBackground(QBrush(Qt::white));
}

void MainWindow::stopIfPlaying()
{
    showPlayback->stop();
    if (player->isPlaying())
        onBtnStopClick();
}

void MainWindow::updatePictureButtons(ImageObject *item)
{
    ui.btnDelImage->setEnabled(item != nullptr);
    ui.btnEditImage->setEnabled(item && (item->kind == ImageObject::KindPictureFile
                                         || item->kind == ImageObject::KindDiy));
}

void MainWindow::pressImageWidget(const QModelIndex &index)
{
    qCDebug(lcUi) << "#MainWindow# pressImageWidget() " << index;
    stopIfPlaying();
    ui.btnPlay->hide();
    ui.btnStop->hide();
    auto *item = index.isValid() && index.model()
                     ? qobject_cast<ImageObject *>(CustomTableModel::itemOf(index))
                     : nullptr;
    showPreviewImage(item);
    updatePictureButtons(item);
}

void MainWindow::pressMediaWidget(const QModelIndex &index)
{
    stopIfPlaying();
    auto *clip = index.isValid() ? qobject_cast<MediaObject *>(CustomTableModel::itemOf(index))
                                 : nullptr;
    if (clip) {
        if (!clip->frames.isEmpty()) {
            player->setClip(clip);
            showPreviewImage(clip->frames.first());
            ui.btnPlay->show();
            ui.btnStop->hide();
        }
        ui.btnDelMedia->setEnabled(true);
        return;
    }
    player->setClip(nullptr);
    showPreviewImage(nullptr);
    ui.btnPlay->hide();
    ui.btnStop->hide();
    ui.btnDelMedia->setEnabled(false);
}

void MainWindow::onImageContractChanged(QObject *object)
{
    stopIfPlaying();
    ui.btnPlay->hide();
    ui.btnStop->hide();
    auto *item = qobject_cast<ImageObject *>(object);
    showPreviewImage(item);
    updatePictureButtons(item);
}

// ------------------------------------------------------------------------ list editing

bool MainWindow::refuseWhileDownloading()
{
    return download->refuseWhilePending();
}

void MainWindow::onBtnDelImage()
{
    if (refusePlaylistChange())
        return;
    const QModelIndex current = ui.tableView->currentIndex();
    if (!isShownSelected(ui.tableView, current))
        return;
    imageModel->delRow(current.row(), 1);
    ui.tableView->closePersistentEditor(ui.tableView->currentIndex());
    // The view moves its current index to a neighbour without highlighting it; a second
    // click would delete that unseen row. Nothing stays selected after a delete.
    ui.tableView->selectionModel()->clear();
    pressImageWidget(QModelIndex());
}

bool MainWindow::isShownSelected(const QTableView *view, const QModelIndex &index)
{
    return index.isValid() && view->selectionModel()
           && view->selectionModel()->isRowSelected(index.row(), index.parent());
}

void MainWindow::onBtnDelMedia()
{
    if (refuseWhileDownloading())
        return;
    const QModelIndex current = ui.tableViewMedia->currentIndex();
    if (isShownSelected(ui.tableViewMedia, current)) {
        player->forget(qobject_cast<MediaObject *>(CustomTableModel::itemOf(current)));
        mediaModel->delRow(current.row(), 1);
    }
    ui.tableViewMedia->selectionModel()->clear();
    pressMediaWidget(QModelIndex());
}

void MainWindow::clearPlaylists()
{
    // The pending download's writer or a contrast change still uses these items.
    if (playlistInUse()) {
        qCDebug(lcUi) << "#MainWindow# clearPlaylists() refused while the items are in use";
        return;
    }
    stopIfPlaying();
    player->setClip(nullptr);
    mediaModel->delAll();
    imageModel->delAll();
}

template <typename T>
void MainWindow::moveInList(CustomTableModel *model, T *item, int oldIndex, int newIndex,
                            const char *trace)
{
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

void MainWindow::onImageIndexChanged(ImageObject *item, int oldIndex, int newIndex)
{
    if (download->isPending()) {
        // Put the editor back to the row's real position.
        imageModel->setItems(imageModel->itemsAs<ImageObject>());
        refuseWhileDownloading();
        return;
    }
    moveInList(imageModel, item, oldIndex, newIndex, "onImageIndexChanged() ");
}

void MainWindow::onMediaIndexChanged(MediaObject *item, int oldIndex, int newIndex)
{
    if (download->isPending()) {
        mediaModel->setItems(mediaModel->itemsAs<MediaObject>());
        refuseWhileDownloading();
        return;
    }
    moveInList(mediaModel, item, oldIndex, newIndex, "onMediaIndexChanged() ");
}

// ------------------------------------------------------------------------ picture import

void MainWindow::onActionOpenImage()
{
    if (refuseWhileDownloading())
        return;
    if (imageModel->itemCount() >= MaxPictures) {
        QMessageBox::information(this, tr("dialog_title_tip"),
                                 tr("图片最多只能包含%1张图片！").arg(MaxPictures),
                                 QMessageBox::Ok);
        return;
    }
    const QStringList files = QFileDialog::getOpenFileNames(
        this, tr("dialog_title_load_picture"), lastBrowseDirectory,
        FileFilters::withAllFiles(tr("image Files (*.png *.jpg)"), FileFilters::pictureSuffixes()));
    if (files.isEmpty())
        return;
    lastBrowseDirectory = QFileInfo(files.first()).absolutePath();
    importPictureFiles(files);
}

void MainWindow::importPictureFiles(const QStringList &files)
{
    if (files.isEmpty() || refuseWhileDownloading())
        return;
    auto *dialog = new LoadImagesDialog(files, nullptr);
    receiveImportsFrom(dialog);
    dialog->exec();
    delete dialog;
    ui.toolBox->setCurrentIndex(0);
}

void MainWindow::receiveImportsFrom(LoadImagesDialog *dialog)
{
    connect(dialog, &LoadImagesDialog::pictureConverted, this, &MainWindow::addCopiedPicture);
    connect(dialog, &LoadImagesDialog::pictureFileReady, this, &MainWindow::addPictureFile);
}

int MainWindow::nextPictureNumber() const
{
    int max = 0;
    for (const ImageObject *item : imageModel->itemsAs<ImageObject>())
        max = qMax(max, item->number);
    return max + 1;
}

void MainWindow::addPictureFile(const QString &path)
{
    const QString copy = ImageObject::copyIntoWorkDirectory(path);
    auto *item = new ImageObject(nextPictureNumber(), copy, 5.0, ImageObject::KindPictureFile);
    item->sampling = SamplingChoice::stored();
    convertPicture(QImage(copy), item);
    imageModel->addItem(item);
}

void MainWindow::addLoadedPicture(ImageObject *item)
{
    if (!item)
        return;
    item->sourcePath = ImageObject::copyIntoWorkDirectory(item->sourcePath);
    addCopiedPicture(item);
}

void MainWindow::addCopiedPicture(ImageObject *item)
{
    if (!item)
        return;
    item->number = nextPictureNumber();
    imageModel->addItem(item);
}

// ------------------------------------------------------------------------- worker echoes

void MainWindow::handlerMessage(Message *msg)
{
    if (!msg)
        return;
    if (closing) {
        delete msg;
        return;
    }
    qCDebug(lcUi) << "handlerMessage " << msg->code;
    switch (msg->code) {
    case PlayMediaHandler::PlayFrameCode:
        player->handleEcho(msg);  // reuses or deletes msg
        return;
    case PlayMediaHandler::DownloadCode:
        download->finish(msg);
        break;
    case PlayMediaHandler::ContrastCode:
        contrast->finish(msg);
        break;
    case PlayMediaHandler::PictureTimeUpCode:
    case PlayMediaHandler::PictureTimeDownCode:
        // The editor may have been closed while the echo was on its way.
        if (ImageObjectWidget::isLive(msg->object))
            static_cast<ImageObjectWidget *>(msg->object)->repeatStep(msg->code);
        break;
    case PlayMediaHandler::ClipLoopUpCode:
    case PlayMediaHandler::ClipLoopDownCode:
        if (MediaObjectWidget::isLive(msg->object))
            static_cast<MediaObjectWidget *>(msg->object)->repeatStep(msg->code);
        break;
    default:
        break;
    }
    delete msg;
}

void MainWindow::onBtnPlayClick()
{
    if (!player->play())
        return;
    ui.btnPlay->hide();
    ui.btnStop->show();
}

void MainWindow::onBtnStopClick()
{
    // The show's end puts the buttons back as the selection wants them.
    if (showPlayback->isPlaying()) {
        showPlayback->stop();
        return;
    }
    player->stop();
    ui.btnPlay->show();
    ui.btnStop->hide();
}

void MainWindow::onActionPlayShow()
{
    stopIfPlaying();
    showPlayback->play();
}

// ----------------------------------------------------------------------------- downloads

void MainWindow::onActionDownToUsb()
{
    if (refuseWhileDownloading())
        return;
    const QString diskPath = chooseDisk();
    if (diskPath.isEmpty())
        return;
    chosenDiskPath = diskPath;
    QString name;
    if (!GetSaveFileDialog::askFileName(this, &name))
        return;
    startDownload(diskPath + u'/' + name + QStringLiteral(".bin"));
}

QString MainWindow::chooseDisk()
{
    // Disks that come and go while the dialog is open appear and vanish in it.
    SelectUsbPathDialog dialog(knownDisks(), this);
    connect(this, &MainWindow::usbMountEvent, &dialog, &SelectUsbPathDialog::usbMountEvent);
    connect(this, &MainWindow::usbUMountEvent, &dialog, &SelectUsbPathDialog::usbUMountEvent);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedPath();
}

void MainWindow::onActionDownToLocal()
{
    if (refuseWhileDownloading())
        return;
    const QString directory = QFileDialog::getExistingDirectory(this, QString(), QString(),
                                                                QFileDialog::ShowDirsOnly);
    if (directory.isEmpty() || !QDir(directory).exists())
        return;
    QString name;
    if (!GetSaveFileDialog::askFileName(this, &name))
        return;
    // A root directory ("/", "C:/") already ends with its separator.
    const QString base = directory.endsWith(u'/') ? directory : directory + u'/';
    startDownload(base + name + QStringLiteral(".bin"));
}

void MainWindow::startDownload(const QString &path)
{
    download->start(path, EffectPlaylist::capture(imageModel->itemsAs<ImageObject>(),
                                                  mediaModel->itemsAs<MediaObject>()));
}

// ------------------------------------------------------------------------- effect reading

void MainWindow::onActionPreviewFromUsb()
{
    if (refusePlaylistChange())
        return;
    const QString diskPath = chooseDisk();
    if (diskPath.isEmpty())
        return;
    const QString path = diskPath + QStringLiteral("/T4.bin");
    if (!checkBeforeRead(path, QSize(ledCount, lineNumber), false) || !confirmReplace())
        return;
    readEffect(PlayMediaHandler::PreviewReadCode, path, tr("dialog_title_reading_usb"), QSize());
}

void MainWindow::onActionRestoreFactory()
{
    if (refusePlaylistChange())
        return;
    // The geometry switches only once the file has been read whole.
    const QSize factory(FactoryLedCount, FactoryLineNumber);
    const QString path = appDirectory + QStringLiteral("/default.bin");
    if (!checkBeforeRead(path, factory, true) || !confirmReplace())
        return;
    readEffect(PlayMediaHandler::FactoryReadCode, path, tr("dialog_title_reading_sys"), factory);
}

bool MainWindow::checkBeforeRead(const QString &path, const QSize &geometry, bool factory)
{
    const EffectFileCheck::Outcome outcome =
        EffectFileCheck::check(path, geometry.width(), geometry.height());
    if (outcome.ok())
        return true;
    if (factory && outcome.problem == EffectFileCheck::Missing)
        qCDebug(lcUi).noquote() << "not find system ui file. " << u'"' + path + u'"';
    else
        qCDebug(lcUi) << "#MainWindow# effect file refused" << path << outcome.detail;
    showTip(ReadFailureMessage::text(outcome, path, geometry, factory));
    return false;
}

bool MainWindow::confirmReplace()
{
    if (imageModel->itemCount() == 0 && mediaModel->itemCount() == 0)
        return true;
    QMessageBox box(QMessageBox::Question, tr("dialog_title_tip"), tr("dialog_title_read_replace"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void MainWindow::readEffect(int code, const QString &path, const QString &busyText,
                            const QSize &geometry)
{
    ui.toolBox->setCurrentIndex(0);
    readFailure.clear();
    reading->start(code, path, busyText, geometry);
    if (!readFailure.isEmpty())
        showTip(std::exchange(readFailure, {}));
    pressImageWidget(QModelIndex());
}

void MainWindow::endRead(bool logFactory)
{
    if (closing)
        return;
    const std::unique_ptr<ReadRequest> done = reading->takeFinished();
    if (done && !done->outcome().ok()) {
        readFailure = ReadFailureMessage::text(done->outcome(), done->path, done->geometry,
                                               done->code == PlayMediaHandler::FactoryReadCode);
    } else if (done && playlistInUse()) {
        readFailure = tr("dialog_title_playlist_in_use");
    } else if (done) {
        replacePlaylists(*done);
    }
    if (logFactory)
        qCDebug(lcUi) << "#MainWindow# restoreFactoryOver 11111111111";
    // The end of a read cancelled earlier leaves the busy dialog of the awaited one open.
    if (done || !reading->isPending())
        reading->closeBusyDialog();
    if (logFactory)
        qCDebug(lcUi) << "#MainWindow# restoreFactoryOver 22222222222";
}

void MainWindow::replacePlaylists(ReadRequest &request)
{
    clearPlaylists();  // stops the playback first
    const QList<ImageObject *> images = request.takeImages();
    if (!images.isEmpty())
        imageModel->addItems(images);
    ui.btnDelImage->setEnabled(false);
    const QList<MediaObject *> medias = request.takeMedias();
    if (!medias.isEmpty())
        mediaModel->addItems(medias);
    ui.btnDelMedia->setEnabled(false);
    // The records were coded for the geometry they were read with.
    ledCount = request.geometry.width();
    lineNumber = request.geometry.height();
}

void MainWindow::previewUsbOver()
{
    endRead(false);
}

void MainWindow::restoreFactoryOver()
{
    qCDebug(lcUi) << "#MainWindow# restoreFactoryOver";
    endRead(true);
}

bool MainWindow::playlistInUse() const
{
    return download->isPending() || contrast->isBusy();
}

bool MainWindow::refusePlaylistChange()
{
    if (refuseWhileDownloading())
        return true;
    if (!reading->isBusy() && !contrast->isBusy())
        return false;
    showTip(tr("dialog_title_playlist_in_use"));
    return true;
}

void MainWindow::showTip(const QString &text)
{
    QMessageBox::information(this, tr("dialog_title_tip"), text, QMessageBox::Ok);
}

void MainWindow::updateBusyActions()
{
    const bool busy = reading->isBusy() || contrast->isBusy();
    for (QAction *action : {ui.actionPreviewFromUsb, ui.actionRestoreFactory, ui.actionDownToUsb,
                            ui.actionDownToLocal, ui.actionLedCount, ui.actionLineNumber})
        action->setEnabled(!busy);
}

// ------------------------------------------------------------------- other actions

void MainWindow::onActionNewDiy()
{
    if (refuseWhileDownloading())
        return;
    ImageObject *item = DiyPictureEditor::drawNew(this, nextPictureNumber());
    if (!item)
        return;
    imageModel->addItem(item);
    ui.toolBox->setCurrentIndex(0);
}

void MainWindow::onBtnEditDiy()
{
    const QModelIndex current = ui.tableView->currentIndex();
    if (!current.isValid() || refuseWhileDownloading())
        return;
    auto *item = qobject_cast<ImageObject *>(CustomTableModel::itemOf(current));
    if (!DiyPictureEditor::editPicture(this, item))
        return;
    showPreviewImage(item);
    imageModel->refrehItem(current);
    ui.toolBox->setCurrentIndex(0);
}

void MainWindow::onActionLoadMedia()
{
    if (MediaObject *clip = LoadMediaDialog::importClip(this, mediaModel->rowCount(),
                                                        SamplingChoice::stored())) {
        mediaModel->addItem(clip);
        ui.toolBox->setCurrentIndex(1);
    }
}

void MainWindow::onActionLoadGif()
{
    if (MediaObject *clip = LoadGifDialog::importClip(this, mediaModel->rowCount(),
                                                      SamplingChoice::stored())) {
        mediaModel->addItem(clip);
        ui.toolBox->setCurrentIndex(1);
    }
}

void MainWindow::updateImageContract()
{
    const QModelIndex current = ui.tableView->currentIndex();
    auto *item = current.isValid()
                     ? qobject_cast<ImageObject *>(CustomTableModel::itemOf(current))
                     : nullptr;
    // A picture read back from an effect has no source to scale.
    if (!item || item->kind == ImageObject::KindReadPicture || refuseWhileDownloading())
        return;
    UpdateImageContract dialog(contrast, item, this);
    dialog.exec();
}

void MainWindow::onContrastApplied(ImageObject *item, bool ok)
{
    const int row = imageModel->itemsAs<ImageObject>().indexOf(item);
    if (row >= 0)
        imageModel->refrehItem(imageModel->index(row, 0));
    if (ok)
        onImageContractChanged(item);
}

void MainWindow::onTableViewMenuRequested(const QPoint &)
{
    const QModelIndex current = ui.tableView->currentIndex();
    if (!current.isValid())
        return;
    auto *item = qobject_cast<ImageObject *>(CustomTableModel::itemOf(current));
    contrastAction->setEnabled(item && item->kind != ImageObject::KindReadPicture);
    imageMenu->popup(QCursor::pos());
}

void MainWindow::onActionSettingColor()
{
    SettingColorForm form(this);
    form.exec();
}

void MainWindow::onBtnLedCount()
{
    UpdateLedCountDialog dialog(this);
    changeGeometry(dialog, ledCount, tr("LED数量被修改."),
                   "#MainWindow# onBtnLedCount() ");
}

void MainWindow::onBtnLineNumber()
{
    UpdateLineNumberDialog dialog(this);
    changeGeometry(dialog, lineNumber, tr("分辨率被修改."),
                   "#MainWindow# onBtnLineNumber() ");
}

void MainWindow::changeGeometry(GeometryNumberDialog &dialog, std::atomic<int> &number,
                                const QString &confirmText, const char *trace)
{
    // All LED data in the playlists was made for the old geometry and goes with it.
    if (refusePlaylistChange())
        return;
    dialog.setFixedSize(250, 100);
    if (dialog.exec() != QDialog::Accepted || dialog.value() == number)
        return;
    const int value = dialog.value();
    qCDebug(lcUi).noquote() << trace << value;
    QMessageBox box(QMessageBox::NoIcon, tr("dialog_title_tip"), confirmText,
                    QMessageBox::Ok | QMessageBox::Cancel);
    box.setInformativeText(tr("所有的打开的图片效果将会被删除，是否继续？"));
    box.setDefaultButton(QMessageBox::Ok);
    if (box.exec() != QMessageBox::Ok)
        return;
    clearPlaylists();
    pressImageWidget(QModelIndex());
    number = value;
}
