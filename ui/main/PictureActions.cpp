#include "ui/main/PictureActions.h"

#include "app/AppGlobals.h"
#include "app/AppSettings.h"
#include "model/ImageObject.h"
#include "ui/dialogs/FileFilters.h"
#include "ui/diy/DiyPictureEditor.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/main/PlaylistController.h"
#include "ui/playlist/CustomTableModel.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

PictureActions::PictureActions(PlaylistController &playlists, QWidget *window)
    : playlists(playlists), window(window)
{
}

bool PictureActions::openImage()
{
    if (playlists.refuse(PlaylistController::Add))
        return false;
    if (refuseWhenFull())
        return false;
    const QStringList files = QFileDialog::getOpenFileNames(
        window, tr("dialog_title_load_picture"),
        AppSettings().lastFolder(AppSettings::Folder::Pictures, lastBrowseDirectory),
        FileFilters::withAllFiles(tr("image Files (*.png *.jpg)"), FileFilters::pictureSuffixes()));
    if (files.isEmpty())
        return false;
    lastBrowseDirectory = QFileInfo(files.first()).absolutePath();
    AppSettings().setLastFolder(AppSettings::Folder::Pictures, lastBrowseDirectory);
    return importFiles(files);
}

bool PictureActions::importFiles(const QStringList &files, int row,
                                 const QHash<QString, QString> &shownNames)
{
    if (files.isEmpty() || playlists.refuse(PlaylistController::Add) || refuseWhenFull())
        return false;
    // Cut before the import starts: files beyond the limit are not even converted.
    const int fit = room();
    LoadImagesDialog dialog(files.mid(0, fit), nullptr);
    dialog.setShownNames(shownNames);
    leftOut = int(files.size()) - fit;
    insertAt = row;
    receiveImportsFrom(&dialog);
    dialog.exec();
    insertAt = -1;
    tellLeftOut(leftOut);
    leftOut = 0;
    return true;
}

int PictureActions::room() const
{
    return qMax(0, MaxPictures - int(playlists.pictures()->itemCount()));
}

bool PictureActions::refuseWhenFull()
{
    if (room() > 0)
        return false;
    QMessageBox::information(window, tr("dialog_title_tip"),
                             tr("图片最多只能包含%1张图片！").arg(MaxPictures), QMessageBox::Ok);
    return true;
}

void PictureActions::tellLeftOut(int count)
{
    if (count <= 0)
        return;
    QMessageBox::information(window, tr("dialog_title_tip"),
                             tr("dialog_title_pictures_left_out").arg(MaxPictures).arg(count),
                             QMessageBox::Ok);
}

void PictureActions::receiveImportsFrom(LoadImagesDialog *dialog)
{
    // The limit holds whatever the dialog delivers: a picture beyond it is dropped and
    // counted.
    QObject::connect(dialog, &LoadImagesDialog::pictureConverted, &playlists,
                     [this](ImageObject *item) {
                         if (room() > 0) {
                             playlists.addCopiedPicture(item, nextPlace());
                         } else {
                             delete item;
                             ++leftOut;
                         }
                     });
    QObject::connect(dialog, &LoadImagesDialog::pictureFileReady, &playlists,
                     [this](const QString &path) {
                         if (room() > 0)
                             playlists.addPictureFile(path, nextPlace());
                         else
                             ++leftOut;
                     });
}

int PictureActions::nextPlace()
{
    // The dialog delivers in the files' order: each picture goes after the one before it.
    return insertAt < 0 ? -1 : insertAt++;
}

bool PictureActions::newDiy()
{
    if (playlists.refuse(PlaylistController::Add) || refuseWhenFull())
        return false;
    ImageObject *item = DiyPictureEditor::drawNew(window, playlists.nextPictureNumber());
    if (!item)
        return false;
    playlists.addPicture(item);
    return true;
}

ImageObject *PictureActions::editCurrent()
{
    ImageObject *item = playlists.currentPicture();
    if (!item || playlists.refuse(PlaylistController::Edit)
        || !DiyPictureEditor::editPicture(window, item))
        return nullptr;
    playlists.refreshPicture(item);
    return item;
}
