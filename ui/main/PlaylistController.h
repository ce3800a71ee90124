#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class ContrastJobs;
class CustomTableModel;
class DownloadFlow;
class ReadBackMerge;
class RecoveryWriter;
class ShowContent;
class TransitionLinks;
class ImageObject;
class MediaObject;
class QTableView;
class QUndoStack;
class QWidget;
struct EffectPlaylist;
struct ShowSnapshot;
enum class SamplingMode;

// The two playlists behind the window's list views: owns both models (and with them the
// items), numbers new pictures, moves items in the play order, removes the selected row and
// replaces or empties both lists. Every action that changes a playlist asks refuse() first,
// so one lock rule holds for all of them: while a download is pending its writer reads the
// items, so nothing may change; while a read or a contrast change is under way nothing may
// be destroyed either; a background save that reads the items is waited for by whatever
// would rewrite or destroy one.
// be destroyed either; while a show is being saved from another thread (holdItems()) nothing
// may be destroyed or converted again.
class PlaylistController : public QObject
{
    Q_OBJECT
public:
    enum Change {
        Add,      // a picture or a clip is appended
        Edit,     // a picture is redrawn or its contrast changed
        Reorder,  // an item moves in the play order
        Remove,   // the selected row is deleted
        Replace,  // both lists are emptied (read back, geometry change)
    };

    // The views show the models; window is the parent of the boxes that tell a refusal.
    PlaylistController(QTableView *pictureView, QTableView *clipView, QWidget *window);
    // The views let go of the models first: their row editors show the items.
    ~PlaylistController() override;
    Q_DISABLE_COPY_MOVE(PlaylistController)

    // What holds the items while it runs; asked by the lock rule.
    void setUsers(DownloadFlow *download, const ReadBackMerge *reads,
                  const ContrastJobs *contrast);
    // A background save that reads the items: an edit, a deletion, an undo or redo and
    // emptying the lists wait for it (see RecoveryWriter::settle) before they go on.
    void setSaver(RecoveryWriter *saver);

    CustomTableModel *pictures() const { return pictureModel.get(); }
    CustomTableModel *clips() const { return clipModel.get(); }

    // True, without telling anyone, while the lock rule refuses change.
    bool isLocked(Change change) const;
    // True (after telling the user why) while the lock rule refuses change.
    bool refuse(Change change);
    // A download, a contrast change or a save still uses the items: nothing may destroy them.
    bool inUse() const;
    // A contrast change is converting an item.
    bool isConverting() const;
    // A saver reads the items' files on another thread until the matching releaseItems():
    // meanwhile no item may go, be redrawn or have its contrast changed. Counted, so two
    // savers may hold them at once.
    void holdItems() { ++holders; }
    void releaseItems() { holders = qMax(0, holders - 1); }
    bool itemsHeld() const { return holders > 0; }

    // One more than the largest number among the pictures (1 for an empty list).
    int nextPictureNumber() const;
    // Copies a picture file into the work directory and appends a new item converted from it
    // (inserts it at row, when row is one of the list's rows).
    void addPictureFile(const QString &path, int row = -1);
    // Appends an item already converted, after copying its file into the work directory.
    void addLoadedPicture(ImageObject *item);
    // Appends an item whose sourcePath already is its own copy, numbered next; or inserts it
    // at row, when row is one of the list's rows, the rows from there on renumbered.
    void addCopiedPicture(ImageObject *item, int row = -1);
    // Appends an item numbered by its maker.
    void addPicture(ImageObject *item);
    void addClip(MediaObject *clip);
    // Puts replacement (owned from then on) in old's row with old's number and loop count,
    // as an edit that can be undone. Refused (replacement deleted, false) while the lock
    // rule refuses a deletion or when old is not in the list.
    bool replaceClip(MediaObject *old, MediaObject *replacement);

    // Moves item from number oldIndex to newIndex (clamped to the largest number) and renumbers
    // the items in between; refused while locked, and the row editor goes back to its place.
    void movePicture(ImageObject *item, int oldIndex, int newIndex);
    void moveClip(MediaObject *item, int oldIndex, int newIndex);

