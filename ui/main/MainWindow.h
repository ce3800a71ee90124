#pragma once

#include "app/LanguageSwitcher.h"
#include "ui/main/MainWindowForm.h"

#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QStringList>

#include <atomic>

class ClipPlayer;
class ContrastJobs;
class CustomTableModel;
class DiskMonitor;
class DownloadFlow;
class GeometryNumberDialog;
class ImageObject;
class LoadImagesDialog;
class MediaObject;
class Message;
class PlayMediaHandler;
class ProgressDialog;
class QAction;
class QMenu;
class ReadBackMerge;
class ReadRequest;
class SamplingChoice;
class ShowPlayer;

// The program's only top-level window: round preview, the picture and clip playlists, the
// toolbar with the import and download actions and the language buttons. Owns both playlist
// models and the worker that runs its file jobs on the shared loop thread; the form, the clip
// playback, the download and the read-back are classes of their own that it owns and wires.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int MaxPictures = 50;
    // Geometry of the factory effect "default.bin".
    static constexpr int FactoryLedCount = 36;
    static constexpr int FactoryLineNumber = 360;
    static inline const QString Version = QLatin1String(MainWindowForm::Version);

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

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
    // Appends the pictures the import dialog delivers.
    void receiveImportsFrom(LoadImagesDialog *dialog);
    // Sends the download request for path with a snapshot of the playlist and waits in the
    // busy dialog; the completion (code 8) ends the wait and tells the outcome.
    void startDownload(const QString &path);
    bool isDownloadPending() const;
    // Present removable disks, in the order they were found.
    QStringList knownDisks() const;

    CustomTableModel *pictureModel() const { return imageModel; }
    CustomTableModel *clipModel() const { return mediaModel; }
    PlayMediaHandler *handler() const { return playHandler; }
    ReadBackMerge *readBack() const { return reading; }
    ContrastJobs *contrastJobs() const { return contrast; }
    // A download or a contrast change still uses the playlist's items.
    bool playlistInUse() const;
    ProgressDialog *currentBusyDialog() const;
    DiskMonitor *disks() const { return diskMonitor; }
    ShowPlayer *showPlayer() const { return showPlayback; }
    bool isPlaying() const;

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
    void onActionPlayShow();
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
    // Everything the window shows follows a new language, whoever installed it.
    void changeEvent(QEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void connectForm();
    // The disk chosen in the disk selection dialog; empty when cancelled.
    QString chooseDisk();
    void paintInitialPreview();
    void setPreviewBackground(const QBrush &brush);
    void createWorker();
    void setUpLists();
    void setUpDisks();
    void retranslateUi();
    void switchLanguage(int code, const char *slotName);
    // True (after telling the user) while a download must keep the playlist unchanged.
    bool refuseWhileDownloading();
    void endRead(bool logFactory);
    // True (after telling the user) while the playlist must not be replaced or cleared: a
    // download or a contrast change uses its items, or a read has not completed.
    bool refusePlaylistChange();
    void showTip(const QString &text);
    // Checks the file for the geometry before anything changes; tells the user why not.
    bool checkBeforeRead(const QString &path, const QSize &geometry, bool factory);
    // Asks before a read replaces a playlist that holds items.
    bool confirmReplace();
    void readEffect(int code, const QString &path, const QString &busyText, const QSize &geometry);
    void replacePlaylists(ReadRequest &request);
    // Preview, Reset, downloads and geometry changes wait for every read and contrast change.
    void updateBusyActions();
    void changeGeometry(GeometryNumberDialog &dialog, std::atomic<int> &number,
                        const QString &confirmText, const char *trace);
    void onContrastApplied(ImageObject *item, bool ok);
    int nextPictureNumber() const;
    void updatePictureButtons(ImageObject *item);
    void stopIfPlaying();
    // True when index is valid and its row is highlighted in view.
    static bool isShownSelected(const QTableView *view, const QModelIndex &index);
    template <typename T>
    void moveInList(CustomTableModel *model, T *item, int oldIndex, int newIndex,
                    const char *trace);

    MainWindowForm ui;
    CustomTableModel *imageModel = nullptr;
    CustomTableModel *mediaModel = nullptr;
    PlayMediaHandler *playHandler = nullptr;
    ClipPlayer *player = nullptr;
    ShowPlayer *showPlayback = nullptr;
    DownloadFlow *download = nullptr;
    ReadBackMerge *reading = nullptr;
    ContrastJobs *contrast = nullptr;
    // Why the awaited read could not replace the playlist; told once its busy dialog is gone.
    QString readFailure;
    // The program's and Qt's translators of the active language.
    LanguageSwitcher languages;
    QMenu *imageMenu = nullptr;
    QAction *contrastAction = nullptr;
    SamplingChoice *sampling = nullptr;
    DiskMonitor *diskMonitor = nullptr;
    QString chosenDiskPath;
    // Set while the window is destroyed: late replies of the worker are only deleted.
    bool closing = false;
};
