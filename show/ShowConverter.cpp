#include "show/ShowConverter.h"

#include "model/ImageContrast.h"
#include "model/ImageObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThreadPool>
#include <QWaitCondition>

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
    convertPicture(picture, job.item);
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

    QMutex mutex;
    QWaitCondition changed;
    int done = 0;
    QString failure;
    const auto stopped = [&] { return stop && stop->load(); };

    QThreadPool pool;
    pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    for (const Job &job : jobs) {
        pool.start([&, job] {
            {
                QMutexLocker lock(&mutex);
                if (!failure.isEmpty() || stopped()) {
                    ++done;
                    changed.wakeAll();
                    return;
                }
            }
            const QString error = convert(job);
            QMutexLocker lock(&mutex);
            if (!error.isEmpty() && failure.isEmpty())
                failure = error;
            ++done;
            changed.wakeAll();
        });
    }
    int reported = 0;
    QMutexLocker lock(&mutex);
    while (reported < total) {
        while (done == reported)
            changed.wait(&mutex);
        reported = done;
        if (progress) {
            lock.unlock();
            progress(reported, total);
            lock.relock();
        }
    }
    lock.unlock();
    pool.waitForDone();
    if (!failure.isEmpty())
        return Outcome::failure(failure);
    if (stopped())
        return Outcome::failure(QStringLiteral("cancelled"));
    return Outcome::success();
}
