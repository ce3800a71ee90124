#include "ui/main/MainWindow.h"

#include "app/AppGlobals.h"
#include "disk/DiskMonitor.h"
#include "effect/EffectPlaylist.h"
#include "effect/PlayMediaHandler.h"
#include "loop/HandlerThread.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/PictureLoader.h"
#include "motion/TransitionLinks.h"
#include "ui/UiLog.h"
#include "ui/dialogs/SettingColorForm.h"
#include "ui/dialogs/UpdateImageContract.h"
#include "ui/disk/SelectUsbPathDialog.h"
#include "ui/import/LoadGifDialog.h"
#include "ui/import/LoadMediaDialog.h"
#include "ui/main/DropDispatcher.h"
#include "ui/main/EditMenu.h"
#include "ui/main/FileMenu.h"
#include "ui/main/GeometryChange.h"
#include "ui/main/LanguageButtons.h"
#include "ui/main/SamplingChoice.h"
#include "ui/main/SamplingSwitch.h"
#include "ui/main/TransitionControls.h"
#include "ui/main/ShowRecovery.h"
#include "ui/main/ShowSession.h"
#include "ui/main/WindowDrops.h"
#include "ui/main/ToolBarFit.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ListImageItemDelegate.h"
#include "ui/motion/TextClipActions.h"
#include "ui/playlist/ListMediaItemDelegate.h"
#include "ui/playlist/RowEditorWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBox>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    ui.setupUi(this);
    setWindowFlags(Qt::Window);

    createWorkers();
    setUpLists();
    connectForm();

    sampling = new SamplingChoice(ui.toolsMenu, this);
    connect(sampling, &SamplingChoice::switched, this, [this](SamplingMode mode) {
        if (SamplingSwitch::offer(mode, this, *playlists, *sampling))
            pressImageWidget(QModelIndex());
    });
    languages = new LanguageButtons(this, this);
    connect(languages, &LanguageButtons::switched, this, &MainWindow::retranslateUi);

    createEditMenu();
    createFileMenu();
    textClips = new TextClipActions(*playlists, this);
    connect(ui.actionTextClip, &QAction::triggered, textClips, &TextClipActions::create);
    connect(ui.btnEditMedia, &QPushButton::clicked, textClips,
            [this] { textClips->edit(playlists->currentClip()); });
    connect(playlists.get(), &PlaylistController::clipActivated, textClips, &TextClipActions::edit);
    connect(textClips, &TextClipActions::clipMade, this, [this] { ui.toolBox->setCurrentIndex(1); });
    imageMenu = new QMenu(this);
    contrastAction = imageMenu->addAction(tr("调整对比度"));
    connect(contrastAction, &QAction::triggered, this, &MainWindow::updateImageContract);

    ui.btnDelImage->setEnabled(false);
    ui.btnDelMedia->setEnabled(false);
    ui.btnEditMedia->setEnabled(false);
    ui.btnEditImage->setEnabled(false);

    diskMonitor = new DiskMonitor(this);
    connect(diskMonitor, &DiskMonitor::usbMountEvent, this, &MainWindow::usbMountEvent);
    connect(diskMonitor, &DiskMonitor::usbUMountEvent, this, &MainWindow::usbUMountEvent);
    diskMonitor->scanDisks();

    // Fits a 1280 x 720 screen; the preview and the lists share what there is.
    resize(1280, 680);
    new ToolBarFit(ui.toolBar);
}

// The members' order does the work: see their declaration.
MainWindow::~MainWindow() = default;

