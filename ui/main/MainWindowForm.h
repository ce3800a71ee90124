#pragma once

#include <QCoreApplication>

class QAction;
class QHBoxLayout;
class QLabel;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;
class QToolBar;
class QToolBox;
class QWidget;
class RoundPreviewWidget;

// The main window's form: the widget tree with its object names, the actions, the
// toolbar with the language buttons, the menu of the actions the toolbar does not carry and
// the status bar. Built once by setupUi(); retranslateUi() follows the language. The window
// connects the controls; the form holds no behaviour.
class MainWindowForm
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    void setupUi(QMainWindow *window);
    void retranslateUi(QMainWindow *window);

    // Preview area: the round preview holds the Play and Stop buttons.
    RoundPreviewWidget *previewWidget = nullptr;
    QPushButton *btnPlay = nullptr;
    QPushButton *btnStop = nullptr;
    // Position and length of the show while it plays (hidden otherwise).
    QProgressBar *showPositionBar = nullptr;
    // The two playlists.
    QToolBox *toolBox = nullptr;
    QWidget *page = nullptr;
    QWidget *page_2 = nullptr;
    QPushButton *btnEditImage = nullptr;
    QPushButton *btnDelImage = nullptr;
    QPushButton *btnEditMedia = nullptr;
    QPushButton *btnDelMedia = nullptr;
    QTableView *tableView = nullptr;
    QTableView *tableViewMedia = nullptr;
    QLabel *versionLabel = nullptr;
    QLabel *showLengthLabel = nullptr;
    // Toolbar, menu and actions.
    QToolBar *toolBar = nullptr;
    QMenu *toolsMenu = nullptr;
    QAction *actionNewDiy = nullptr;
    QAction *actionOpenImage = nullptr;
    QAction *actionLoadMedia = nullptr;
    QAction *actionLoadGif = nullptr;
    QAction *actionTextClip = nullptr;
    QAction *actionDownToUsb = nullptr;
    QAction *actionDownToLocal = nullptr;
    QAction *actionPreviewFromUsb = nullptr;
    QAction *actionRestoreFactory = nullptr;
    QAction *actionSettingColor = nullptr;
    QAction *actionPlayShow = nullptr;
    QAction *actionLedCount = nullptr;
    QAction *actionLineNumber = nullptr;
    QPushButton *btnZhCn = nullptr;
    QPushButton *btnZhHk = nullptr;
    QPushButton *btnEnUs = nullptr;
    QPushButton *btnJp = nullptr;

    static inline const char *const Version = "T4S_20181127_0.03";

private:
    void buildCentralWidget(QMainWindow *window);
    QWidget *buildPreviewSide(QWidget *parent);
    void buildLists(QWidget *parent);
    void buildActions(QMainWindow *window);
    QWidget *buildPlayShowButton();
    QWidget *buildLanguageButtons();
    // A tool box page with its 32-pixel button bar (whose layout goes to *bar).
    static QWidget *buildPage(const QString &name, const QString &barName, QHBoxLayout **bar);
    // The page's list view below its bar, set up as both lists are.
    static QTableView *addListView(QWidget *page, const QString &name);
    static void setUpListView(QTableView *view);
};
