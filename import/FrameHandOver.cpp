#include "import/FrameHandOver.h"

#include "model/ImageObject.h"

#include <QFile>

#include <algorithm>

FrameHandOver::~FrameHandOver()
{
    for (const Frame &frame : std::as_const(waiting))
        dispose(frame.item);
    for (ImageObject *item : std::as_const(finished))
        dispose(item);
}

bool FrameHandOver::waitForRoom()
{
    std::unique_lock lock(mutex);
    roomOrStop.wait(lock, [this] { return stopped || waiting.size() < MaxWaiting; });
    return !stopped;
}

bool FrameHandOver::put(ImageObject *item, const QImage &picture)
{
    std::unique_lock lock(mutex);
    roomOrStop.wait(lock, [this] { return stopped || waiting.size() < MaxWaiting; });
    if (stopped)
        return false;
    waiting.append({item, picture});
    peak = std::max(peak, int(waiting.size()));
    frameOrEnd.notify_one();
    return true;
}

void FrameHandOver::finishCutting(const QString &error)
{
    {
        std::lock_guard lock(mutex);
        cuttingOver = true;
        if (failure.isEmpty())
            failure = error;
    }
    frameOrEnd.notify_all();
}

bool FrameHandOver::take(Frame *frame)
{
    std::unique_lock lock(mutex);
    frameOrEnd.wait(lock, [this] { return stopped || !waiting.isEmpty() || cuttingOver; });
    if (stopped || waiting.isEmpty())
        return false;
    *frame = waiting.takeFirst();
    roomOrStop.notify_one();
    return true;
}

void FrameHandOver::addFinished(ImageObject *item)
{
    std::lock_guard lock(mutex);
    finished.append(item);
}

void FrameHandOver::stop()
{
    {
        // Under the mutex, so no waiter can miss the change between its test and its wait.
        std::lock_guard lock(mutex);
        stopped = true;
    }
    roomOrStop.notify_all();
    frameOrEnd.notify_all();
}

void FrameHandOver::fail(const QString &error)
{
    {
        std::lock_guard lock(mutex);
        if (failure.isEmpty())
            failure = error;
    }
    stop();
}

int FrameHandOver::waitingCount() const
{
    std::lock_guard lock(mutex);
    return int(waiting.size());
}

int FrameHandOver::finishedCount() const
{
    std::lock_guard lock(mutex);
    return int(finished.size());
}

int FrameHandOver::mostWaiting() const
{
    std::lock_guard lock(mutex);
    return peak;
}

QString FrameHandOver::error() const
{
    std::lock_guard lock(mutex);
    return failure;
}

QList<ImageObject *> FrameHandOver::takeFinished()
{
    std::lock_guard lock(mutex);
    QList<ImageObject *> frames;
    frames.swap(finished);
    std::stable_sort(frames.begin(), frames.end(),
                     [](const ImageObject *a, const ImageObject *b) { return a->number < b->number; });
    return frames;
}

void FrameHandOver::dispose(ImageObject *item)
{
    if (!item)
        return;
    if (!item->sourcePath.isEmpty())
        QFile::remove(item->sourcePath);
    delete item;
}
