#pragma once

#include "effect/EffectHost.h"
#include "effect/EffectPlaylist.h"
#include "ui/ProgressDialog.h"

#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

#include <atomic>

class CustomTableModel;
class DiskMonitor;
class ImageObject;
class MediaObject;
class Message;
class PlayMediaHandler;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QToolBar;
class QToolBox;
class QWidget;

// The program's only top-level window: round preview, the picture and clip playlists, the
// toolbar with the import and download actions and the language buttons. Owns both playlist
// models and the worker that runs its file jobs on the shared loop thread.
class MainWindow : public QMainWindow, public EffectHost
{
    Q_OBJECT
public:
    static constexpr int MaxPictures = 50;
    static inline const QString Version = QStringLiteral("T4S_20181127_0.03");

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // EffectHost, used by the worker on the loop thread.
    QString downToUsb2(const QString &path) override;
    std::atomic<bool> &previewPendingFlag() override { return previewPending; }
    QList<ImageObject *> &readImageList() override { return readImages; }
    QList<MediaObject *> &readMediaList() override { return readMedias; }

    // Copies a picture file into the work directory and appends a new item converted from it.
    void addPictureFile(const QString &path);
    // Appends an item the import already converted, after copying its file into the work
    // directory; the list takes ownership.
    void addLoadedPicture(ImageObject *item);
    // The same for an item whose sourcePath already is its own copy in the work directory
    // (the import workers copy the file themselves, sparing the GUI thread the copy).
    void addCopiedPicture(ImageObject *item);
    // Removes every row of both playlists (destroying the items).
    void clearPlaylists();
    // Shows the item's sampling preview in the preview area; white without an item.
    void showPreviewImage(ImageObject *item);
    // Runs the picture import dialog over the files (the part of onActionOpenImage after the
    // file choice).
    void importPictureFiles(const QStringList &files);
    // Sends the download request for path with a snapshot of the playlist and waits in the
    // busy dialog; the completion (code 8) ends the wait and tells the outcome.
    void startDownload(const QString &path);
    bool isDownloadPending() const { return downloadPending; }
    // Present removable disks, in the order they were found.
    QStringList knownDisks() const;

    CustomTableModel *pictureModel() const { return imageModel; }
    CustomTableModel *clipModel() const { return mediaModel; }
    PlayMediaHandler *handler() const { return playHandler; }
    ProgressDialog *currentBusyDialog() const { return busyDialog; }
    DiskMonitor *disks() const { return diskMonitor; }
    bool isPlaying() const { return playing; }

signals:
    void usbMountEvent(QString path);
    void usbUMountEvent(QString path);

public slots:
    void onBtnMinWindow();
    void onBtnMaxWindow();
    void onBtnCloseWindow();
    void onActionOpenImage();
    void onActionDownToUsb();
    void onActionDownToLocal();
    void onActionNewDiy();
    void onActionLoadMedia();
    void onActionLoadGif();
    void onActionPreviewFromUsb();
    void onActionRestoreFactory();
    void onActionSettingColor();
    void onBtnEditDiy();
    void onBtnDelImage();
    void onBtnDelMedia();
    void pressMediaWidget(const QModelIndex &index);
    void pressImageWidget(const QModelIndex &index);
    void onBtnPlayClick();
    void onBtnStopClick();
    void handlerMessage(Message *msg);
    void previewUsbOver();
    void restoreFactoryOver();
    void updateImageContract();
    void onTableViewMenuRequested(const QPoint &point);
    void onBtnZhCnClick();
    void onBtnZhHkClick();
    void onBtnEnUsClick();
    void onBtnJpClick();
    void onImageIndexChanged(ImageObject *item, int oldIndex, int newIndex);
    void onMediaIndexChanged(MediaObject *item, int oldIndex, int newIndex);
    void onImageContractChanged(QObject *object);
    void onBtnLedCount();
    void onBtnLineNumber();

protected:
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void buildForm();
    void buildActions();
    QWidget *buildLanguageButtons();
    void buildStatusBar();
    void paintInitialPreview();
    void setPreviewBackground(const QBrush &brush);
    void setUpListView(QTableView *view);
    void createWorker();
    void setUpLists();
    void setUpDisks();
    void retranslateUi();
    void switchLanguage(int code, const char *slotName, const QString &appFile,
                        const QString &qtFile);
    // True (after telling the user) while a download must keep the playlist unchanged.
    bool refuseWhileDownloading();
    void finishDownload(Message *msg);
    void playNextFrame(Message *msg);
    void endRead(bool logFactory);
    void deleteReadItems();
    void closeBusyDialog();
    QString copyIntoWorkDirectory(const QString &path);
    int nextPictureNumber() const;
    void updatePictureButtons(ImageObject *item);
    // True when index is valid and its row is highlighted in view.
    static bool isShownSelected(const QTableView *view, const QModelIndex &index);
    void stopIfPlaying();
    template <typename T>
    void moveInList(CustomTableModel *model, T *item, int oldIndex, int newIndex,
                    const char *trace);

    // Playlists and worker.
    CustomTableModel *imageModel = nullptr;
    CustomTableModel *mediaModel = nullptr;
    PlayMediaHandler *playHandler = nullptr;
    QTranslator appTranslator;
    QTranslator qtTranslator;
    QMenu *imageMenu = nullptr;
    QAction *contrastAction = nullptr;
    QPointer<ProgressDialog> busyDialog;
    QList<ImageObject *> readImages;
    QList<MediaObject *> readMedias;
    std::atomic<bool> previewPending{false};
    bool playing = false;
    int playFrame = 0;
    // Numbers each Play; an echo of an earlier chain (still on its way when Stop and Play
    // were clicked) ends instead of running beside the new one.
    quintptr playChain = 0;
    MediaObject *playMedia = nullptr;
    DiskMonitor *diskMonitor = nullptr;
    QString chosenDiskPath;

    // While a download is pending the writer reads this snapshot on the loop thread; the
    // playlist must keep its items (no deletion, import or reordering) until the completion.
    bool downloadPending = false;
    EffectPlaylist downloadSnapshot;

    // Form.
    QWidget *previewWidget = nullptr;
    QPushButton *btnPlay = nullptr;
    QPushButton *btnStop = nullptr;
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

    // Toolbar, menu and actions.
    QToolBar *toolBar = nullptr;
    QMenu *toolsMenu = nullptr;
    QAction *actionNewDiy = nullptr;
    QAction *actionOpenImage = nullptr;
    QAction *actionLoadMedia = nullptr;
    QAction *actionLoadGif = nullptr;
    QAction *actionDownToUsb = nullptr;
    QAction *actionDownToLocal = nullptr;
    QAction *actionPreviewFromUsb = nullptr;
    QAction *actionRestoreFactory = nullptr;
    QAction *actionSettingColor = nullptr;
    QPushButton *btnZhCn = nullptr;
    QPushButton *btnZhHk = nullptr;
    QPushButton *btnEnUs = nullptr;
    QPushButton *btnJp = nullptr;
};