void MainWindow::createWorkers()
{
    playlists = std::make_unique<PlaylistController>(ui.tableView, ui.tableViewMedia, this);
    playHandler = std::make_unique<PlayMediaHandler>(HandlerThread::shared());
    connect(playHandler.get(), &PlayMediaHandler::previewUsbOver, this, &MainWindow::previewUsbOver);
    connect(playHandler.get(), &PlayMediaHandler::restoreFactoryOver, this,
            &MainWindow::restoreFactoryOver);
    connect(playHandler.get(), &PlayMediaHandler::rowStepDue, this, &MainWindow::onRowStepDue);

    contrast = std::make_unique<ContrastJobs>(playHandler.get());
    transitions = std::make_unique<TransitionLinks>();
    playlists->setTransitions(transitions.get());
    download = std::make_unique<DownloadFlow>(playHandler.get(), this);
    reading = std::make_unique<EffectReadFlow>(playHandler.get(), playlists.get(), this);
    playlists->setUsers(download.get(), reading->merge(), contrast.get());
    connect(reading->merge(), &ReadBackMerge::busyChanged, this, &MainWindow::updateBusyActions);
    connect(contrast.get(), &ContrastJobs::busyChanged, this, &MainWindow::updateBusyActions);
    connect(contrast.get(), &ContrastJobs::applied, this, &MainWindow::onContrastApplied);
    connect(reading.get(), &EffectReadFlow::readStarting, this,
            [this] { ui.toolBox->setCurrentIndex(0); });
    connect(reading.get(), &EffectReadFlow::readDone, this, [this] {
        pressImageWidget({});
        showGeometry();
    });
    connect(reading.get(), &EffectReadFlow::playlistsReplaced, this, [this] {
        ui.btnDelImage->setEnabled(false);
        ui.btnDelMedia->setEnabled(false);
        ui.btnEditMedia->setEnabled(false);
    });

    geometryLabel = new QLabel(this);
    geometryLabel->setObjectName(QStringLiteral("geometryLabel"));
    statusBar()->addPermanentWidget(geometryLabel);
    showGeometry();

    pictures = std::make_unique<PictureActions>(*playlists, this);
    preview = std::make_unique<PreviewPane>(ui, playHandler.get(), pictureModel(), clipModel(),
                                            this);
    connect(playlists.get(), &PlaylistController::aboutToClear, preview.get(), &PreviewPane::release);
    connect(playlists.get(), &PlaylistController::clipAboutToGo, preview.get(),
            &PreviewPane::forget);
    ShowPlayer *show = preview->showPlayer();
    show->setPlaylistSource([this](const QList<ImageObject *> &p, const QList<MediaObject *> &c) {
        return transitions->playlist(p, c);
    });
    connect(transitions.get(), &TransitionLinks::aboutToDrop, show, &ShowPlayer::stop);
    connect(transitions.get(), &TransitionLinks::changed, show, &ShowPlayer::updateLength);
}

void MainWindow::setUpLists()
{
    ui.tableView->setItemDelegate(new ListImageItemDelegate(playHandler.get(), this, this));
    ui.tableViewMedia->setItemDelegate(new ListMediaItemDelegate(playHandler.get(), this, this));
    for (QTableView *view : {ui.tableView, ui.tableViewMedia}) {
        connect(static_cast<RowItemDelegate *>(view->itemDelegate()),
                &RowItemDelegate::rowValueChanged, preview->showPlayer(), &ShowPlayer::updateLength);
        connect(static_cast<RowItemDelegate *>(view->itemDelegate()),
                &RowItemDelegate::rowValueChanged, playlists.get(), &PlaylistController::noteValues);
    }
    transitionControls = std::make_unique<TransitionControls>(
        transitions.get(), pictureModel(), clipModel(), ui.tableView, ui.tableViewMedia);
    transitionControls->setRefusal([this] { return playlists->refuse(PlaylistController::Edit); });
    transitionControls->setHistory(playlists->history());
    connect(ui.tableView, &QTableView::pressed, this, &MainWindow::pressImageWidget);
    connect(ui.tableView, &QTableView::customContextMenuRequested, this,
            &MainWindow::onTableViewMenuRequested);
    connect(ui.tableViewMedia, &QTableView::pressed, this, &MainWindow::pressMediaWidget);
    // The preview and the buttons follow the highlighted row, however it was chosen (a click
    // on a row's editor, the keyboard, a delete or a reorder).
    const auto selected = [](const QTableView *view) {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first() : QModelIndex();
    };
    connect(ui.tableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, selected] { pressImageWidget(selected(ui.tableView)); });
    connect(ui.tableViewMedia->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, selected] { pressMediaWidget(selected(ui.tableViewMedia)); });
}

