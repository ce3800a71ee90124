#pragma once

#include "ui/main/DropTarget.h"

#include <QCoreApplication>
#include <QObject>

#include <memory>

class DropDispatcher;
class EffectReadFlow;
class ListDrops;
class PictureActions;
class PlaylistController;
class QAction;
class QTableView;
class QToolBox;
class QWidget;

// Files dropped on the window or its lists, and Paste: the window's side of the drops. The
// window and both lists take drops (a list at a row, see ListDrops); the dispatcher decides
// what each file is and calls back here, where every action goes through the playlist's lock
// rule and the same import, dialogs and read-back confirmation as the toolbar's actions.
class WindowDrops : public QObject, private DropTarget
{
    Q_OBJECT
public:
    WindowDrops(QWidget *window, PlaylistController &playlists, PictureActions &pictures,
                EffectReadFlow &reading, QTableView *pictureView, QTableView *clipView,
                QToolBox *pages);
    ~WindowDrops() override;
    Q_DISABLE_COPY_MOVE(WindowDrops)

    DropDispatcher *dispatcher() const { return files.get(); }
    // Enabled while the clipboard holds files or a picture; triggers paste().
    void setPasteAction(QAction *action);

public slots:
    // The clipboard's files as dropped ones, or its picture as a picture item.
    void paste();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool importPictures(const QStringList &paths, int row,
                        const QHash<QString, QString> &shownNames) override;
    bool importClip(const QString &path, bool gif) override;
    void readEffect(const QString &path) override;
    void tellNotTaken(const QStringList &names) override;

    QWidget *window;
    PlaylistController &playlists;
    PictureActions &pictures;
    EffectReadFlow &reading;
    QToolBox *pages;
    std::unique_ptr<DropDispatcher> files;
    std::unique_ptr<ListDrops> pictureDrops;
    std::unique_ptr<ListDrops> clipDrops;
};
