#pragma once

#include "ui/main/DroppedFiles.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QStringList>

#include <memory>

class DropTarget;
class QMimeData;
class QTemporaryFile;

// Files dropped or pasted onto the window, sorted by kind and handed to a DropTarget in a
// fixed order: first the one message naming what is not taken, then the one file that
// replaces the playlists (a show, signalled; else an effect file, offered for reading back),
// then the pictures in the dropped order, then every GIF and video one after the other,
// each import dialog waiting for the previous one to close. A drop is handled from the
// event loop, after its drop event has returned; a drop made while another is handled waits
// for it. Widget-free: tests feed it paths.
class DropDispatcher : public QObject
{
    Q_OBJECT
public:
    struct Sorted
    {
        QStringList pictures;
        QList<QPair<QString, bool>> clips;  // path, and whether it is a GIF
        QString effect;                     // read back when no show came with it
        QString show;
        QStringList notTaken;               // names shown to the user
        // Pictures with no name the user knows (a pasted one): path -> what is shown.
        QHash<QString, QString> shownNames;
    };

    explicit DropDispatcher(DropTarget *target, QObject *parent = nullptr);
    ~DropDispatcher() override;
    Q_DISABLE_COPY_MOVE(DropDispatcher)

    // Sorts paths (and the names of dropped addresses that are no local files) by kind.
    static Sorted sort(const QStringList &paths, const QStringList &others = {});

    // Queues the files; pictures go in from pictureRow on (-1: appended).
    void drop(const QStringList &paths, int pictureRow = -1, const QStringList &others = {});
    // The clipboard's files as a drop; else its picture saved as a PNG in the work directory
    // and imported as a file, shown to the user as a pasted picture rather than by that
    // file's name. False when data holds neither (or the PNG cannot be written).
    bool paste(const QMimeData *data);
    static bool canPaste(const QMimeData *data);

    // A drop is being handled or waits.
    bool isBusy() const { return running || !queue.isEmpty(); }

signals:
    // A show file was dropped (the first one when several were): opening it is the window's.
    void showFileDropped(const QString &path);
    // Every queued drop has been handled.
    void idle();

private:
    struct Job
    {
        Sorted files;
        int pictureRow = -1;
        std::shared_ptr<QTemporaryFile> pasted;  // removed once the job is done
    };

    void enqueue(Job job);
    void runQueue();
    // False when the dispatcher went away meanwhile (a dialog's event loop let it go).
    bool handle(const Job &job);

    DropTarget *target;
    QList<Job> queue;
    bool running = false;
    bool scheduled = false;
};
