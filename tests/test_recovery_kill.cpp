// The program itself, killed or ended with the session: a change made before is in its
// recovery copy, the next start finds that copy as an orphan (a running program's copy it
// leaves alone), and the copy opens to the playlist the program held, down to the bytes of
// its effect file.
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "show/RecoveryStore.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifndef HD_DISPLAY_BINARY
#error "HD_DISPLAY_BINARY must name the program"
#endif

class TestRecoveryKill : public QObject
{
    Q_OBJECT

    QTemporaryDir sandbox;

    QString at(const QString &name) const { return sandbox.filePath(name); }
    // The program's data location: organisation, then application name.
    QString recoveryDir() const
    {
        return at(QStringLiteral("data/HologramDisplay/hologram-display/recovery"));
    }

    std::unique_ptr<QProcess> start(const QStringList &pictures)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), at(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), at(QStringLiteral("config")));
        env.insert(QStringLiteral("TMPDIR"), at(QStringLiteral("tmp")));
        // The change: pictures appended once the window is up.
        env.insert(QStringLiteral("HD_DEMO_PICTURES"), pictures.join(QDir::listSeparator()));
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(at(QStringLiteral("start")));
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(HD_DISPLAY_BINARY), {});
        return process;
    }

    // The copies that open as a show of count pictures, by the process id their lock names.
    QHash<qint64, QString> copiesHolding(int count) const
    {
        QHash<qint64, QString> copies;
        const QDir dir(recoveryDir());
        for (const QString &name : dir.entryList({QStringLiteral("*.hdshow")}, QDir::Files)) {
            ShowInfo info;
            if (!ShowFile::readInfo(dir.filePath(name), &info) || info.pictures.size() != count)
                continue;
            QFile lock(dir.filePath(name) + QLatin1String(RecoveryStore::LockSuffix));
            if (lock.open(QIODevice::ReadOnly))
                copies.insert(lock.readLine().trimmed().toLongLong(), dir.filePath(name));
        }
        return copies;
    }

    // The effect file of the pictures added as the window adds a picture file.
    QByteArray expectedEffect(const QStringList &sources)
    {
        ShowFixtures::Playlist playlist;
        int number = 0;
        for (const QString &source : sources) {
            const QString copy = ImageObject::copyIntoWorkDirectory(source);
            auto *item = new ImageObject(++number, copy, 5.0, ImageObject::KindPictureFile);
            item->sampling = SamplingMode::Sharp;
            convertPicture(QImage(copy), item);
            playlist.pictures.append(item);
        }
        return ShowFixtures::effectBytes(sandbox.path(), playlist.pictures, playlist.clips);
    }

private slots:
    void killedProgramsCopyIsOfferedAndWhole_data();
    void killedProgramsCopyIsOfferedAndWhole();
};

void TestRecoveryKill::killedProgramsCopyIsOfferedAndWhole_data()
{
    QTest::addColumn<int>("instances");
    QTest::addColumn<bool>("killed");
    QTest::newRow("one program, killed after a change") << 1 << true;
    QTest::newRow("two programs: own copies, the running one's not offered") << 2 << true;
    // Not the user's choice either: the copy stays for the next start.
    QTest::newRow("session ended (SIGTERM): copy kept") << 1 << false;
}

void TestRecoveryKill::killedProgramsCopyIsOfferedAndWhole()
{
    QFETCH(int, instances);
    QFETCH(bool, killed);
    QVERIFY(sandbox.isValid());
    for (const char *sub : {"data", "config", "tmp", "start", "work"})
        QVERIFY(QDir().mkpath(at(QLatin1String(sub))));
    initAppGlobals(at(QStringLiteral("work")));
    QDir(recoveryDir()).removeRecursively();
    const QStringList sources{ShowFixtures::writeSource(sandbox.path(), QStringLiteral("a.jpg"), 3),
                              ShowFixtures::writeSource(sandbox.path(), QStringLiteral("b.png"), 5,
                                                        200, 260)};

    std::vector<std::unique_ptr<QProcess>> programs;
    for (int k = 0; k < instances; ++k)
        programs.push_back(start(sources));
    const auto cleanUp = qScopeGuard([&] {
        for (auto &program : programs) {
            program->kill();
            program->waitForFinished(20000);
        }
    });
    // Written shortly after the change, by each program into a copy of its own.
    QTRY_COMPARE_WITH_TIMEOUT(copiesHolding(int(sources.size())).size(), instances, 60000);
    const QHash<qint64, QString> copies = copiesHolding(int(sources.size()));
    QProcess &victim = *programs.front();
    const QString killedCopy = copies.value(victim.processId());
    QVERIFY(!killedCopy.isEmpty());

    // A running program's copy is never offered.
    {
        RecoveryStore early(recoveryDir());
        QVERIFY(early.claimOrphans().isEmpty());
    }
    if (killed)
        victim.kill();
    else
        victim.terminate();
    QVERIFY(victim.waitForFinished(20000));
    QCOMPARE(victim.exitStatus(), killed ? QProcess::CrashExit : QProcess::NormalExit);
    QVERIFY(killed || victim.exitCode() == 128 + 15);

    RecoveryStore next(recoveryDir());
    const QList<RecoveryStore::Copy> found = next.claimOrphans();
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().path, killedCopy);

    ShowFile copy(found.first().path);
    ShowContent content;
    const Outcome loaded = copy.load(ShowLoadOptions(), &content);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    QCOMPARE(content.converted, 0);
    const QByteArray restored =
        ShowFixtures::effectBytes(sandbox.path(), content.pictures(), content.clips());
    QVERIFY(!restored.isEmpty());
    QCOMPARE(restored, expectedEffect(sources));
    QVERIFY(next.remove(found.first().path));
    QVERIFY(!QFileInfo::exists(killedCopy));
}

QTEST_GUILESS_MAIN(TestRecoveryKill)
#include "test_recovery_kill.moc"
