#include "show/ShowConverter.h"

#include "model/ImageContrast.h"
#include "model/ImageObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"

#include <QThread>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

QString ShowConverter::convert(const Job &job)
{
    QString error;
    QImage picture = PictureLoader::load(job.sourcePath, &error);
    if (picture.isNull())
        return QStringLiteral("the source of %1 cannot be read (%2)").arg(job.label, error);
    // As the contrast dialog does: the whole picture, in ARGB32, scaled by the factor.
    if (job.contrastFactor != 1.0f)
        picture = ImageContrast::scaled(picture.convertToFormat(QImage::Format_ARGB32),
                                        job.contrastFactor);
    job.item->ledData.clear();
    convertPicture(picture, job.item, nullptr, ReadImageThread::SamplingPreview::Write,
                   job.geometry);
    if (job.item->readLedData().isEmpty())
        return QStringLiteral("%1 could not be converted").arg(job.label);
    return {};
}

Outcome ShowConverter::run(const QList<Job> &jobs,
                           const std::function<void(int, int)> &progress,
                           const std::atomic<bool> *stop)
{
    const int total = int(jobs.size());
    if (progress)
        progress(0, total);
    if (total == 0)
        return Outcome::success();

    // Plain threads and standard locks: their hand-overs are visible to ThreadSanitizer,
    // which Qt's pool and wait conditions (inside the uninstrumented Qt Core) are not.
    std::mutex mutex;
    std::condition_variable changed;
    int done = 0;
    QString failure;
    std::atomic<int> next{0};
    const auto stopped = [&] { return stop && stop->load(); };
    const auto work = [&] {
        for (int i = next.fetch_add(1); i < total; i = next.fetch_add(1)) {
            bool skip = false;
            {
                std::lock_guard lock(mutex);
                skip = !failure.isEmpty() || stopped();
            }
            const QString error = skip ? QString() : convert(jobs[i]);
            std::lock_guard lock(mutex);
            if (!error.isEmpty() && failure.isEmpty())
                failure = error;
            ++done;
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    const int width = qBound(1, QThread::idealThreadCount(), total);
    for (int t = 0; t < width; ++t)
        workers.emplace_back(work);
    {
        std::unique_lock lock(mutex);
        int reported = 0;
        while (reported < total) {
            changed.wait(lock, [&] { return done != reported; });
            reported = done;
            if (progress) {
                lock.unlock();
                progress(reported, total);
                lock.lock();
            }
        }
    }
    for (std::thread &worker : workers)
        worker.join();
    if (!failure.isEmpty())
        return Outcome::failure(failure);
    if (stopped())
        return Outcome::failure(QStringLiteral("cancelled"));
    return Outcome::success();
}
