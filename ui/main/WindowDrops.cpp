#include "ui/main/WindowDrops.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/import/LoadGifDialog.h"
#include "ui/import/LoadMediaDialog.h"
#include "ui/main/DropDispatcher.h"
#include "ui/main/DroppedFiles.h"
#include "ui/main/EffectReadFlow.h"
#include "ui/main/ListDrops.h"
#include "ui/main/PictureActions.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/SamplingChoice.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QTableView>
#include <QToolBox>

WindowDrops::WindowDrops(QWidget *window, PlaylistController &playlists,
                         PictureActions &pictures, EffectReadFlow &reading,
                         QTableView *pictureView, QTableView *clipView, QToolBox *pages)
    : window(window), playlists(playlists), pictures(pictures), reading(reading), pages(pages),
      files(std::make_unique<DropDispatcher>(static_cast<DropTarget *>(this)))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    // The order box's move, by the row the item is dragged to.
    pictureDrops = std::make_unique<ListDrops>(
        pictureView, files.get(), true, [&playlists](QObject *item, int row) {
            if (auto *picture = qobject_cast<ImageObject *>(item))
                playlists.movePicture(picture, picture->number, row + 1);
        });
    clipDrops = std::make_unique<ListDrops>(
        clipView, files.get(), false, [&playlists](QObject *item, int row) {
            if (auto *clip = qobject_cast<MediaObject *>(item))
                playlists.moveClip(clip, clip->number, row + 1);
        });
}

WindowDrops::~WindowDrops() = default;

bool WindowDrops::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    if (!DroppedFiles::carriesUrls(drop->mimeData()))
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        QStringList others;
        const QStringList paths = DroppedFiles::localFiles(*drop->mimeData(), &others);
        files->drop(paths, -1, others);
    }
    return true;
}

void WindowDrops::setPasteAction(QAction *action)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    const auto follow = [action, clipboard] {
        action->setEnabled(DropDispatcher::canPaste(clipboard->mimeData()));
    };
    follow();
    connect(clipboard, &QClipboard::dataChanged, action, follow);
    connect(action, &QAction::triggered, this, &WindowDrops::paste);
}

void WindowDrops::paste()
{
    files->paste(QGuiApplication::clipboard()->mimeData());
}

bool WindowDrops::importPictures(const QStringList &paths, int row,
                                 const QHash<QString, QString> &shownNames)
{
    if (playlists.refuse(PlaylistController::Add))
        return false;
    if (pictures.importFiles(paths, row, shownNames))
        pages->setCurrentIndex(0);
    return true;
}

bool WindowDrops::importClip(const QString &path, bool gif)
{
    if (playlists.refuse(PlaylistController::Add))
        return false;
    const int number = playlists.clips()->rowCount();
    MediaObject *clip =
        gif ? LoadGifDialog::importClip(window, path, number, SamplingChoice::stored())
            : LoadMediaDialog::importClip(window, path, number, SamplingChoice::stored());
    if (clip) {
        playlists.addClip(clip);
        pages->setCurrentIndex(1);
    }
    return true;
}

void WindowDrops::readEffect(const QString &path)
{
    reading.previewFile(path);
}

void WindowDrops::tellNotTaken(const QStringList &names)
{
    QMessageBox::information(window, QCoreApplication::translate("MainWindow", "dialog_title_tip"),
                             QCoreApplication::translate("MainWindow", "dialog_title_drop_not_taken")
                                 .arg(names.join(QLatin1Char('\n'))),
                             QMessageBox::Ok);
}