void MainWindow::connectForm()
{
    connect(ui.btnDelImage, &QPushButton::clicked, this, &MainWindow::onBtnDelImage);
    connect(ui.btnPlay, &QPushButton::clicked, this, &MainWindow::onBtnPlayClick);
    connect(ui.btnStop, &QPushButton::clicked, this, &MainWindow::onBtnStopClick);
    connect(ui.actionPlayShow, &QAction::triggered, this, &MainWindow::onActionPlayShow);
    connect(ui.btnEditImage, &QPushButton::clicked, this, &MainWindow::onBtnEditDiy);
    connect(ui.btnDelMedia, &QPushButton::clicked, this, &MainWindow::onBtnDelMedia);
    // The Delete key works as the page's Del button wherever the focus is on that page, a
    // row's combo box or button included (a field keeps the key for its text). A button's own
    // shortcut would not do: every new text resets it.
    for (QWidget *page : {ui.page, ui.page_2}) {
        QPushButton *button = page == ui.page ? ui.btnDelImage : ui.btnDelMedia;
        auto *key = new QAction(page);
        key->setShortcut(QKeySequence::Delete);
        key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        page->addAction(key);
        connect(key, &QAction::triggered, button, [button] {
            if (button->isEnabled())
                button->click();
        });
    }
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
}

void MainWindow::createEditMenu()
{
    editMenu = std::make_unique<EditMenu>(menuBar(), ui.toolsMenu->menuAction(), playlists.get());
    playlists->setContrastApplier([this](ImageObject *item, int value) {
        const QImage source = item->sourcePath.isEmpty()
                                  ? QImage()
                                  : PictureLoader::load(item->sourcePath)
                                        .convertToFormat(QImage::Format_ARGB32);
        contrast->post(item, value, source);
    });
    connect(playlists.get(), &PlaylistController::historyApplied, preview->showPlayer(),
            &ShowPlayer::updateLength);
    drops = std::make_unique<WindowDrops>(this, *playlists, *pictures, *reading, ui.tableView,
                                          ui.tableViewMedia, ui.toolBox);
    drops->setPasteAction(editMenu->pasteAction());
    connect(drops->dispatcher(), &DropDispatcher::showFileDropped, this, &MainWindow::openShow);
    retranslateUi();
}

void MainWindow::startRecovery(const QString &directory)
{
    showRecovery = std::make_unique<ShowRecovery>(*playlists, this, directory);
    showRecovery->watch(sampling, languages);
    connect(showRecovery.get(), &ShowRecovery::restored, this, &MainWindow::showGeometry);
    connect(showRecovery.get(), &ShowRecovery::restored, this, &MainWindow::showFilledList);
    // A restored show is unsaved and untitled; a show written to its own file needs no copy.
    connect(showRecovery.get(), &ShowRecovery::restored, session.get(), &ShowSession::refresh);
    connect(session.get(), &ShowSession::saveFinished, showRecovery.get(), [this](bool ok) {
        if (ok && !session->isModified())
            showRecovery->showSaved();
    });
    // Nor does a show just opened as it is in its file (or a new, empty one).
    connect(session.get(), &ShowSession::playlistsReplaced, showRecovery.get(), [this] {
        if (!session->isModified())
            showRecovery->showSaved();
    });
    QTimer::singleShot(0, showRecovery.get(), &ShowRecovery::offerRestore);
}

void MainWindow::createFileMenu()
{
    session = std::make_unique<ShowSession>(playlists.get(), sampling, languages, this);
    file = std::make_unique<FileMenu>(menuBar(), session.get(), this);
    connect(session.get(), &ShowSession::playlistsReplaced, this, [this] {
        pressImageWidget({});
        pressMediaWidget({});
        showGeometry();
        showFilledList();
    });
    // Changes the playlist's signals do not carry: the geometry, set after the lists went.
    connect(reading.get(), &EffectReadFlow::readDone, session.get(), &ShowSession::refresh);
}

void MainWindow::showFilledList()
{
    const bool clipsOnly = pictureModel()->rowCount() == 0 && clipModel()->rowCount() > 0;
    ui.toolBox->setCurrentIndex(clipsOnly ? 1 : 0);
}

