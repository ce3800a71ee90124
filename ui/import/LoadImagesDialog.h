#pragma once

#include "model/DecodeBudget.h"

#include <QDialog>
#include <QMap>
#include <QHash>
#include <QList>
#include <QStringList>

#include <atomic>

class LoadImagesHandler;
class ImageObject;
class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QPushButton;

// Picture import: converts the chosen files on up to five workers, shows each picture while
// it is processed and delivers every finished item by signal. Closing it (either
// button or the window's close button) stops and joins every worker first; reports that
// arrive after that are dropped and their items destroyed. "Import completed" instead lets
// the conversions already under way finish and appends them.
class LoadImagesDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxWorkers = 5;

    explicit LoadImagesDialog(const QStringList &files, QWidget *parent = nullptr);
    ~LoadImagesDialog() override;
    Q_DISABLE_COPY_MOVE(LoadImagesDialog)

    // Files shown to the user under another name than their path (path -> name); set before
    // the dialog runs.
    void setShownNames(const QHash<QString, QString> &names) { shownNames = names; }

    // Worker side: the next path to process, or an empty string when none is left or the
    // dialog is closing. Takes no lock: workers never wait for each other or for the GUI
    // thread to get their next file.
    QString takeNextPath();

    int total() const { return totalCount; }
    int done() const { return doneCount; }
    int workerCount() const { return static_cast<int>(workers.size()); }
    // Workers still running their loop.
    int activeWorkerCount() const;
    // Files that could not be read as pictures, in the order they were found.
    QStringList failedFiles() const { return unreadable; }
    // The memory the workers decode in, shared between them.
    DecodeBudget &decodeBudget() { return budget; }
    bool isStopped() const { return stopped; }
    QPushButton *loadOverButton() const { return btnLoadOver; }

    // Lets no worker take another file and waits for every worker, delivering the reports
    // already on their way so that no worker stays blocked on this dialog. With
    // finishCurrent the pictures being converted are completed and appended; otherwise the
    // workers stop before their next step and what they hold is dropped. Safe to call more
    // than once.
    void stopWorkers(bool finishCurrent = false);

signals:
    // A converted picture whose sourcePath is its own copy in the work directory, delivered
    // in report order on the GUI thread; the receiver owns it from then on. Without a
    // receiver the item and its copy are dropped.
    void pictureConverted(ImageObject *item);
    // A picture the workers reported without an item: the receiver builds it from the file.
    void pictureFileReady(const QString &path);

public slots:
    void handlerMessage(int code, const QString &path, const QImage &image, QObject *item,
                        const QString &reason = QString());
    void done(int result) override;

private:
    struct Finished
    {
        ImageObject *item = nullptr;  // owned until delivered; null for a refused file
        QString fileReady;            // a path handed over without an item
    };

    void buildForm();
    void startWorkers();
    void noteProcessed(const QString &path);
    void reportUnreadableFiles();
    QString shownName(const QString &path) const;
    void dropItem(int code, const QString &path, QObject *item);
    // Files are reported in any order; this records one under its place in the queue.
    void finish(const QString &path, const Finished &result);
    // Hands over what waits in queue order; with all, also what waits behind a gap (files
    // never taken once the import stopped).
    void deliverInOrder(bool all = false);
    void dropWaiting();

    DecodeBudget budget;  // outlives the workers, which the destructor deletes
    QList<LoadImagesHandler *> workers;
    QLabel *lblPreview = nullptr;
    QLabel *lblProgress = nullptr;
    QLabel *lblPath = nullptr;
    QProgressBar *progressBar = nullptr;
    QDialogButtonBox *buttonBox = nullptr;
    QPushButton *btnLoadOver = nullptr;
    QPushButton *btnCancel = nullptr;
    // The chosen files; workers take them in order by the index of the next one. Everything
    // else below is touched by the GUI thread alone (reports arrive there queued).
    const QStringList queue;
    std::atomic<qsizetype> nextIndex{0};
    std::atomic<bool> stopped{false};  // no further file is taken
    int totalCount = 0;
    int doneCount = 0;
    int reportedCount = 0;  // files whose processing ended (converted or unreadable)
    bool discarding = false;  // reports are dropped
    bool failuresShown = false;
    QStringList unreadable;
    QStringList unreadableReasons;  // one per unreadable file
    QHash<QString, QString> shownNames;
    // Items enter the playlist in the order the files were chosen, whichever worker finishes
    // first: a finished file waits in waiting until every file before it has been dealt with.
    QHash<QString, QList<qsizetype>> indicesOfPath;  // queue positions not yet reported
    QMap<qsizetype, Finished> waiting;
    qsizetype nextToDeliver = 0;
};
