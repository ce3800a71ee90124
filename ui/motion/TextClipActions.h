#pragma once

#include <QObject>

class MediaObject;
class PlaylistController;
class QWidget;

// The window's text clip steps: a new text clip appended to the clip list, and a text clip
// opened again in its dialog and made anew in its own row (its loop count kept; undone as
// the playlist's other edits are).
class TextClipActions : public QObject
{
    Q_OBJECT
public:
    TextClipActions(PlaylistController &playlists, QWidget *window);

    // Runs the dialog; true when a clip was added.
    bool create();
    // Opens clip's settings in the dialog; true when it was replaced. A clip that is no text
    // clip, or a locked playlist, is left alone (the latter said why).
    bool edit(MediaObject *clip);
    // Whether clip was made as a text clip and can be opened again.
    static bool canEdit(const MediaObject *clip);

signals:
    // A clip was added or replaced (the window shows the clip list).
    void clipMade(MediaObject *clip);

private:
    PlaylistController &playlists;
    QWidget *window;
};
