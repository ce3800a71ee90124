// Recovery copies: which copies an instance owns and which it may offer, and the writer that
// keeps the copy up to date off the GUI thread (one more save for changes during a save,
// waits before the items go, nothing kept for an empty show).
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "show/RecoveryStore.h"
#include "show/RecoveryWriter.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowSnapshot.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Another instance: holds a store in dir, leaves a copy (or only what a first save killed
// half-way leaves), says its copy's path and runs until its input closes.
int holdStore(const QString &dir, const QString &what)
{
    RecoveryStore store(dir);
    if (!store.isValid())
        return 2;
    QFile copy(what == QLatin1String("leftover") ? store.copyPath() + QStringLiteral(".1f2e.saving")
                                                 : store.copyPath());
    if (!copy.open(QIODevice::WriteOnly) || copy.write("a copy") != 6)
        return 3;
    copy.close();
    std::printf("%s\n", qPrintable(store.copyPath()));
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

    struct Holder
    {
        std::unique_ptr<QProcess> process;
        QString copy;
    };

    static Holder startHolder(const QString &dir, const QString &what)
    {
        Holder holder{std::make_unique<QProcess>(), {}};
        holder.process->start(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--hold"), dir, what});
        if (holder.process->waitForReadyRead(20000))
            holder.copy = QString::fromLocal8Bit(holder.process->readLine().trimmed());
        return holder;
    }

private slots:
    void ownersKeepTheirCopies_data();
    void ownersKeepTheirCopies();
    void changesDuringASaveGetOneMoreSave_data();
    void changesDuringASaveGetOneMoreSave();
    void itemsOutliveTheSave_data();
    void itemsOutliveTheSave();
    void copyFollowsTheShow_data();
    void copyFollowsTheShow();
};

void TestRecovery::ownersKeepTheirCopies_data()
{
    QTest::addColumn<QString>("owner");
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("offered");
    QTest::newRow("live owner: not offered") << "running" << "copy" << false;
    QTest::newRow("killed owner: offered once, then removed whole") << "killed" << "copy" << true;
    QTest::newRow("killed in its first save: leftovers go, nothing offered")
        << "killed" << "leftover" << false;
    QTest::newRow("clean end: nothing left") << "ended" << "copy" << false;
}

void TestRecovery::ownersKeepTheirCopies()
{
    QFETCH(QString, owner);
    QFETCH(QString, left);
    QFETCH(bool, offered);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Holder other = startHolder(dir.path(), left);
    QVERIFY2(!other.copy.isEmpty(), other.process->readAllStandardError().constData());
    // Two instances never share a copy.
    RecoveryStore mine(dir.path());
    QVERIFY(mine.isValid());
    QVERIFY(mine.copyPath() != other.copy);
    QVERIFY(QFileInfo(mine.copyPath()).dir() == QFileInfo(other.copy).dir());

    if (owner == QLatin1String("killed")) {
        other.process->kill();
        QVERIFY(other.process->waitForFinished(20000));
    } else if (owner == QLatin1String("ended")) {
        other.process->closeWriteChannel();
        QVERIFY(other.process->waitForFinished(20000));
        QCOMPARE(other.process->exitCode(), 0);
    }
    const QList<RecoveryStore::Copy> found = mine.claimOrphans();
    QCOMPARE(found.size(), offered ? 1 : 0);
    if (offered) {
        QCOMPARE(found.first().path, other.copy);
        QVERIFY(found.first().savedAt.isValid());
        // Claimed by this start: another one starting meanwhile does not offer it too.
        RecoveryStore third(dir.path());
        QVERIFY(third.claimOrphans().isEmpty());
        QVERIFY(mine.remove(other.copy));
    }
    // Nothing of the other instance is left, unless it still runs.
    QStringList expected;
    if (owner == QLatin1String("running"))
        expected = {QFileInfo(other.copy).fileName(),
                    QFileInfo(other.copy).fileName() + QLatin1String(RecoveryStore::LockSuffix)};
    expected.append(QFileInfo(mine.copyPath()).fileName() + QLatin1String(RecoveryStore::LockSuffix));
    expected.sort();
    QCOMPARE(filesIn(dir.path()), expected);
    if (other.process->state() != QProcess::NotRunning) {
        other.process->closeWriteChannel();
        QVERIFY(other.process->waitForFinished(20000));
    }
}

void TestRecovery::changesDuringASaveGetOneMoreSave_data()
{
    QTest::addColumn<int>("changesDuring");
    QTest::addColumn<int>("saves");
    QTest::newRow("no change during the save: one save") << 0 << 1;
    QTest::newRow("one change during the save: one more") << 1 << 2;
    QTest::newRow("five changes during the save: still one more") << 5 << 2;
}

void TestRecovery::changesDuringASaveGetOneMoreSave()
{
    QFETCH(int, changesDuring);
    QFETCH(int, saves);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    initAppGlobals(dir.path());
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir.path(), {"picture", "diy"}, playlist);
    RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    int captures = 0;
    RecoveryWriter writer(store, [&] {
        ++captures;
        return ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Sharp);
    });
    writer.setDelay(0);
    QSemaphore release;
    std::atomic<int> commits{0};
    writer.file().setBeforeCommit([&] {
        if (commits++ == 0)
            release.acquire();
    });
    const auto cleanUp = qScopeGuard([&] { release.release(100); });

    writer.noteChange();
    QTRY_VERIFY(writer.isSaving());
    for (int k = 0; k < changesDuring; ++k) {
        playlist.pictures.first()->displayTime = 7.0 + k;
        writer.noteChange();
        // The delay (0 ms) ends while the save runs.
        QCoreApplication::processEvents();
        QVERIFY(writer.isSaving());
    }
    QCOMPARE(captures, 1);
    release.release();
    QTRY_COMPARE(writer.savesEnded(), saves);
    QTRY_VERIFY(!writer.isSaving());
    QCoreApplication::processEvents();
    QCOMPARE(writer.savesEnded(), saves);
    QCOMPARE(captures, saves);
    QVERIFY(!writer.hasPendingChange());
    // The copy holds the show as it was last changed.
    ShowInfo info;
    QVERIFY(ShowFile::readInfo(store.copyPath(), &info).ok());
    QCOMPARE(info.pictures.size(), 2);
    QCOMPARE(info.pictures.first().displayTime,
             changesDuring ? 7.0 + changesDuring - 1 : playlist.pictures.first()->displayTime);
}