bool MainWindow::openShow(const QString &path)
{
    return session->openShow(path);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (session && !session->mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

DropDispatcher *MainWindow::dropDispatcher() const
{
    return drops->dispatcher();
}

QStringList MainWindow::knownDisks() const
{
    return diskMonitor ? diskMonitor->knownDisks() : QStringList();
}

ProgressDialog *MainWindow::currentBusyDialog() const
{
    return download->busyDialog() ? download->busyDialog() : readBack()->busyDialog();
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
    if (editMenu)
        editMenu->retranslate();
    if (file)
        file->retranslate();
    if (session)
        session->updateTitle();
    showGeometry();
}

void MainWindow::showGeometry()
{
    // Before the first catalogue is loaded the text is the bare key: filled at the language
    // change that follows.
    const QString text = tr("status_geometry");
    if (geometryLabel && text.contains(QLatin1String("%2")))
        geometryLabel->setText(text.arg(ledCount.load()).arg(lineNumber.load()));
    if (showRecovery)
        showRecovery->noteChange();
    emit displayChoicesShown();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QMainWindow::changeEvent(event);
}

void MainWindow::chooseLanguage(int code) { languages->choose(code); }
void MainWindow::onBtnZhCnClick() { languages->choose(1); }
void MainWindow::onBtnZhHkClick() { languages->choose(2); }
void MainWindow::onBtnEnUsClick() { languages->choose(3); }
void MainWindow::onBtnJpClick() { languages->choose(4); }

// ------------------------------------------------------------------------ window slots

void MainWindow::onBtnMinWindow() { showMinimized(); }
void MainWindow::onBtnMaxWindow() { showFullScreen(); }
void MainWindow::onBtnCloseWindow() { close(); }

// -------------------------------------------------------------------- selection, preview

void MainWindow::updatePictureButtons(ImageObject *item)
{
    ui.btnDelImage->setEnabled(item != nullptr);
    ui.btnEditImage->setEnabled(item && (item->kind == ImageObject::KindPictureFile
                                         || item->kind == ImageObject::KindDiy));
}

void MainWindow::pressImageWidget(const QModelIndex &index)
{
    qCDebug(lcUi) << "#MainWindow# pressImageWidget() " << index;
    onImageContractChanged(index.isValid() && index.model() ? CustomTableModel::itemOf(index)
                                                            : nullptr);
}

void MainWindow::onImageContractChanged(QObject *object)
{
    auto *item = qobject_cast<ImageObject *>(object);
    preview->selectPicture(item);
    updatePictureButtons(item);
}

void MainWindow::pressMediaWidget(const QModelIndex &index)
{
    auto *clip = index.isValid() ? qobject_cast<MediaObject *>(CustomTableModel::itemOf(index))
                                 : nullptr;
    preview->selectClip(clip);
    ui.btnDelMedia->setEnabled(clip != nullptr);
    ui.btnEditMedia->setEnabled(TextClipActions::canEdit(clip));
}

void MainWindow::onBtnPlayClick() { preview->play(); }
void MainWindow::onBtnStopClick() { preview->stop(); }
void MainWindow::onActionPlayShow() { preview->toggleShow(); }

void MainWindow::onRowStepDue(QObject *editor, int code)
{
    // The editor may have been closed while the echo was on its way; an editor steps only
    // for the codes of its own buttons.
    if (RowEditorWidget::isLive(editor))
        static_cast<RowEditorWidget *>(editor)->repeatStep(code);
}

// ------------------------------------------------------------------------ list editing

void MainWindow::onBtnDelImage()
{
    if (playlists->removeSelectedPicture())
        pressImageWidget(QModelIndex());
}

void MainWindow::onBtnDelMedia()
{
    if (playlists->removeSelectedClip())
        pressMediaWidget(QModelIndex());
}

void MainWindow::onImageIndexChanged(ImageObject *item, int oldIndex, int newIndex)
{
    playlists->movePicture(item, oldIndex, newIndex);
}

void MainWindow::onMediaIndexChanged(MediaObject *item, int oldIndex, int newIndex)
{
    playlists->moveClip(item, oldIndex, newIndex);
}

// ------------------------------------------------------------------------ imports

void MainWindow::onActionOpenImage()
{
    if (pictures->openImage())
        ui.toolBox->setCurrentIndex(0);
}

void MainWindow::importPictureFiles(const QStringList &files)
{
    if (pictures->importFiles(files))
        ui.toolBox->setCurrentIndex(0);
}

void MainWindow::receiveImportsFrom(LoadImagesDialog *dialog)
{
    pictures->receiveImportsFrom(dialog);
}

void MainWindow::onActionNewDiy()
{
    if (pictures->newDiy())
        ui.toolBox->setCurrentIndex(0);
}

void MainWindow::onBtnEditDiy()
{
    if (ImageObject *item = pictures->editCurrent()) {
        preview->showItem(item);
        ui.toolBox->setCurrentIndex(0);
    }
}

void MainWindow::onActionLoadMedia()
{
    if (!playlists->refuse(PlaylistController::Add))
        appendClip(LoadMediaDialog::importClip(this, clipModel()->rowCount(),
                                               SamplingChoice::stored()));
}

void MainWindow::onActionLoadGif()
{
    if (!playlists->refuse(PlaylistController::Add))
        appendClip(LoadGifDialog::importClip(this, clipModel()->rowCount(),
                                             SamplingChoice::stored()));
}

void MainWindow::appendClip(MediaObject *clip)
{
    if (!clip)
        return;
    playlists->addClip(clip);
    ui.toolBox->setCurrentIndex(1);
}

// ----------------------------------------------------------------------------- downloads

void MainWindow::onActionDownToUsb()
{
    if (!download->refuseWhilePending())
        downloadInto(SelectUsbPathDialog::choose(*diskMonitor, this));
}

void MainWindow::onActionDownToLocal()
{
    if (download->refuseWhilePending())
        return;
    const QString directory = QFileDialog::getExistingDirectory(
        this, QString(), download->localFolder(), QFileDialog::ShowDirsOnly);
    if (directory.isEmpty() || !QDir(directory).exists())
        return;
    download->setLocalFolder(directory);
    downloadInto(directory);
}

void MainWindow::downloadInto(const QString &directory)
{
    const QString path = download->askTarget(directory);
    if (!path.isEmpty())
        startDownload(path);
}

void MainWindow::startDownload(const QString &path)
{
    // The file holds every transition the lists show: one still being made is waited for.
    transitions->waitUntilSettled();
    download->start(path, transitions->playlist(pictureModel()->itemsAs<ImageObject>(),
                                                clipModel()->itemsAs<MediaObject>()));
}

// ------------------------------------------------------------------------- effect reading

void MainWindow::onActionPreviewFromUsb()
{
    reading->previewFromDisk(
        [this] { return SelectUsbPathDialog::choose(*diskMonitor, this); });
}

void MainWindow::onActionRestoreFactory()
{
    reading->restoreFactory();
}

void MainWindow::previewUsbOver()
{
    reading->readEnded(false);
}

void MainWindow::restoreFactoryOver()
{
    qCDebug(lcUi) << "#MainWindow# restoreFactoryOver";
    reading->readEnded(true);
}

void MainWindow::updateBusyActions()
{
    const bool busy = reading->merge()->isBusy() || contrast->isBusy();
    for (QAction *action : {ui.actionPreviewFromUsb, ui.actionRestoreFactory, ui.actionDownToUsb,
                            ui.actionDownToLocal, ui.actionLedCount, ui.actionLineNumber})
        action->setEnabled(!busy);
}

// ------------------------------------------------------------------- other actions

void MainWindow::updateImageContract()
{
    ImageObject *item = playlists->currentPicture();
    // A picture read back from an effect has no source to scale.
    if (!item || item->kind == ImageObject::KindReadPicture
        || playlists->refuse(PlaylistController::Edit))
        return;
    UpdateImageContract dialog(contrast.get(), item, this);
    dialog.exec();
}

void MainWindow::onContrastApplied(ImageObject *item, bool ok)
{
    playlists->refreshPicture(item);
    if (ok) {
        onImageContractChanged(item);
        playlists->noteContrast(item);
    }
}

void MainWindow::onTableViewMenuRequested(const QPoint &)
{
    if (!ui.tableView->currentIndex().isValid())
        return;
    ImageObject *item = playlists->currentPicture();
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
    if (GeometryChange::ask(GeometryChange::LedCount, this, *playlists))
        pressImageWidget(QModelIndex());
    showGeometry();
    session->refresh();
}

void MainWindow::onBtnLineNumber()
{
    if (GeometryChange::ask(GeometryChange::LineNumber, this, *playlists))
        pressImageWidget(QModelIndex());
    showGeometry();
    session->refresh();
}
