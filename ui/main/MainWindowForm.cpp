#include "ui/main/MainWindowForm.h"

#include "ui/main/RoundPreviewWidget.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpacerItem>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QToolBox>
#include <QVBoxLayout>

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

// A language button's flag: in full colour while its language is active (the button checked),
// faded otherwise, so the active language shows at a glance.
QIcon flagIcon(const QString &path)
{
    const QPixmap flag(path);
    QPixmap faded(flag.size());
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(0.35);
    painter.drawPixmap(0, 0, flag);
    painter.end();
    QIcon icon;
    icon.addPixmap(flag, QIcon::Normal, QIcon::On);
    icon.addPixmap(faded, QIcon::Normal, QIcon::Off);
    return icon;
}

void fillBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

void MainWindowForm::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(900, 619);
    window->setWindowIcon(QIcon(QStringLiteral(":/images/logo2.jpg")));
    buildCentralWidget(window);
    buildActions(window);

    versionLabel = new QLabel(window);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    versionLabel->setFrameShape(QFrame::NoFrame);
    window->statusBar()->addWidget(versionLabel);
    showLengthLabel = new QLabel(window);
    showLengthLabel->setObjectName(QStringLiteral("showLengthLabel"));
    window->statusBar()->addPermanentWidget(showLengthLabel);
    retranslateUi(window);
}

void MainWindowForm::buildCentralWidget(QMainWindow *window)
{
    auto *centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    auto *verticalLayout_4 = new QVBoxLayout(centralWidget);
    verticalLayout_4->setObjectName(QStringLiteral("verticalLayout_4"));
    verticalLayout_4->setSpacing(0);
    verticalLayout_4->setContentsMargins(11, 11, 11, 11);
    auto *horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(6);
    verticalLayout_4->addLayout(horizontalLayout);

    horizontalLayout->addWidget(buildPreviewSide(centralWidget), 3);
    buildLists(centralWidget);
    // The lists get enough width for a whole row editor (thumbnail, position, time, buttons).
    horizontalLayout->addWidget(toolBox, 2);
    window->setCentralWidget(centralWidget);
}

QWidget *MainWindowForm::buildPreviewSide(QWidget *parent)
{
    // The preview area on white: the round preview takes the room the lists leave it and
    // scales with it.
    auto *widget = new QWidget(parent);
    widget->setObjectName(QStringLiteral("widget"));
    auto *verticalLayout_3 = new QVBoxLayout(widget);
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    previewWidget = new RoundPreviewWidget(widget);
    previewWidget->setObjectName(QStringLiteral("previewWidget"));
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
    verticalLayout_3->addWidget(previewWidget, 1);
    showPositionBar = new QProgressBar(widget);
    showPositionBar->setObjectName(QStringLiteral("showPositionBar"));
    // Centred below the circle and no wider than it; only its largest width follows the
    // circle, so the bar never holds the preview at a size.
    showPositionBar->setFixedHeight(14);
    showPositionBar->setTextVisible(true);
    showPositionBar->setAlignment(Qt::AlignCenter);
    QObject::connect(previewWidget, &RoundPreviewWidget::diameterChanged, showPositionBar,
                     &QWidget::setMaximumWidth);
    // The preview keeps its place when the bar comes and goes.
    QSizePolicy barPolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    barPolicy.setRetainSizeWhenHidden(true);
    showPositionBar->setSizePolicy(barPolicy);
    auto *barRow = new QHBoxLayout;
    barRow->addStretch();
    barRow->addWidget(showPositionBar);
    barRow->addStretch();
    verticalLayout_3->addLayout(barRow);
    fillBackground(widget, Qt::white);
    return widget;
}

