#pragma once

#include "ui/main/ContrastJobs.h"
#include "ui/main/DownloadFlow.h"
#include "ui/main/EffectReadFlow.h"
#include "ui/main/MainWindowForm.h"
#include "ui/main/PictureActions.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/PreviewPane.h"

#include <QMainWindow>
#include <QModelIndex>
#include <QStringList>

#include <memory>

class DropDispatcher;
class EditMenu;
class CustomTableModel;
class FileMenu;
class DiskMonitor;
class ImageObject;
class LanguageButtons;
class LoadImagesDialog;
class MediaObject;
class PlayMediaHandler;
class ProgressDialog;
class QAction;
class QLabel;
class QMenu;
class SamplingChoice;
class ShowPlayer;
class ShowRecovery;
class TransitionControls;
class TransitionLinks;
class ShowSession;
class WindowDrops;
class TextClipActions;

// The program's only top-level window: round preview, the picture and clip playlists, the
// toolbar with the import and download actions and the language buttons. It wires the
// classes that do the work: the form, the playlists with their lock (PlaylistController),
// the preview with its Play and Stop (PreviewPane), the worker on the shared loop thread
// (PlayMediaHandler) and the flows that use it (download, read back, contrast), the
// picture actions that run a dialog, the language buttons and the disks.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int MaxPictures = PictureActions::MaxPictures;
    static inline const QString Version = QLatin1String(MainWindowForm::Version);

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Copies a picture file into the work directory and appends a new item converted from it.
    void addPictureFile(const QString &path) { playlists->addPictureFile(path); }
    // Appends an item the import already converted, after copying its file into the work
    // directory; the list takes ownership.
    void addLoadedPicture(ImageObject *item) { playlists->addLoadedPicture(item); }
    // The same for an item whose sourcePath already is its own copy in the work directory
    // (the import workers copy the file themselves, sparing the GUI thread the copy).
    void addCopiedPicture(ImageObject *item) { playlists->addCopiedPicture(item); }
    // Removes every row of both playlists (destroying the items).
    void clearPlaylists() { playlists->clear(); }
    // Shows the item's sampling preview in the preview area; white without an item.
    void showPreviewImage(ImageObject *item) { preview->showItem(item); }
    // Runs the picture import dialog over the files (the part of onActionOpenImage after the
    // file choice).
    void importPictureFiles(const QStringList &files);
    // Appends the pictures the import dialog delivers.
    void receiveImportsFrom(LoadImagesDialog *dialog);
    // Sends the download request for path with a snapshot of the playlist and waits in the
    // busy dialog; the completion (code 8) ends the wait and tells the outcome.
    void startDownload(const QString &path);
    bool isDownloadPending() const { return download->isPending(); }
    // Present removable disks, in the order they were found.
    QStringList knownDisks() const;

    CustomTableModel *pictureModel() const { return playlists->pictures(); }
    CustomTableModel *clipModel() const { return playlists->clips(); }
    PlaylistController *playlist() const { return playlists.get(); }
    PlayMediaHandler *handler() const { return playHandler.get(); }
    ReadBackMerge *readBack() const { return reading->merge(); }
    ContrastJobs *contrastJobs() const { return contrast.get(); }
    // A download or a contrast change still uses the playlist's items.
    bool playlistInUse() const { return playlists->inUse(); }
    ProgressDialog *currentBusyDialog() const;
    DiskMonitor *disks() const { return diskMonitor; }
    ShowPlayer *showPlayer() const { return preview->showPlayer(); }
    TransitionLinks *transitionLinks() const { return transitions.get(); }
    TransitionControls *transitionButtons() const { return transitionControls.get(); }
    bool isPlaying() const { return preview->isPlaying(); }
    // Keeps a recovery copy of the show from now on (in directory; empty: the user's data
    // location) and, once the event loop runs, offers to restore one a killed run left.
    void startRecovery(const QString &directory = QString());
    ShowRecovery *recovery() const { return showRecovery.get(); }
    // The show file the window holds: save, open, new, the modified mark.
    ShowSession *showSession() const { return session.get(); }
    FileMenu *fileMenu() const { return file.get(); }
    // Files dropped or pasted; its showFileDropped(path) is for the show's open.
    DropDispatcher *dropDispatcher() const;
    // The language of code (1 zh_CN ... 4 jp) as its button would choose it.
    void chooseLanguage(int code);

signals:
    void usbMountEvent(QString path);
    // The language or the display geometry in force may have changed: the status line has
    // just shown them anew.
    void displayChoicesShown();
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
    // Opens a show file after the question about unsaved changes; true when it was opened.
    bool openShow(const QString &path);

protected:
    // Unsaved changes are asked about first; Cancel (or a save that fails) keeps the window.
    void closeEvent(QCloseEvent *event) override;
    // Everything the window shows follows a new language, whoever installed it.
    void changeEvent(QEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void createWorkers();
    void setUpLists();
    void connectForm();
    void retranslateUi();
    // Downloads to the directory chosen (empty: cancelled) under a name asked for.
    void downloadInto(const QString &directory);
    void appendClip(MediaObject *clip);
    // Preview, Reset, downloads and geometry changes wait for every read and contrast change.
    void updateBusyActions();
    void onRowStepDue(QObject *editor, int code);
    void onContrastApplied(ImageObject *item, bool ok);
    void updatePictureButtons(ImageObject *item);
    // The display geometry in force, in the status bar.
    void showGeometry();
    // The list page with items on it: a show of clips alone opens on its clips.
    void showFilledList();

    MainWindowForm ui;
    // Members go in reverse order: first what plays or reads (so nothing of the worker names
    // an item any more: a read stops at its next record, a write is waited for, no frame
    // echo is left), then the worker (replies still on their way are dropped with their
    // receivers), last the playlists, whose views let go of the models before the items go.
    std::unique_ptr<PlaylistController> playlists;
    std::unique_ptr<PlayMediaHandler> playHandler;
    std::unique_ptr<ContrastJobs> contrast;
    // The transitions' made clips: a download writing them is waited for first.
    std::unique_ptr<TransitionLinks> transitions;
    std::unique_ptr<DownloadFlow> download;
    std::unique_ptr<EffectReadFlow> reading;
    std::unique_ptr<PictureActions> pictures;
    std::unique_ptr<PreviewPane> preview;
    std::unique_ptr<TransitionControls> transitionControls;
    LanguageButtons *languages = nullptr;
    QMenu *imageMenu = nullptr;
    QAction *contrastAction = nullptr;
    // Edit menu: undo and redo of the playlist edits.
    std::unique_ptr<EditMenu> editMenu;
    QLabel *geometryLabel = nullptr;
    SamplingChoice *sampling = nullptr;
    TextClipActions *textClips = nullptr;
    void createEditMenu();
    void createFileMenu();
    DiskMonitor *diskMonitor = nullptr;
    // Before the playlists: it waits for a save that still reads the items.
    std::unique_ptr<ShowRecovery> showRecovery;
    // Goes before the playlists: a save under way is waited for while they hold the items.
    std::unique_ptr<ShowSession> session;
    std::unique_ptr<FileMenu> file;
    // Drops and Paste use the playlists, the picture actions and the read flow: they go first.
    std::unique_ptr<WindowDrops> drops;
};
