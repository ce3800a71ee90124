#include "ui/MainWindow.h"

#include "app/AppGlobals.h"
#include "disk/DiskMonitor.h"
#include "disk/SelectUsbPathDialog.h"
#include "effect/EffectWriter.h"
#include "effect/PlayMediaHandler.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/ReadImageThread.h"
#include "model/SettingColorForm.h"
#include "ui/CustomTableModel.h"
#include "ui/ImageObjectWidget.h"
#include "ui/ListImageItemDelegate.h"
#include "ui/ListMediaItemDelegate.h"
#include "ui/LoadImagesDialog.h"
#include "ui/MediaObjectWidget.h"
#include "ui/GetSaveFileDialog.h"
#include "ui/ProgressDialog.h"

#include <QApplication>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton *makeListButton(const QString &name, const QString &icon, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(25, 25));
    button->setAutoDefault(false);
    return button;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    buildForm();
    btnPlay->hide();
    btnStop->hide();
    setWindowFlags(Qt::Window);

    buildActions();
    buildStatusBar();

    paintInitialPreview();

    btnEditMedia->hide();
    connect(btnDelImage, &QPushButton::clicked, this, &MainWindow::onBtnDelImage);
    connect(btnPlay, &QPushButton::clicked, this, &MainWindow::onBtnPlayClick);
    connect(btnStop, &QPushButton::clicked, this, &MainWindow::onBtnStopClick);
    connect(btnEditImage, &QPushButton::clicked, this, &MainWindow::onBtnEditDiy);
    connect(btnDelMedia, &QPushButton::clicked, this, &MainWindow::onBtnDelMedia);

    createWorker();
    setUpLists();

    imageMenu = new QMenu(this);
    contrastAction = imageMenu->addAction(tr("调整对比度"));
    connect(contrastAction, &QAction::triggered, this, &MainWindow::updateImageContract);

    btnDelImage->setEnabled(false);
    btnDelMedia->setEnabled(false);
    btnEditImage->setEnabled(false);

    setUpDisks();

    resize(1400, 700);
    setMinimumSize(1400, 700);
}

MainWindow::~MainWindow()
{
    // Nothing of the worker may name this window once it is gone: a read stops at its next
    // record, and a job that names the window (a download, a read) is waited for.
    previewPending = false;
    if (playHandler) {
        playHandler->removeQueued(PlayMediaHandler::PlayFrameCode);
        playHandler->removeQueuedFor(this);
    }
    closeBusyDialog();
    deleteReadItems();
    // Close the row editors before the models destroy the items they show.
    tableView->setModel(nullptr);
    tableViewMedia->setModel(nullptr);
    delete imageModel;
    delete mediaModel;
}

// ---------------------------------------------------------------------------------- form