void TestRecovery::itemsOutliveTheSave_data()
{
    QTest::addColumn<QString>("waiter");
    QTest::newRow("settle: the event loop runs until the save ended") << "settle";
    QTest::newRow("finish: bounded, the save goes on past it") << "finish";
}

void TestRecovery::itemsOutliveTheSave()
{
    QFETCH(QString, waiter);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    initAppGlobals(dir.path());
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir.path(), {"picture", "video"}, playlist);
    RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    auto writer = std::make_unique<RecoveryWriter>(store, [&] {
        return ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Sharp);
    });
    writer->setDelay(0);
    QSemaphore release;
    std::atomic<bool> inCommit{false};
    writer->file().setBeforeCommit([&] {
        inCommit = true;
        release.acquire();
    });
    const auto cleanUp = qScopeGuard([&] { release.release(100); });
    writer->noteChange();
    QTRY_VERIFY(inCommit.load());

    if (waiter == QLatin1String("settle")) {
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, &ticker, [&] {
            // The window would go on painting meanwhile; the save ends on the third tick.
            if (++ticks == 3)
                release.release();
        });
        ticker.start(1);
        writer->settle();
        QVERIFY(ticks >= 3);
        QVERIFY(!writer->isSaving());
        // The items may go now: nothing reads them any more.
        playlist.clear();
        QCoreApplication::processEvents();
        QVERIFY(!writer->isSaving());
    } else {
        QVERIFY(!writer->finish(20));
        QVERIFY(writer->isSaving());
        release.release();
        writer.reset();  // waits for the save
        playlist.clear();
        // The save was past its items: it ended whole, and nothing half-written is left.
        QVERIFY(QFileInfo::exists(store.copyPath()));
        QCOMPARE(QDir(store.directory()).entryList({QStringLiteral("*.saving")}, QDir::Files),
                 QStringList());
    }
}

