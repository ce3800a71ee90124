#include "ui/main/PictureActions.h"

#include "app/AppGlobals.h"
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
    // Checked only here, before the choice: a selection may bring the list above the limit.
    if (playlists.pictures()->itemCount() >= MaxPictures) {
        QMessageBox::information(window, tr("dialog_title_tip"),
                                 tr("图片最多只能包含%1张图片！").arg(MaxPictures),
                                 QMessageBox::Ok);
        return false;
    }
    const QStringList files = QFileDialog::getOpenFileNames(
        window, tr("dialog_title_load_picture"), lastBrowseDirectory,
        FileFilters::withAllFiles(tr("image Files (*.png *.jpg)"), FileFilters::pictureSuffixes()));
    if (files.isEmpty())
        return false;
    lastBrowseDirectory = QFileInfo(files.first()).absolutePath();
    return importFiles(files);
}

bool PictureActions::importFiles(const QStringList &files)
{
    if (files.isEmpty() || playlists.refuse(PlaylistController::Add))
        return false;
    LoadImagesDialog dialog(files, nullptr);
    receiveImportsFrom(&dialog);
    dialog.exec();
    return true;
}

void PictureActions::receiveImportsFrom(LoadImagesDialog *dialog)
{
    QObject::connect(dialog, &LoadImagesDialog::pictureConverted, &playlists,
                     &PlaylistController::addCopiedPicture);
    QObject::connect(dialog, &LoadImagesDialog::pictureFileReady, &playlists,
                     &PlaylistController::addPictureFile);
}

bool PictureActions::newDiy()
{
    if (playlists.refuse(PlaylistController::Add))
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