void MainWindow::buildForm()
{
    resize(900, 619);
    setWindowIcon(QIcon(QStringLiteral(":/images/logo2.jpg")));

    auto *centralWidget = new QWidget(this);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    auto *verticalLayout_4 = new QVBoxLayout(centralWidget);
    verticalLayout_4->setObjectName(QStringLiteral("verticalLayout_4"));
    verticalLayout_4->setSpacing(0);
    verticalLayout_4->setContentsMargins(11, 11, 11, 11);
    auto *horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(6);
    verticalLayout_4->addLayout(horizontalLayout);

    // Left: the preview area, centred on white.
    auto *widget = new QWidget(centralWidget);
    widget->setObjectName(QStringLiteral("widget"));
    auto *verticalLayout_3 = new QVBoxLayout(widget);
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    verticalLayout_3->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    auto *widget_8 = new QWidget(widget);
    widget_8->setObjectName(QStringLiteral("widget_8"));
    auto *horizontalLayout_6 = new QHBoxLayout(widget_8);
    horizontalLayout_6->setObjectName(QStringLiteral("horizontalLayout_6"));
    horizontalLayout_6->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    previewWidget = new QWidget(widget_8);
    previewWidget->setObjectName(QStringLiteral("previewWidget"));
    previewWidget->setFixedSize(450, 450);
    auto *horizontalLayout_3 = new QHBoxLayout(previewWidget);
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    btnStop = new QPushButton(previewWidget);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnPlay = new QPushButton(previewWidget);
    btnPlay->setObjectName(QStringLiteral("btnPlay"));
    for (QPushButton *button : {btnStop, btnPlay}) {
        button->setFixedSize(65, 65);
        button->setFlat(true);
        button->setIconSize(QSize(65, 65));
        horizontalLayout_3->addWidget(button);
    }
    btnStop->setIcon(QIcon(QStringLiteral(":/images/stop.png")));
    btnPlay->setIcon(QIcon(QStringLiteral(":/images/play.png")));
    horizontalLayout_6->addWidget(previewWidget);
    horizontalLayout_6->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout_3->addWidget(widget_8);
    verticalLayout_3->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    horizontalLayout->addWidget(widget, 3);

    // Right: the two playlists in a tool box.
    toolBox = new QToolBox(centralWidget);
    toolBox->setObjectName(QStringLiteral("toolBox"));
    QFont font(QStringLiteral("新宋体"), 10);
    font.setWeight(QFont::Normal);
    toolBox->setFont(font);
    toolBox->setMinimumWidth(285);

    page = new QWidget;
    page->setObjectName(QStringLiteral("page"));
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto *widget_3 = new QWidget(page);
    widget_3->setObjectName(QStringLiteral("widget_3"));
    widget_3->setFixedHeight(32);
    auto *bar = new QHBoxLayout(widget_3);
    bar->setContentsMargins(0, 0, 0, 0);
    btnEditImage = makeListButton(QStringLiteral("btnEditImage"), QStringLiteral(":/images/write.png"), widget_3);
    btnEditImage->setMinimumSize(85, 30);
    btnDelImage = makeListButton(QStringLiteral("btnDelImage"), QStringLiteral(":/images/edit_delete.png"), widget_3);
    btnDelImage->setMinimumSize(95, 30);
    bar->addWidget(btnEditImage);
    bar->addWidget(btnDelImage);
    bar->addStretch();
    tableView = new QTableView(page);
    tableView->setObjectName(QStringLiteral("tableView"));
    pageLayout->addWidget(widget_3);
    pageLayout->addWidget(tableView);

    page_2 = new QWidget;
    page_2->setObjectName(QStringLiteral("page_2"));
    auto *page2Layout = new QVBoxLayout(page_2);
    page2Layout->setContentsMargins(0, 0, 0, 0);
    auto *widget_14 = new QWidget(page_2);
    widget_14->setObjectName(QStringLiteral("widget_14"));
    widget_14->setFixedHeight(32);
    auto *bar2 = new QHBoxLayout(widget_14);
    bar2->setContentsMargins(0, 0, 0, 0);
    bar2->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnEditMedia = makeListButton(QStringLiteral("btnEditMedia"), QStringLiteral(":/images/xine.png"), widget_14);
    btnDelMedia = makeListButton(QStringLiteral("btnDelMedia"), QStringLiteral(":/images/edit_delete.png"), widget_14);
    btnDelMedia->setMinimumSize(95, 30);
    bar2->addWidget(btnEditMedia);
    bar2->addWidget(btnDelMedia);
    tableViewMedia = new QTableView(page_2);
    tableViewMedia->setObjectName(QStringLiteral("tableViewMedia"));
    page2Layout->addWidget(widget_14);
    page2Layout->addWidget(tableViewMedia);

    toolBox->addItem(page, QString());
    toolBox->addItem(page_2, QString());
    toolBox->setCurrentIndex(0);
    // The lists get enough width for a whole row editor (thumbnail, position, time, buttons).
    horizontalLayout->addWidget(toolBox, 2);

    setCentralWidget(centralWidget);

    // White behind the preview, grey behind the lists.
    QPalette white = widget->palette();
    white.setColor(QPalette::Window, Qt::white);
    widget->setPalette(white);
    widget->setAutoFillBackground(true);
    QPalette grey = toolBox->palette();
    grey.setColor(QPalette::Window, QColor(200, 200, 200));
    toolBox->setPalette(grey);
    toolBox->setAutoFillBackground(true);
}

