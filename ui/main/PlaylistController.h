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
class ImageObject;
class MediaObject;
class QTableView;
class QUndoStack;
class QWidget;
struct EffectPlaylist;

// The two playlists behind the window's list views: owns both models (and with them the
// items), numbers new pictures, moves items in the play order, removes the selected row and
// replaces or empties both lists. Every action that changes a playlist asks refuse() first,
// so one lock rule holds for all of them: while a download is pending its writer reads the
// items, so nothing may change; while a read or a contrast change is under way nothing may
// be destroyed either.
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

    CustomTableModel *pictures() const { return pictureModel.get(); }
    CustomTableModel *clips() const { return clipModel.get(); }

    // True, without telling anyone, while the lock rule refuses change.
    bool isLocked(Change change) const;
    // True (after telling the user why) while the lock rule refuses change.
    bool refuse(Change change);
    // A download or a contrast change still uses the items: nothing may destroy them.
    bool inUse() const;

    // One more than the largest number among the pictures (1 for an empty list).
    int nextPictureNumber() const;
    // Copies a picture file into the work directory and appends a new item converted from it.
    void addPictureFile(const QString &path);
    // Appends an item already converted, after copying its file into the work directory.
    void addLoadedPicture(ImageObject *item);
    // Appends an item whose sourcePath already is its own copy, numbered next.
    void addCopiedPicture(ImageObject *item);
    // Appends an item numbered by its maker.
    void addPicture(ImageObject *item);
    void addClip(MediaObject *clip);

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

    // The playlist edits that can be undone: deleting, reordering, times and loop counts.
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

signals:
    // Both lists are about to be emptied, or clip is about to leave its list.
    void aboutToClear();
    void clipAboutToGo(MediaObject *clip);
    // An edit was undone or redone: what the lists hold or play changed.
    void historyApplied();

protected:
    // A press anywhere on a row's editor selects that row and still reaches the control.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Every row of view carries its editor, so a first click on + / - / field / combo acts.
    void openEditors(QTableView *view);
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
};
