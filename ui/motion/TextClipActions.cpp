#include "ui/motion/TextClipActions.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/SamplingChoice.h"
#include "ui/motion/TextClipDialog.h"
#include "ui/playlist/CustomTableModel.h"

#include <QPointer>

TextClipActions::TextClipActions(PlaylistController &playlists, QWidget *window)
    : QObject(window), playlists(playlists), window(window)
{
}

bool TextClipActions::create()
{
    if (playlists.refuse(PlaylistController::Add))
        return false;
    MediaObject *clip =
        TextClipDialog::createClip(window, playlists.clips()->rowCount(), SamplingChoice::stored());
    if (!clip)
        return false;
    // A download may have begun while the dialog was open.
    if (playlists.refuse(PlaylistController::Add)) {
        delete clip;
        return false;
    }
    playlists.addClip(clip);
    emit clipMade(clip);
    return true;
}

bool TextClipActions::canEdit(const MediaObject *clip)
{
    TextClipDescription wanted;
    return TextClipDialog::descriptionOf(clip, &wanted);
}

bool TextClipActions::edit(MediaObject *clip)
{
    if (!canEdit(clip) || playlists.refuse(PlaylistController::Remove))
        return false;
    // The clip may leave the list while the dialog is open (undo through a shortcut of
    // another window is not possible while it is modal, but a read back is).
    QPointer<MediaObject> old(clip);
    // Made again as it was made: with its own sampling, whatever new imports use now.
    const SamplingMode sampling = clip->frames.isEmpty() || !clip->frames.first()
                                      ? SamplingChoice::stored()
                                      : clip->frames.first()->sampling;
    MediaObject *replacement = TextClipDialog::editClip(window, clip, sampling);
    if (!replacement)
        return false;
    if (!old || !playlists.clips()->itemsAs<MediaObject>().contains(old.data())) {
        delete replacement;
        return false;
    }
    if (!playlists.replaceClip(old, replacement))
        return false;
    emit clipMade(replacement);
    return true;
}
