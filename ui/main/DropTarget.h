#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// What the window does with the files of a drop or a paste, one kind at a time; the
// dispatcher decides what goes where and in which order. Each call may run a modal dialog
// and returns once it is closed.
class DropTarget
{
public:
    virtual ~DropTarget() = default;

    // Imports picture files as the bulk import does, inserted from row on (-1: appended);
    // a file in shownNames is shown to the user under its name there. False when the
    // playlist refused any addition (a download is pending): the clips of the same drop are
    // then left alone too.
    virtual bool importPictures(const QStringList &paths, int row,
                                const QHash<QString, QString> &shownNames) = 0;
    // Runs the import dialog of one GIF or video; false when the playlist refused it.
    virtual bool importClip(const QString &path, bool gif) = 0;
    // Offers to read an effect file back into the playlists.
    virtual void readEffect(const QString &path) = 0;
    // Names, in one message, what was dropped but not taken.
    virtual void tellNotTaken(const QStringList &names) = 0;
};
