#pragma once

#include <QString>

class ImageObject;
class QWidget;

// The main window's side of the drawing editor: runs the form modally over the window for a
// new drawing or to edit a picture item, and turns an accepted drawing into LED data.
class DiyPictureEditor
{
public:
    // A new drawing; on acceptance a new item (kind DIY, 5 s, numbered number) converted
    // from the drawing in memory and stored as "diy_<n>.png" in the work directory; null
    // otherwise.
    static ImageObject *drawNew(QWidget *window, int number);
    // Edits item's picture in place; true when the item was changed (its file, thumbnail and
    // LED data). Only picture files and drawings can be edited, and only while readable.
    static bool editPicture(QWidget *window, ImageObject *item);

    // Where an edit of sourcePath is stored: the file itself when it is a PNG, else a PNG
    // beside it with the same base name (a JPEG would lose quality at every edit).
    static QString editedPath(const QString &sourcePath);
};