void MainWindowForm::buildLists(QWidget *parent)
{
    toolBox = new QToolBox(parent);
    toolBox->setObjectName(QStringLiteral("toolBox"));
    QFont font(QStringLiteral("新宋体"), 10);
    font.setWeight(QFont::Normal);
    toolBox->setFont(font);
    toolBox->setMinimumWidth(285);

    QHBoxLayout *bar = nullptr;
    page = buildPage(QStringLiteral("page"), QStringLiteral("widget_3"), &bar);
    btnEditImage = makeListButton(QStringLiteral("btnEditImage"), QStringLiteral(":/images/write.png"), bar->parentWidget());
    btnEditImage->setMinimumSize(85, 30);
    btnDelImage = makeListButton(QStringLiteral("btnDelImage"), QStringLiteral(":/images/edit_delete.png"), bar->parentWidget());
    btnDelImage->setMinimumSize(95, 30);
    bar->addWidget(btnEditImage);
    bar->addWidget(btnDelImage);
    bar->addStretch();
    tableView = addListView(page, QStringLiteral("tableView"));

    page_2 = buildPage(QStringLiteral("page_2"), QStringLiteral("widget_14"), &bar);
    bar->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    btnEditMedia = makeListButton(QStringLiteral("btnEditMedia"), QStringLiteral(":/images/xine.png"), bar->parentWidget());
    btnDelMedia = makeListButton(QStringLiteral("btnDelMedia"), QStringLiteral(":/images/edit_delete.png"), bar->parentWidget());
    btnDelMedia->setMinimumSize(95, 30);
    bar->addWidget(btnEditMedia);
    bar->addWidget(btnDelMedia);
    tableViewMedia = addListView(page_2, QStringLiteral("tableViewMedia"));

    toolBox->addItem(page, QString());
    toolBox->addItem(page_2, QString());
    toolBox->setCurrentIndex(0);
    fillBackground(toolBox, QColor(200, 200, 200));
}

QWidget *MainWindowForm::buildPage(const QString &name, const QString &barName,
                                   QHBoxLayout **bar)
{
    auto *page = new QWidget;
    page->setObjectName(name);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *buttons = new QWidget(page);
    buttons->setObjectName(barName);
    buttons->setFixedHeight(32);
    *bar = new QHBoxLayout(buttons);
    (*bar)->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buttons);
    return page;
}

QTableView *MainWindowForm::addListView(QWidget *page, const QString &name)
{
    auto *view = new QTableView(page);
    view->setObjectName(name);
    page->layout()->addWidget(view);
    setUpListView(view);
    return view;
}

void MainWindowForm::setUpListView(QTableView *view)
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

