#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QStringList>

class ImageObject;
class LoadImagesDialog;
class PlaylistController;
class QWidget;

// The picture list's actions that run a dialog: importing picture files (with the list's
// limit and the file choice), drawing a new DIY picture and redrawing one. Each asks the
// playlist's lock first; what they make is appended to the picture list.
class PictureActions
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    static constexpr int MaxPictures = 50;

    // window is the parent of the dialogs and boxes.
    PictureActions(PlaylistController &playlists, QWidget *window);

    // Import Picture: true once the import dialog has run.
    bool openImage();
    // The import dialog over files (the part of openImage() after the choice); true once it
    // has run. The pictures go in from row on, in the files' order (-1: appended); the
    // dialog shows a file of shownNames under its name there.
    bool importFiles(const QStringList &files, int row = -1,
                     const QHash<QString, QString> &shownNames = {});
    // Appends the pictures the import dialog delivers.
    void receiveImportsFrom(LoadImagesDialog *dialog);
    // New DIY: true when a drawing was appended.
    bool newDiy();
    // Redraws the picture of the current row; the picture when it changed, else null.
    ImageObject *editCurrent();

    // Pictures the list still has room for.
    int room() const;

private:
    // When the list is full: says so and returns true.
    bool refuseWhenFull();
    // The row the next delivered picture goes to (-1: appended).
    int nextPlace();
    // Says how many chosen files were left out for the limit.
    void tellLeftOut(int count);

    PlaylistController &playlists;
    QWidget *window;
    int leftOut = 0; // pictures the running import delivered beyond the limit
    int insertAt = -1; // where the running import puts its next picture (-1: appended)
};
