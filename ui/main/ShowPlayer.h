#pragma once

#include "effect/ShowTimeline.h"
// Complete, so that the item pointer frameShown carries is known to the meta-type system as a
// QObject pointer (a forward declaration registers it as an opaque pointer).
#include "model/ImageObject.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class CustomTableModel;
class QLabel;
class QProgressBar;
class MediaObject;
struct EffectPlaylist;

// Plays the whole playlist in the preview area as the display will play the effect file:
// the pictures in list order for their stored times, then every clip at 100 ms a frame as
// often as its loop count (the timeline of the file the download would write). The clock
// is the elapsed time since Play, so a slow frame never stretches the show; the position bar
// follows it. Ends after one pass, on stop(), and as soon as a row leaves either list or a
// list is reordered, since the items it shows may go with them.
//
// Also keeps the status bar's show length up to date: on every change of the lists, on
// updateLength() (the window calls it when a row editor changes a time or a loop count) and
// when the language changes.
class ShowPlayer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 40;

    // bar and lengthLabel belong to the window; the player shows, hides and fills them.
    ShowPlayer(CustomTableModel *pictures, CustomTableModel *clips, QProgressBar *bar,
               QLabel *lengthLabel, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ShowPlayer)

    // What the show plays, from the lists' items: the lists' own order unless given (the
    // window gives the show with its transitions between their pairs).
    void setPlaylistSource(std::function<EffectPlaylist(const QList<ImageObject *> &,
                                                        const QList<MediaObject *> &)> source);

    // Starts from the beginning; false (nothing happens) for a show without any time.
    bool play();
    void stop();
    bool isPlaying() const { return playing; }

    // The show the lists hold now.
    ShowTimeline currentTimeline() const;
    // The item lit for a record of the timeline (pictures, then every clip's frames).
    const QList<ImageObject *> &shownItems() const { return records; }
    qint64 positionMs() const;
    // Shows what the show lights at ms and moves the bar there, as the clock does when it
    // gets there; ends the show at or after its end.
    void showAt(qint64 ms);
    // Shows the length of the show the lists hold now.
    void updateLength();

signals:
    void frameShown(ImageObject *item);
    void started();
    void stopped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(CustomTableModel *model);
    EffectPlaylist currentPlaylist() const;

    CustomTableModel *pictures;
    CustomTableModel *clips;
    QProgressBar *bar;
    QLabel *lengthLabel;
    QTimer ticker;
    QElapsedTimer clock;
    ShowTimeline timeline;
    QList<ImageObject *> records;
    int shownRecord = -1;
    bool playing = false;
    std::function<EffectPlaylist(const QList<ImageObject *> &, const QList<MediaObject *> &)>
        source;
};
