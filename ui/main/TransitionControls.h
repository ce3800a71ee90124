#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class CustomTableModel;
class QMenu;
class QTableView;
class QToolButton;
class QUndoStack;
class TransitionLinks;
struct TransitionDescription;

// The transitions in the playlists: a small button at the foot of every row that has an item
// after it in the show (the next picture, or for the last picture the first clip, or the next
// clip). It reads "+ transition" until one is chosen, then "→ fade 0.5 s", and opens a menu of
// the kinds and lengths (or none). The links follow every change of the lists (rows added,
// moved, removed, edited, undone), so the transitions are made again for their pairs. Each
// choice is one step of the playlist's undo history.
class TransitionControls : public QObject
{
    Q_OBJECT
public:
    TransitionControls(TransitionLinks *links, CustomTableModel *pictures, CustomTableModel *clips,
                       QTableView *pictureView, QTableView *clipView, QObject *parent = nullptr);
    ~TransitionControls() override;
    Q_DISABLE_COPY_MOVE(TransitionControls)

    // Asked before a transition is changed; true refuses (a download reads the made clips).
    void setRefusal(std::function<bool()> refuse) { refusal = std::move(refuse); }
    // Where a choice goes as an edit that can be undone; without one it is made at once.
    void setHistory(QUndoStack *edits);

    // The lists changed: the links follow them and the buttons are placed again.
    void follow();
    // The button at the foot of the row of item; null when it has nobody after it.
    QToolButton *buttonOf(const QObject *item) const;
    // The menu a button opens, filled for item (for the keyboard and for tests).
    QMenu *menuFor(QObject *item, QWidget *parent);
    // What a button reads for item.
    QString textOf(const QObject *item) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(CustomTableModel *model, QTableView *view);
    void placeButtons();
    void fill(QMenu *menu, QObject *item);
    void placeIn(QTableView *view, CustomTableModel *model, const QList<QObject *> &withNext);
    // Sets or removes (nullopt) the transition after item, unless refused.
    void choose(QObject *item, const std::optional<TransitionDescription> &wanted);

    TransitionLinks *links;
    CustomTableModel *pictures;
    CustomTableModel *clips;
    QTableView *pictureView;
    QTableView *clipView;
    QHash<const QObject *, QPointer<QToolButton>> buttons;
    bool following = false;
    std::function<bool()> refusal;
    QPointer<QUndoStack> history;
};