void MainWindowForm::buildActions(QMainWindow *window)
{
    auto makeAction = [window](const QString &name, const QString &icon) {
        auto *action = new QAction(QIcon(icon), QString(), window);
        action->setObjectName(name);
        return action;
    };
    actionNewDiy = makeAction(QStringLiteral("actionNewDiy"), QStringLiteral(":/images/design.png"));
    actionOpenImage = makeAction(QStringLiteral("actionOpenImage"), QStringLiteral(":/images/open.png"));
    actionLoadMedia = makeAction(QStringLiteral("actionLoadMedia"), QStringLiteral(":/images/import_media.png"));
    actionLoadGif = makeAction(QStringLiteral("actionLoadGif"), QStringLiteral(":/images/import_gif.png"));
    actionTextClip = makeAction(QStringLiteral("actionTextClip"), QStringLiteral(":/images/A.png"));
    actionDownToUsb = makeAction(QStringLiteral("actionDownToUsb"), QStringLiteral(":/images/download_file.png"));
    actionDownToLocal = makeAction(QStringLiteral("actionDownToLocal"), QStringLiteral(":/images/download_file.png"));
    actionPreviewFromUsb = makeAction(QStringLiteral("actionPreviewFromUsb"), QStringLiteral(":/images/preview_usb.png"));
    actionRestoreFactory = makeAction(QStringLiteral("actionRestoreFactory"), QStringLiteral(":/images/default_ui.png"));
    actionSettingColor = makeAction(QStringLiteral("actionSettingColor"), QStringLiteral(":/images/ic_flowers.png"));

    toolBar = window->addToolBar(tr("action_title_menu"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setIconSize(QSize(30, 30));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setFloatable(false);
    toolBar->setMovable(false);
    for (QAction *action : {actionNewDiy, actionOpenImage, actionLoadMedia, actionLoadGif,
                            actionTextClip, actionDownToUsb, actionDownToLocal})
        toolBar->addAction(action);
    toolBar->addWidget(buildPlayShowButton());
    toolBar->addWidget(buildLanguageButtons());

    // The actions the toolbar does not carry stay reachable from a menu.
    toolsMenu = window->menuBar()->addMenu(QString());
    toolsMenu->setObjectName(QStringLiteral("toolsMenu"));
    toolsMenu->addAction(actionTextClip);
    toolsMenu->addSeparator();
    toolsMenu->addAction(actionPreviewFromUsb);
    toolsMenu->addAction(actionRestoreFactory);
    toolsMenu->addSeparator();
    // The display geometry: changing it empties the playlists after a confirmation.
    actionLedCount = toolsMenu->addAction(QString());
    actionLedCount->setObjectName(QStringLiteral("actionLedCount"));
    actionLineNumber = toolsMenu->addAction(QString());
    actionLineNumber->setObjectName(QStringLiteral("actionLineNumber"));
    toolsMenu->addSeparator();
    toolsMenu->addAction(actionSettingColor);
}

QWidget *MainWindowForm::buildPlayShowButton()
{
    // A button of its own beside the download and import actions, which stay the
    // toolbar's actions.
    actionPlayShow = new QAction(QIcon(QStringLiteral(":/images/play.png")), QString(), toolBar);
    actionPlayShow->setObjectName(QStringLiteral("actionPlayShow"));
    actionPlayShow->setShortcut(QKeySequence(Qt::Key_F5));
    auto *button = new QToolButton(toolBar);
    button->setObjectName(QStringLiteral("btnPlayShow"));
    button->setDefaultAction(actionPlayShow);
    button->setIconSize(toolBar->iconSize());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

QWidget *MainWindowForm::buildLanguageButtons()
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
        button->setIcon(flagIcon(icon));
        button->setIconSize(QSize(60, 25));
        // LanguageButtons checks the active language's button after every click.
        button->setCheckable(true);
        row->addWidget(button);
        return button;
    };
    btnZhCn = makeButton(QStringLiteral("btnZhCn"), QStringLiteral(":/images/zh_cn.png"));
    btnZhHk = makeButton(QStringLiteral("btnZhHk"), QStringLiteral(":/images/zh_hk.png"));
    btnEnUs = makeButton(QStringLiteral("btnEnUs"), QStringLiteral(":/images/en_us.png"));
    btnJp = makeButton(QStringLiteral("btnJp"), QStringLiteral(":/images/jp_jp.png"));
    column->addLayout(row);
    column->addStretch();
    return container;
}

void MainWindowForm::retranslateUi(QMainWindow *window)
{
    window->setWindowTitle(tr("Hologram Display"));
    versionLabel->setText(tr(" Ver: %1").arg(QLatin1String(Version)));
    btnEditImage->setText(tr("编辑图片"));
    btnDelImage->setText(tr("删除图片"));
    btnEditMedia->setText(tr("action_btn_edit_text_clip"));
    btnDelMedia->setText(tr("删除视频"));
    toolBox->setItemText(toolBox->indexOf(page), tr("图片列表"));
    toolBox->setItemText(toolBox->indexOf(page_2), tr("视频列表"));
    btnPlay->setText(QString());
    btnStop->setText(QString());
    actionNewDiy->setText(tr("action_title_new_diy"));
    actionOpenImage->setText(tr("action_title_open_image"));
    actionLoadMedia->setText(tr("action_title_import_video"));
    actionLoadGif->setText(tr("action_title_import_gif"));
    actionTextClip->setText(tr("action_title_text_clip"));
    actionDownToUsb->setText(tr("action_title_download"));
    actionDownToLocal->setText(tr("action_title_download_local"));
    actionPreviewFromUsb->setText(tr("action_title_preview"));
    actionRestoreFactory->setText(tr("action_title_default"));
    actionPlayShow->setText(tr("action_title_play_show"));
    // What each toolbar action does, on hover and in the status bar.
    const std::pair<QAction *, QString> tips[] = {
        {actionNewDiy, tr("action_tip_new_diy")},
        {actionOpenImage, tr("action_tip_open_image")},
        {actionLoadMedia, tr("action_tip_import_video")},
        {actionLoadGif, tr("action_tip_import_gif")},
        {actionDownToUsb, tr("action_tip_download")},
        {actionDownToLocal, tr("action_tip_download_local")},
        {actionPlayShow, tr("action_tip_play_show")},
    };
    for (const auto &[action, tip] : tips) {
        action->setToolTip(tip);
        action->setStatusTip(tip);
    }
    // Each language named in its own words, so that it can be found from any other.
    btnZhCn->setToolTip(tr("tip_language_zh_CN"));
    btnZhHk->setToolTip(tr("tip_language_zh_HK"));
    btnEnUs->setToolTip(tr("tip_language_en_US"));
    btnJp->setToolTip(tr("tip_language_jp"));
    toolBar->setWindowTitle(tr("action_title_menu"));
    // The menu holding the actions that the toolbar does not carry follows the language too.
    toolsMenu->setTitle(tr("menu_title_tools"));
    actionSettingColor->setText(tr("颜色调试参数"));
    actionLedCount->setText(tr("action_title_led_count"));
    actionLineNumber->setText(tr("action_title_line_number"));
}
