#include "ui/main/DropDispatcher.h"

#include "app/AppGlobals.h"
#include "ui/UiLog.h"
#include "ui/main/DropTarget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryFile>
#include <QTimer>

#include <utility>

DropDispatcher::DropDispatcher(DropTarget *target, QObject *parent)
    : QObject(parent), target(target)
{
}

DropDispatcher::~DropDispatcher() = default;

DropDispatcher::Sorted DropDispatcher::sort(const QStringList &paths, const QStringList &others)
{
    Sorted sorted;
    for (const QString &path : paths) {
        const DroppedFiles::Kind kind = DroppedFiles::classify(path);
        switch (kind) {
        case DroppedFiles::Picture:
            sorted.pictures << path;
            break;
        case DroppedFiles::Gif:
        case DroppedFiles::Video:
            sorted.clips.append({path, kind == DroppedFiles::Gif});
            break;
        case DroppedFiles::Show:
            // Each replaces the whole playlist: only the first of them is opened.
            if (sorted.show.isEmpty())
                sorted.show = path;
            else
                sorted.notTaken << QFileInfo(path).fileName();
            break;
        case DroppedFiles::Effect:
            if (sorted.effect.isEmpty())
                sorted.effect = path;
            else
                sorted.notTaken << QFileInfo(path).fileName();
            break;
        case DroppedFiles::Unsupported:
            sorted.notTaken << (QFileInfo(path).fileName().isEmpty() ? path
                                                                     : QFileInfo(path).fileName());
            break;
        }
    }
    // A show and an effect file both replace the lists: the show wins.
    if (!sorted.show.isEmpty() && !sorted.effect.isEmpty())
        sorted.notTaken << QFileInfo(std::exchange(sorted.effect, {})).fileName();
    sorted.notTaken << others;
    return sorted;
}

void DropDispatcher::drop(const QStringList &paths, int pictureRow, const QStringList &others)
{
    if (paths.isEmpty() && others.isEmpty())
        return;
    Job job;
    job.files = sort(paths, others);
    job.pictureRow = pictureRow;
    enqueue(std::move(job));
}

bool DropDispatcher::canPaste(const QMimeData *data)
{
    return data && (DroppedFiles::carriesUrls(data) || data->hasImage());
}

bool DropDispatcher::paste(const QMimeData *data)
{
    if (!data)
        return false;
    if (DroppedFiles::carriesUrls(data)) {
        QStringList others;
        const QStringList files = DroppedFiles::localFiles(*data, &others);
        drop(files, -1, others);
        return true;
    }
    if (!data->hasImage())
        return false;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull() || !ensureWorkDirectory())
        return false;
    // Imported as a file: the same conversion as a picture chosen on disk. The import copies
    // it, so this one goes once the job is done.
    auto file = std::make_shared<QTemporaryFile>(workFilePath(QStringLiteral("pasted_XXXXXX.png")));
    if (!file->open() || !image.save(file.get(), "PNG") || !file->flush()) {
        qCWarning(lcUi) << "#DropDispatcher# the pasted picture could not be written"
                        << file->fileName() << file->errorString();
        return false;
    }
    file->close();
    Job job;
    job.files.pictures << file->fileName();
    // The temporary name means nothing to the user.
    job.files.shownNames.insert(file->fileName(),
                                QCoreApplication::translate("MainWindow", "name_pasted_picture"));
    job.pasted = std::move(file);
    enqueue(std::move(job));
    return true;
}

void DropDispatcher::enqueue(Job job)
{
    queue.append(std::move(job));
    // Handled from the event loop: a drop event must return before a dialog runs, or the
    // program the files came from waits for the drop to end.
    if (!running && !scheduled) {
        scheduled = true;
        QTimer::singleShot(0, this, &DropDispatcher::runQueue);
    }
}

void DropDispatcher::runQueue()
{
    scheduled = false;
    if (running)
        return;
    running = true;
    // A drop that arrives while a dialog of this one is open is appended and taken here.
    while (!queue.isEmpty()) {
        const Job job = queue.takeFirst();
        if (!handle(job))
            return;
    }
    running = false;
    emit idle();
}

bool DropDispatcher::handle(const Job &job)
{
    const QPointer<DropDispatcher> alive(this);
    const Sorted &files = job.files;
    qCDebug(lcUi) << "#DropDispatcher# pictures" << files.pictures.size() << "clips"
                  << files.clips.size() << "effect" << !files.effect.isEmpty() << "show"
                  << !files.show.isEmpty() << "not taken" << files.notTaken.size();
    if (!files.notTaken.isEmpty())
        target->tellNotTaken(files.notTaken);
    if (!alive)
        return false;
    if (!files.show.isEmpty())
        emit showFileDropped(files.show);
    else if (!files.effect.isEmpty())
        target->readEffect(files.effect);
    if (!alive)
        return false;
    bool open = true;
    if (!files.pictures.isEmpty())
        open = target->importPictures(files.pictures, job.pictureRow, files.shownNames);
    if (!alive)
        return false;
    for (qsizetype i = 0; open && i < files.clips.size(); ++i) {
        open = target->importClip(files.clips[i].first, files.clips[i].second);
        if (!alive)
            return false;
    }
    return true;
}
