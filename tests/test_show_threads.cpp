// Saving a show on a worker while the GUI thread goes on changing and reading the playlist,
// and another thread looks into the file: every save succeeds, readers always see a whole
// show, and the last save opens to the playlist as it was last captured.
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "show/ShowSnapshot.h"

#include <QQueue>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <memory>

class TestShowThreads : public QObject
{
    Q_OBJECT

private slots:
    void savesOnWorkerWhileGuiReads_data();
    void savesOnWorkerWhileGuiReads();
};

void TestShowThreads::savesOnWorkerWhileGuiReads_data()
{
    QTest::addColumn<int>("saves");
    QTest::addColumn<bool>("sharedCache");
    QTest::newRow("one file") << 12 << false;
    QTest::newRow("file and recovery copy sharing hashes") << 12 << true;
}

void TestShowThreads::savesOnWorkerWhileGuiReads()
{
    QFETCH(int, saves);
    QFETCH(bool, sharedCache);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    initAppGlobals(dir.path());
    languageCode = 3;
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir.path(), {"picture", "diy", "video"}, playlist);

    ShowFile file(dir.filePath(QStringLiteral("show.hdshow")));
    ShowFile recovery(dir.filePath(QStringLiteral("recovery.hdshow")),
                      sharedCache ? file.hashCache() : nullptr);
    // Standard locks: Qt's wait conditions hand the mutex over inside the uninstrumented
    // Qt Core, which ThreadSanitizer cannot follow.
    std::mutex mutex;
    std::condition_variable wake;
    QQueue<ShowSnapshot> queue;
    bool closed = false;
    std::atomic<int> failures{0};
    std::atomic<int> saved{0};

    std::thread saver([&] {
        for (;;) {
            ShowSnapshot snapshot;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [&] { return !queue.isEmpty() || closed; });
                if (queue.isEmpty())
                    return;
                snapshot = queue.dequeue();
            }
            if (!file.save(snapshot).ok() || !recovery.save(snapshot).ok())
                ++failures;
            ++saved;
        }
    });
    std::atomic<bool> stop{false};
    std::atomic<int> looks{0};
    std::atomic<int> badLooks{0};
    std::thread looker([&] {
        while (!stop.load()) {
            ShowInfo info;
            if (!QFile::exists(file.path()))
                continue;
            const Outcome read = ShowFile::readInfo(file.path(), &info);
            ++looks;
            // Whole shows only: two pictures and a clip of four frames, or an error.
            if (read.ok() && (info.pictures.size() != 2 || info.clips.size() != 1 ||
                              info.clips[0].frames != 4))
                ++badLooks;
        }
    });

    // A failed check returns early: the threads are ended and joined all the same.
    const auto joinAll = qScopeGuard([&] {
        {
            std::lock_guard lock(mutex);
            closed = true;
        }
        wake.notify_all();
        stop = true;
        if (saver.joinable())
            saver.join();
        if (looker.joinable())
            looker.join();
    });
    qint64 readBytes = 0;
    for (int i = 0; i < saves; ++i) {
        playlist.pictures[i % 2]->displayTime = 0.2 * (i + 1);
        playlist.clips[0]->loopCount = 1 + i;
        if (i % 3 == 2)
            playlist.pictures.swapItemsAt(0, 1);
        {
            std::lock_guard lock(mutex);
            queue.enqueue(ShowSnapshot::capture(playlist.pictures, playlist.clips,
                                                SamplingMode::Sharp));
        }
        wake.notify_all();
        // What the window does meanwhile: show thumbnails and previews, read LED data.
        for (ImageObject *item : playlist.pictures) {
            readBytes += item->readLedData().size();
            QVERIFY(!item->loadThumbnail().isNull());
            QVERIFY(!item->loadSamplingPreview().isNull());
        }
        for (ImageObject *frame : playlist.clips[0]->frames)
            readBytes += frame->readLedData().size();
    }
    {
        std::lock_guard lock(mutex);
        closed = true;
    }
    wake.notify_all();
    saver.join();
    QTRY_VERIFY_WITH_TIMEOUT(looks.load() > 0, 60000);
    stop = true;
    looker.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(saved.load(), saves);
    QCOMPARE(badLooks.load(), 0);
    QVERIFY(readBytes > 0);

    const QByteArray effect =
        ShowFixtures::effectBytes(dir.path(), playlist.pictures, playlist.clips);
    for (ShowFile *saved : {&file, &recovery}) {
        ShowContent content;
        const Outcome load = saved->load(ShowLoadOptions(), &content);
        QVERIFY2(load.ok(), qPrintable(load.error()));
        ShowFixtures::Playlist loaded;
        loaded.pictures = content.takePictures();
        loaded.clips = content.takeClips();
        QCOMPARE(loaded.pictures[0]->displayTime, playlist.pictures[0]->displayTime);
        QCOMPARE(loaded.clips[0]->loopCount, saves);
        QCOMPARE(ShowFixtures::effectBytes(dir.path(), loaded.pictures, loaded.clips), effect);
    }
}

QTEST_GUILESS_MAIN(TestShowThreads)
#include "test_show_threads.moc"
