#pragma once

#include "motion/TransitionDescription.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <atomic>
#include <map>
#include <memory>
#include <optional>

class ImageObject;
class MediaObject;
struct EffectPlaylist;

// The transitions of a show, each kept with the item before it (a picture or a clip) and
// made, as an ordinary clip, from the end of that item and the start of the one after it.
//
// A transition stays with its item: when rows move or go, follow() re-makes it for the item's
// new neighbour after it; while the item is last, or out of the show (deleted, waiting in the
// undo history), its description is kept and nothing is played, so undoing the move or the
// deletion brings it back, made again for the pair it stands between. It goes with its item
// when the item is destroyed. A neighbour that changes (contrast, a redrawn picture, a
// reconversion for a new geometry) gives new end pictures and the transition is made again.
//
// The frames are made on a thread of the links' own (end pictures, drawing, conversion) with
// the same renderer and clip maker as the command line, so the LED data are the same bytes.
// GUI thread only, apart from that work.
class TransitionLinks : public QObject
{
    Q_OBJECT
public:
    // writeFiles: every frame's sampling preview, which the window shows while playing.
    explicit TransitionLinks(bool writeFiles = true, QObject *parent = nullptr);
    // Stops the work under way and waits for it; made clips go with their files.
    ~TransitionLinks() override;
    Q_DISABLE_COPY_MOVE(TransitionLinks)

    // before is a picture item (ImageObject) or a clip (MediaObject) of the show. A
    // description that does not pass check() is refused (false).
    bool set(QObject *before, const TransitionDescription &wanted);
    void remove(QObject *before);
    // As set(), from the JSON a show file keeps (TransitionDescription::toJson); refuses
    // text that is no description, with the reason.
    Outcome setFromJson(QObject *before, const QString &json);
    // The JSON of every transition kept, by the item before it: what a show file keeps.
    QHash<const QObject *, QString> allAsJson() const;
    // Forgets every transition (a new show).
    void clear();
    std::optional<TransitionDescription> find(const QObject *before) const;
    // Every transition kept, by the item before it (for saving a show).
    QHash<const QObject *, TransitionDescription> all() const;

    // The show in play order: every picture, then every clip, as the window plays them.
    // Makes what is missing or out of date, drops what no longer stands between two items.
    void follow(const QList<ImageObject *> &pictures, const QList<MediaObject *> &clips);

    // No transition is being made.
    bool isSettled() const;
    // Runs the event loop (without user input) until every transition under way is made.
    void waitUntilSettled();
    // The clip made for before and the item now after it; null while it is being made,
    // when it could not be made, and when before has none or nothing after it.
    MediaObject *madeClip(const QObject *before) const;
    // Why the last attempt for before failed; empty when it did not.
    QString failure(const QObject *before) const;

    // What a download writes and Play show plays: the lists' items with every made transition
    // as a clip between its pair, placed by the playlist's order.
    EffectPlaylist playlist(const QList<ImageObject *> &pictures,
                            const QList<MediaObject *> &clips) const;

signals:
    // Made clips are about to be destroyed: whoever shows their frames lets go now.
    void aboutToDrop();
    // What plays changed: a transition was made, dropped or failed.
    void changed();
    // The last transition under way is made.
    void settled();

private:
    struct Result;
    struct Link
    {
        QPointer<QObject> before;
        TransitionDescription wanted;
        // The item after it when last followed; null when none.
        QPointer<QObject> after;
        // What the made clip, the job under way and the last failure were made for.
        QByteArray wantedKey;
        QByteArray madeKey;
        std::unique_ptr<MediaObject> made;
        quint64 job = 0;
        std::shared_ptr<std::atomic_bool> cancel;
        QByteArray failedKey;
        QString failure;
    };

    QByteArray keyOf(const Link &link) const;
    void refresh(Link &link);
    void startJob(Link &link);
    void stopJob(Link &link);
    void deliver(const QObject *before, quint64 job, const std::shared_ptr<Result> &result);
    void dropMade(Link &link);
    void checkSettled();
    const Link *current(const QObject *before) const;

    const bool writeFiles;
    std::map<const QObject *, Link> links;
    // The show's items as last followed, each with the one after it.
    QHash<const QObject *, const QObject *> nextOf;
    quint64 jobs = 0;
    int running = 0;
    QThreadPool pool;
};
