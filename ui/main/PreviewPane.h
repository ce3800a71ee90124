#pragma once

#include "ui/main/ClipPlayer.h"
#include "ui/main/ShowPlayer.h"

#include <QObject>
#include <QPointer>

class CustomTableModel;
class ImageObject;
class MediaObject;
class MainWindowForm;
class PlayMediaHandler;
class QPushButton;
class QShortcut;
class RoundPreviewWidget;

// The round preview area of the main window with its Play and Stop buttons: shows the
// selected picture or clip frame, plays the selected clip (ClipPlayer) or the whole show
// (ShowPlayer) there, and keeps the two buttons in step with one of three states: nothing
// to play (both hidden), ready (Play shown) and playing (Stop shown). Esc stops whatever
// plays; when the show ends or is stopped, the selected row is shown again.
class PreviewPane : public QObject
{
    Q_OBJECT
public:
    // The form's previewWidget, btnPlay, btnStop and the show's position bar and length label.
    PreviewPane(const MainWindowForm &form, PlayMediaHandler *handler, CustomTableModel *pictures,
                CustomTableModel *clips, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(PreviewPane)

    ClipPlayer *clipPlayer() { return &player; }
    ShowPlayer *showPlayer() { return &show; }
    bool isPlaying() const { return player.isPlaying() || show.isPlaying(); }

    // The item's sampling preview in the circle; white without an item.
    void showItem(ImageObject *item);
    // A picture (or nothing) was selected: stops playing, nothing to play, shows it.
    void selectPicture(ImageObject *item);
    // A clip was selected: stops playing; a clip with frames becomes the one Play starts and
    // shows its first frame; without a clip nothing is left to play and white is shown. A
    // clip without frames changes nothing else.
    void selectClip(MediaObject *clip);
    // Play and Stop: the clip's playback, or the show's while it plays.
    void play();
    void stop();
    void playShow();
    // F5: plays the show, or stops it while it plays.
    void toggleShow();
    void stopIfPlaying();
    // The clip leaves its list: it is stopped when playing and no longer played.
    void forget(MediaObject *clip);
    // Both lists are emptied: stops and forgets the clip.
    void release();

private:
    enum class Buttons { None, Play, Stop };
    void setButtons(Buttons shown);
    void showSelected();

    RoundPreviewWidget *area;
    QPushButton *btnPlay;
    QPushButton *btnStop;
    ClipPlayer player;
    ShowPlayer show;
    QShortcut *escape;
    // What the selected row shows; nothing selected yet shows the empty circle.
    bool selectionMade = false;
    QPointer<ImageObject> selected;
};