    // The picture or clip of the view's current row, null without one.
    ImageObject *currentPicture() const;
    MediaObject *currentClip() const;
    // Announces that the picture's row changed (new thumbnail, time ...).
    void refreshPicture(ImageObject *item);
    // Deletes the picture row shown selected; true when one went. Nothing stays selected.
    bool removeSelectedPicture();
    // Deletes the clip row shown selected, if any; false only when the lock refused.
    // Nothing stays selected.
    bool removeSelectedClip();

    // The playlist edits that can be undone: deleting, reordering, times and loop counts,
    // contrast and the transitions between rows.
    QUndoStack *history() const { return undoStack.get(); }
    // Undo or redo one edit; refused (and said why) while the lock rule refuses a deletion,
    // since either may take an item out of a list. True when the edit was undone / redone.
    bool undo();
    bool redo();
    // A row editor changed a display time or a loop count, typed or stepped: recorded as an
    // edit.
    void noteValues(bool typed = false);
    // A contrast change was applied to item: recorded as an edit, undone and redone through
    // apply (which converts the picture with a slider value).
    void noteContrast(ImageObject *item);
    void setContrastApplier(std::function<void(ImageObject *, int)> apply);

    // Empties both lists (forgetting the edits), destroying the items; silently refused
    // while they are in use.
    void clear();
    // Empties both lists and appends the items given (owned by the lists from then on).
    void replace(const QList<ImageObject *> &images, const QList<MediaObject *> &medias);
    // What a download writes: the items in list order with their times.
    EffectPlaylist snapshot() const;

    // The transitions between neighbouring items belong to the show as much as the items:
    // a show file and its recovery copy keep them, and a loaded show brings them back.
    void setTransitions(TransitionLinks *links);
    // What a show file keeps of the lists now (GUI thread; see ShowSnapshot for lifetimes).
    ShowSnapshot showSnapshot(SamplingMode sampling) const;
    // replace() with a loaded show's items, and their transitions.
    void replace(ShowContent &content);
    // replace() giving the new items the transitions after them (JSON by item).
    void replace(const QList<ImageObject *> &images, const QList<MediaObject *> &medias,
                 const QHash<const QObject *, QString> &transitionsAfter);
    // The transitions kept now, as JSON by the item before each.
    QHash<const QObject *, QString> transitionsJson() const;

signals:
    // Both lists are about to be emptied, or clip is about to leave its list.
    void aboutToClear();
    void clipAboutToGo(MediaObject *clip);
    // A clip's row was double-clicked (on its editor or beside it).
    void clipActivated(MediaObject *clip);
    // An edit was undone or redone, or a clip replaced: what the lists hold or play changed.
    void historyApplied();

protected:
    // A press anywhere on a row's editor selects that row and still reaches the control.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Every row of view carries its editor, so a first click on + / - / field / combo acts.
    void openEditors(QTableView *view);
    // Appends item numbered next, or inserts it at row (a row of the list).
    void placePicture(ImageObject *item, int row);
    void watchPresses(QWidget *editor);
    template <typename T>
    void reorder(CustomTableModel *model, T *item, int oldIndex, int newIndex);
    // Stores a display time or loop count (the row's editor shows it anew).
    void applyValue(QObject *item, double value);
    static double valueOf(const QObject *item);
    bool step(bool back);
    void selectRow(QTableView *view, int row);
    static void releaseFocus(QTableView *view);
    // The one row highlighted in view, -1 when none or several.
    static int selectedRow(const QTableView *view);
    template <typename T>
    void move(CustomTableModel *model, T *item, int oldIndex, int newIndex, const char *trace);
    void tip(const QString &text);

    QWidget *window;
    QTableView *pictureView;
    QTableView *clipView;
    std::unique_ptr<CustomTableModel> pictureModel;
    std::unique_ptr<CustomTableModel> clipModel;
    // Declared after the models, so removed items it still holds go first.
    std::unique_ptr<QUndoStack> undoStack;
    // The last display time or loop count seen per item, to tell what an editor changed.
    QHash<const QObject *, double> knownValues;
    QHash<const QObject *, int> knownContrast;
    std::function<void(ImageObject *, int)> contrastApplier;
    QPointer<DownloadFlow> download;
    QPointer<const ReadBackMerge> reads;
    QPointer<const ContrastJobs> contrast;
    QPointer<RecoveryWriter> saver;
    QPointer<TransitionLinks> transitions;
    int holders = 0;
};