void MainWindow::buildActions()
{
    auto makeAction = [this](const QString &name, const QString &icon) {
        auto *action = new QAction(QIcon(icon), QString(), this);
        action->setObjectName(name);
        return action;
    };
    actionNewDiy = makeAction(QStringLiteral("actionNewDiy"), QStringLiteral(":/images/design.png"));
    actionOpenImage = makeAction(QStringLiteral("actionOpenImage"), QStringLiteral(":/images/open.png"));
    actionLoadMedia = makeAction(QStringLiteral("actionLoadMedia"), QStringLiteral(":/images/import_media.png"));
    actionLoadGif = makeAction(QStringLiteral("actionLoadGif"), QStringLiteral(":/images/import_gif.png"));
    actionDownToUsb = makeAction(QStringLiteral("actionDownToUsb"), QStringLiteral(":/images/download_file.png"));
    actionDownToLocal = makeAction(QStringLiteral("actionDownToLocal"), QStringLiteral(":/images/download_file.png"));
    actionPreviewFromUsb = makeAction(QStringLiteral("actionPreviewFromUsb"), QStringLiteral(":/images/preview_usb.png"));
    actionRestoreFactory = makeAction(QStringLiteral("actionRestoreFactory"), QStringLiteral(":/images/default_ui.png"));
    actionSettingColor = makeAction(QStringLiteral("actionSettingColor"), QStringLiteral(":/images/ic_flowers.png"));

    connect(actionNewDiy, &QAction::triggered, this, &MainWindow::onActionNewDiy);
    connect(actionOpenImage, &QAction::triggered, this, &MainWindow::onActionOpenImage);
    connect(actionLoadMedia, &QAction::triggered, this, &MainWindow::onActionLoadMedia);
    connect(actionLoadGif, &QAction::triggered, this, &MainWindow::onActionLoadGif);
    connect(actionDownToUsb, &QAction::triggered, this, &MainWindow::onActionDownToUsb);
    connect(actionDownToLocal, &QAction::triggered, this, &MainWindow::onActionDownToLocal);
    connect(actionPreviewFromUsb, &QAction::triggered, this, &MainWindow::onActionPreviewFromUsb);
    connect(actionRestoreFactory, &QAction::triggered, this, &MainWindow::onActionRestoreFactory);
    connect(actionSettingColor, &QAction::triggered, this, &MainWindow::onActionSettingColor);

    toolBar = addToolBar(tr("action_title_menu"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setIconSize(QSize(30, 30));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setFloatable(false);
    toolBar->setMovable(false);
    for (QAction *action : {actionNewDiy, actionOpenImage, actionLoadMedia, actionLoadGif,
                            actionDownToUsb, actionDownToLocal})
        toolBar->addAction(action);
    toolBar->addWidget(buildLanguageButtons());

    // The actions the toolbar does not carry stay reachable from a menu.
    toolsMenu = menuBar()->addMenu(QString());
    toolsMenu->setObjectName(QStringLiteral("toolsMenu"));
    toolsMenu->addAction(actionPreviewFromUsb);
    toolsMenu->addAction(actionRestoreFactory);
    toolsMenu->addSeparator();
    toolsMenu->addAction(actionSettingColor);

    actionSettingColor->setText(tr("颜色调试参数"));
    retranslateUi();
}

QWidget *MainWindow::buildLanguageButtons()
{
    auto *container = new QWidget(toolBar);
    container->setObjectName(QStringLiteral("languageButtons"));
    container->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *column = new QVBoxLayout(container);
    column->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    auto makeButton = [container, row](const QString &name, const QString &icon) {
        auto *button = new QPushButton(container);
        button->setObjectName(name);
        button->setFixedSize(60, 25);
        button->setIcon(QIcon(icon));
        button->setIconSize(QSize(60, 25));
        button->setCheckable(true);
        button->setChecked(true);
        row->addWidget(button);
        return button;
    };
    btnZhCn = makeButton(QStringLiteral("btnZhCn"), QStringLiteral(":/images/zh_cn.png"));
    btnZhHk = makeButton(QStringLiteral("btnZhHk"), QStringLiteral(":/images/zh_hk.png"));
    btnEnUs = makeButton(QStringLiteral("btnEnUs"), QStringLiteral(":/images/en_us.png"));
    btnJp = makeButton(QStringLiteral("btnJp"), QStringLiteral(":/images/jp_jp.png"));
    column->addLayout(row);
    column->addStretch();
    // A click toggles the check state; put it back so the buttons never change it.
    auto keepChecked = [](QPushButton *button) { button->setChecked(true); };
    connect(btnZhCn, &QPushButton::clicked, this, [this, keepChecked] { keepChecked(btnZhCn); onBtnZhCnClick(); });
    connect(btnZhHk, &QPushButton::clicked, this, [this, keepChecked] { keepChecked(btnZhHk); onBtnZhHkClick(); });
    connect(btnEnUs, &QPushButton::clicked, this, [this, keepChecked] { keepChecked(btnEnUs); onBtnEnUsClick(); });
    connect(btnJp, &QPushButton::clicked, this, [this, keepChecked] { keepChecked(btnJp); onBtnJpClick(); });
    return container;
}

void MainWindow::buildStatusBar()
{
    versionLabel = new QLabel(tr(" Ver: %1").arg(Version), this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    versionLabel->setFrameShape(QFrame::NoFrame);
    statusBar()->addWidget(versionLabel);
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
    QPalette palette = previewWidget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, brush);
    previewWidget->setPalette(palette);
    previewWidget->setAutoFillBackground(true);
}

void MainWindow::setUpListView(QTableView *view)
{
    view->setEditTriggers(QAbstractItemView::AllEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setTextElideMode(Qt::ElideMiddle);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(60);
    view->horizontalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void MainWindow::createWorker()
{
    playHandler = new PlayMediaHandler(HandlerThread::shared(), this);
    connect(playHandler, &PlayMediaHandler::handlerMessage, this, &MainWindow::handlerMessage);
    connect(playHandler, &PlayMediaHandler::previewUsbOver, this, &MainWindow::previewUsbOver);
    connect(playHandler, &PlayMediaHandler::restoreFactoryOver, this, &MainWindow::restoreFactoryOver);
}

void MainWindow::setUpLists()
{
    imageModel = new CustomTableModel({}, 1, -1);
    mediaModel = new CustomTableModel({}, 1, -1);
    setUpListView(tableView);
    setUpListView(tableViewMedia);
    tableView->setItemDelegate(new ListImageItemDelegate(playHandler, this, this));
    tableViewMedia->setItemDelegate(new ListMediaItemDelegate(playHandler, this, this));
    tableView->setModel(imageModel);
    tableViewMedia->setModel(mediaModel);
    tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    tableViewMedia->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(tableView, &QTableView::pressed, this, &MainWindow::pressImageWidget);
    connect(tableView, &QTableView::customContextMenuRequested, this,
            &MainWindow::onTableViewMenuRequested);
    connect(tableViewMedia, &QTableView::pressed, this, &MainWindow::pressMediaWidget);
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

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    if (diskMonitor)
        diskMonitor->nativeEvent(eventType, message, result);
    return QMainWindow::nativeEvent(eventType, message, result);
}

// ---------------------------------------------------------------------------- languages

void MainWindow::retranslateUi()
{
    setWindowTitle(tr("Hologram Display"));
    btnEditImage->setText(tr("编辑图片"));
    btnDelImage->setText(tr("删除图片"));
    btnEditMedia->setText(tr("编辑视频"));
    btnDelMedia->setText(tr("删除视频"));
    toolBox->setItemText(toolBox->indexOf(page), tr("图片列表"));
    toolBox->setItemText(toolBox->indexOf(page_2), tr("视频列表"));
    btnPlay->setText(QString());
    btnStop->setText(QString());
    actionNewDiy->setText(tr("action_title_new_diy"));
    actionOpenImage->setText(tr("action_title_open_image"));
    actionLoadMedia->setText(tr("action_title_import_video"));
    actionLoadGif->setText(tr("action_title_import_gif"));
    actionDownToUsb->setText(tr("action_title_download"));
    actionDownToLocal->setText(tr("action_title_download_local"));
    actionPreviewFromUsb->setText(tr("action_title_preview"));
    actionRestoreFactory->setText(tr("action_title_default"));
    toolBar->setWindowTitle(tr("action_title_menu"));
    // The menu holding the actions that the toolbar does not carry follows the language too.
    toolsMenu->setTitle(tr("menu_title_tools"));
    actionSettingColor->setText(tr("颜色调试参数"));
    if (contrastAction)
        contrastAction->setText(tr("调整对比度"));
}

void MainWindow::switchLanguage(int code, const char *slotName, const QString &appFile,
                                const QString &qtFile)
{
    qDebug() << slotName;
    if (languageCode == code)
        return;
    languageCode = code;
    QCoreApplication::removeTranslator(&appTranslator);
    if (appTranslator.load(appFile))
        QCoreApplication::installTranslator(&appTranslator);
    QCoreApplication::removeTranslator(&qtTranslator);
    if (!qtFile.isEmpty() && qtTranslator.load(qtFile))
        QCoreApplication::installTranslator(&qtTranslator);
    retranslateUi();
}

void MainWindow::onBtnZhCnClick()
{
    switchLanguage(1, "onBtnZhCnClick", QStringLiteral(":/ts/translate_zh_CN.qm"),
                   QStringLiteral(":/ts/qt_zh_CN.qm"));
}

void MainWindow::onBtnZhHkClick()
{
    switchLanguage(2, "onBtnZhHkClick", QStringLiteral(":/ts/translate_zh_HK.qm"),
                   QStringLiteral(":/ts/qt_zh_TW.qm"));
}

void MainWindow::onBtnEnUsClick()
{
    switchLanguage(3, "onBtnEnUsClick", QStringLiteral(":/ts/translate_en_US.qm"), QString());
}

void MainWindow::onBtnJpClick()
{
    switchLanguage(4, "onBtnJpClick", QStringLiteral(":/ts/translate_jp.qm"),
                   QStringLiteral(":/ts/qt_ja.qm"));
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
    if (playing)
        onBtnStopClick();
}

void MainWindow::updatePictureButtons(ImageObject *item)
{
    btnDelImage->setEnabled(item != nullptr);
    btnEditImage->setEnabled(item && (item->kind == ImageObject::KindPictureFile
                                      || item->kind == ImageObject::KindDiy));
}

void MainWindow::pressImageWidget(const QModelIndex &index)
{
    qDebug() << "#MainWindow# pressImageWidget() " << index;
    stopIfPlaying();
    btnPlay->hide();
    btnStop->hide();
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
            playMedia = clip;
            showPreviewImage(clip->frames.first());
            btnPlay->show();
            btnStop->hide();
        }
        btnDelMedia->setEnabled(true);
        return;
    }
    playMedia = nullptr;
    showPreviewImage(nullptr);
    btnPlay->hide();
    btnStop->hide();
    btnDelMedia->setEnabled(false);
}

void MainWindow::onImageContractChanged(QObject *object)
{
    stopIfPlaying();
    btnPlay->hide();
    btnStop->hide();
    auto *item = qobject_cast<ImageObject *>(object);
    showPreviewImage(item);
    updatePictureButtons(item);
}

// ------------------------------------------------------------------------ list editing

bool MainWindow::refuseWhileDownloading()
{
    if (!downloadPending)
        return false;
    QMessageBox::information(this, tr("dialog_title_tip"), tr("dialog_title_download_busy"),
                             QMessageBox::Ok);
    return true;
}

void MainWindow::onBtnDelImage()
{
    if (refuseWhileDownloading())
        return;
    const QModelIndex current = tableView->currentIndex();
    if (!isShownSelected(tableView, current))
        return;
    imageModel->delRow(current.row(), 1);
    tableView->closePersistentEditor(tableView->currentIndex());
    // The view moves its current index to a neighbour without highlighting it; a second
    // click would delete that unseen row. Nothing stays selected after a delete.
    tableView->selectionModel()->clear();
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
    const QModelIndex current = tableViewMedia->currentIndex();
    const bool shown = isShownSelected(tableViewMedia, current);
    // Stop first: a play message must never name a destroyed clip.
    if (shown && CustomTableModel::itemOf(current) == playMedia) {
        stopIfPlaying();
        playMedia = nullptr;
    }
    if (shown)
        mediaModel->delRow(current.row(), 1);
    tableViewMedia->selectionModel()->clear();
    pressMediaWidget(QModelIndex());
}

void MainWindow::clearPlaylists()
{
    // The pending download's writer still reads these items.
    if (downloadPending) {
        qDebug() << "#MainWindow# clearPlaylists() refused while a download is pending";
        return;
    }
    stopIfPlaying();
    playMedia = nullptr;
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
    qDebug() << trace << newIndex << max;
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
    if (downloadPending) {
        // Put the editor back to the row's real position.
        imageModel->setItems(imageModel->itemsAs<ImageObject>());
        refuseWhileDownloading();
        return;
    }
    moveInList(imageModel, item, oldIndex, newIndex, "onImageIndexChanged() ");
}

void MainWindow::onMediaIndexChanged(MediaObject *item, int oldIndex, int newIndex)
{
    if (downloadPending) {
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
        tr("image Files (*.png *.jpg)"));
    if (files.isEmpty())
        return;
    lastBrowseDirectory = QFileInfo(files.first()).absolutePath();
    importPictureFiles(files);
}

void MainWindow::importPictureFiles(const QStringList &files)
{
    if (files.isEmpty() || refuseWhileDownloading())
        return;
    auto *dialog = new LoadImagesDialog(files, this, nullptr);
    dialog->exec();
    delete dialog;
    toolBox->setCurrentIndex(0);
}

QString MainWindow::copyIntoWorkDirectory(const QString &path)
{
    return ImageObject::copyIntoWorkDirectory(path);
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
    const QString copy = copyIntoWorkDirectory(path);
    auto *item = new ImageObject(nextPictureNumber(), copy, 5.0, ImageObject::KindPictureFile);
    convertPicture(QImage(copy), item);
    imageModel->addItem(item);
}

void MainWindow::addLoadedPicture(ImageObject *item)
{
    if (!item)
        return;
    item->sourcePath = copyIntoWorkDirectory(item->sourcePath);
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
    qDebug() << "handlerMessage " << msg->code;
    switch (msg->code) {
    case PlayMediaHandler::PlayFrameCode:
        playNextFrame(msg);  // reuses or deletes msg
        return;
    case PlayMediaHandler::DownloadCode:
        finishDownload(msg);
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

void MainWindow::playNextFrame(Message *msg)
{
    // A late echo after stop, or one naming a clip that left the list, ends the chain. The
    // pointer is only compared until it is known to be the playing clip: the clip an echo
    // names may have been deleted while the echo was on its way.
    MediaObject *clip = playMedia;
    if (!playing || !clip || msg->object != clip || msg->extra != playChain
        || !mediaModel->itemsAs<MediaObject>().contains(clip) || clip->frames.isEmpty()) {
        delete msg;
        return;
    }
    const int n = static_cast<int>(clip->frames.size());
    if (playFrame < 0 || playFrame >= n)
        playFrame = 0;
    showPreviewImage(clip->frames.at(playFrame));
    ++playFrame;
    playHandler->sendHandlerMessageAfter(msg, 200);
}

void MainWindow::onBtnPlayClick()
{
    if (!playMedia)
        return;
    playFrame = 0;
    auto *msg = new Message(playHandler, PlayMediaHandler::PlayFrameCode);
    msg->object = playMedia;
    msg->extra = ++playChain;
    playHandler->sendHandlerMessageAfter(msg, 0);
    btnPlay->hide();
    btnStop->show();
    playing = true;
}

void MainWindow::onBtnStopClick()
{
    playHandler->removeQueued(PlayMediaHandler::PlayFrameCode);
    btnPlay->show();
    btnStop->hide();
    playing = false;
}

// ----------------------------------------------------------------------------- downloads

void MainWindow::onActionDownToUsb()
{
    if (refuseWhileDownloading())
        return;
    QString diskPath;
    {
        // Disks that come and go while the dialog is open appear and vanish in it.
        SelectUsbPathDialog dialog(knownDisks(), this);
        connect(this, &MainWindow::usbMountEvent, &dialog, &SelectUsbPathDialog::usbMountEvent);
        connect(this, &MainWindow::usbUMountEvent, &dialog, &SelectUsbPathDialog::usbUMountEvent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        diskPath = dialog.selectedPath();
    }
    chosenDiskPath = diskPath;
    QString name;
    if (!GetSaveFileDialog::askFileName(this, &name))
        return;
    startDownload(diskPath + u'/' + name + QStringLiteral(".bin"));
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
    if (downloadPending)
        return;
    downloadSnapshot = EffectPlaylist::capture(imageModel->itemsAs<ImageObject>(),
                                               mediaModel->itemsAs<MediaObject>());
    downloadPending = true;
    auto *msg = new Message(playHandler, PlayMediaHandler::DownloadCode);
    msg->object = this;
    msg->text = path;
    playHandler->sendHandlerMessage(msg);

    busyDialog = new ProgressDialog(tr("dialog_title_downloading"), this);
    busyDialog->exec();
    closeBusyDialog();
}

QString MainWindow::downToUsb2(const QString &path)
{
    // Loop thread: only the snapshot taken with the request is read here.
    const DownloadResult result = EffectWriter::write(downloadSnapshot, path);
    return result.ok ? QString() : result.error;
}

void MainWindow::finishDownload(Message *msg)
{
    closeBusyDialog();
    downloadPending = false;
    downloadSnapshot = EffectPlaylist();
    if (msg->detail.isEmpty()) {
        QMessageBox::information(this, tr("dialog_title_tip"),
                                 tr("dialog_title_download_suc").arg(msg->text), QMessageBox::Ok);
    } else {
        QMessageBox::information(this, tr("dialog_title_tip"),
                                 tr("dialog_title_download_fail").arg(msg->detail),
                                 QMessageBox::Ok);
    }
}

void MainWindow::closeBusyDialog()
{
    if (!busyDialog)
        return;
    ProgressDialog *dialog = busyDialog;
    busyDialog = nullptr;
    dialog->accept();
    // Deleted once its modal run has returned to the event loop.
    dialog->deleteLater();
}

// ------------------------------------------------------------------------- effect reading

void MainWindow::onActionPreviewFromUsb()
{
    // Reading an effect from a disk is added with the effect reader.
}

void MainWindow::onActionRestoreFactory()
{
    // The factory restore is added with the effect reader.
}

void MainWindow::deleteReadItems()
{
    qDeleteAll(readImages);
    readImages.clear();
    qDeleteAll(readMedias);
    readMedias.clear();
}

void MainWindow::endRead(bool logFactory)
{
    // A read that ends while a download still needs the playlist cannot replace it.
    if (!previewPending || downloadPending) {
        deleteReadItems();
    } else {
        clearPlaylists();
        if (!readImages.isEmpty())
            imageModel->addItems(readImages);
        btnDelImage->setEnabled(false);
        if (!readMedias.isEmpty())
            mediaModel->addItems(readMedias);
        btnDelMedia->setEnabled(false);
        readImages.clear();
        readMedias.clear();
    }
    if (logFactory)
        qDebug() << "#MainWindow# restoreFactoryOver 11111111111";
    closeBusyDialog();
    if (logFactory)
        qDebug() << "#MainWindow# restoreFactoryOver 22222222222";
}

void MainWindow::previewUsbOver()
{
    endRead(false);
}

void MainWindow::restoreFactoryOver()
{
    qDebug() << "#MainWindow# restoreFactoryOver";
    endRead(true);
}

// ------------------------------------------------------------------- other actions

void MainWindow::onActionNewDiy()
{
    // The DIY editor is added with the drawing form.
}

void MainWindow::onBtnEditDiy()
{
    // Re-editing a DIY picture is added with the drawing form.
}

void MainWindow::onActionLoadMedia()
{
    // Video import is added with the video import dialog.
}

void MainWindow::onActionLoadGif()
{
    // GIF import is added with the GIF import dialog.
}

void MainWindow::updateImageContract()
{
    // The contrast dialog is added with the contrast adjustment.
}

void MainWindow::onTableViewMenuRequested(const QPoint &)
{
    const QModelIndex current = tableView->currentIndex();
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
    // The LED count dialog is added with the geometry dialogs.
}

void MainWindow::onBtnLineNumber()
{
    // The line number dialog is added with the geometry dialogs.
}