void TestRecovery::copyFollowsTheShow_data()
{
    QTest::addColumn<QString>("step");
    QTest::newRow("emptied show: no copy kept") << "empty";
    QTest::newRow("saved during a save: copy goes after it") << "discard";
    QTest::newRow("closed gate: save waits until it opens") << "gate";
    QTest::newRow("given-up save: the copy stays as it was") << "stop";
}

void TestRecovery::copyFollowsTheShow()
{
    QFETCH(QString, step);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    initAppGlobals(dir.path());
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir.path(), {"picture", "gif"}, playlist);
    QList<ImageObject *> pictures = playlist.pictures;
    QList<MediaObject *> clips = playlist.clips;
    RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    RecoveryWriter writer(store, [&] {
        return ShowSnapshot::capture(pictures, clips, SamplingMode::Sharp);
    });
    writer.setDelay(0);
    bool open = step != QLatin1String("gate");
    writer.setGate([&open] { return open; });
    writer.noteChange();
    if (step == QLatin1String("gate")) {
        QCoreApplication::processEvents();
        QVERIFY(!writer.isSaving());
        QVERIFY(!QFileInfo::exists(store.copyPath()));
        QVERIFY(writer.hasPendingChange());
        open = true;
        QTRY_VERIFY(QFileInfo::exists(store.copyPath()));
        QTRY_COMPARE(writer.savesEnded(), 1);
        return;
    }
    QTRY_COMPARE(writer.savesEnded(), 1);
    QVERIFY(QFileInfo::exists(store.copyPath()));
    if (step == QLatin1String("empty")) {
        pictures.clear();
        clips.clear();
        writer.noteChange();
        QTRY_VERIFY(!QFileInfo::exists(store.copyPath()));
        QCOMPARE(writer.savesEnded(), 1);
    } else if (step == QLatin1String("discard")) {
        QSemaphore release;
        writer.file().setBeforeCommit([&] { release.acquire(); });
        const auto cleanUp = qScopeGuard([&] { release.release(100); });
        pictures.first()->displayTime = 9.0;
        writer.noteChange();
        QTRY_VERIFY(writer.isSaving());
        writer.discardCopy();
        // Until the save has ended the copy may not go: it is being written.
        QVERIFY(writer.isSaving());
        release.release();
        QTRY_VERIFY(!writer.isSaving());
        QVERIFY(!QFileInfo::exists(store.copyPath()));
        QCOMPARE(filesIn(store.directory()),
                 {QFileInfo(store.copyPath()).fileName() + QLatin1String(RecoveryStore::LockSuffix)});
    } else {
        // A save given up before its next item leaves the last whole copy.
        ShowInfo before;
        QVERIFY(ShowFile::readInfo(store.copyPath(), &before).ok());
        std::atomic<bool> stop{true};
        ShowFile file(store.copyPath());
        file.setStop(&stop);
        pictures.first()->displayTime = 11.0;
        const Outcome outcome =
            file.save(ShowSnapshot::capture(pictures, clips, SamplingMode::Sharp));
        QVERIFY(!outcome.ok());
        QVERIFY(outcome.error().contains(QLatin1String("cancelled")));
        ShowInfo after;
        QVERIFY(ShowFile::readInfo(store.copyPath(), &after).ok());
        QCOMPARE(after.pictures.first().displayTime, before.pictures.first().displayTime);
        QCOMPARE(after.clips.size(), 1);
    }
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--hold") == 0)
        return holdStore(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery.moc"
