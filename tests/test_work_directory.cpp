// The program keeps its files in a private work directory: a start never deletes a folder
// of the user's, two copies never share one, and an orderly exit leaves nothing behind.
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

class TestWorkDirectory : public QObject
{
    Q_OBJECT

    QTemporaryDir sandbox;

    QString startDir() const { return sandbox.filePath(QStringLiteral("start")); }
    QString tmpDir() const { return sandbox.filePath(QStringLiteral("tmp")); }

    std::unique_ptr<QProcess> start(const QString &tmp, const QString &picture)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp);
        // Recovery copies of the run stay in the sandbox.
        env.insert(QStringLiteral("XDG_DATA_HOME"), sandbox.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HD_DEMO_PICTURES"), picture);
        process->setProcessEnvironment(env);
        process->setWorkingDirectory(startDir());
        process->start(QStringLiteral(HD_DISPLAY_BINARY), {});
        return process;
    }

    QStringList instanceDirs() const
    {
        return QDir(tmpDir()).entryList({QStringLiteral("hologram-display-*")},
                                        QDir::Dirs | QDir::NoDotAndDotDot);
    }

    bool holdsConvertedPicture(const QString &dir) const
    {
        const QDir work(QDir(tmpDir()).filePath(dir));
        return work.exists(QStringLiteral("image_1.png"))
               && !work.entryList({QStringLiteral("*.buf")}, QDir::Files).isEmpty();
    }

    static void stop(QProcess &process)
    {
        process.terminate();
        QVERIFY(process.waitForFinished(20000));
    }

private slots:
    void init()
    {
        QVERIFY(sandbox.isValid());
        QDir(sandbox.path()).removeRecursively();
        QVERIFY(QDir().mkpath(startDir() + QStringLiteral("/temp/nested")));
        QVERIFY(QDir().mkpath(tmpDir()));
        QFile mine(startDir() + QStringLiteral("/temp/nested/letter.txt"));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("the user's own file");
    }

    void twoCopiesKeepTheirOwnFilesAndSpareTheStartFolder()
    {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        const QString path = sandbox.filePath(QStringLiteral("picture.png"));
        QVERIFY(picture.save(path));

        auto first = start(tmpDir(), path);
        QTRY_COMPARE_WITH_TIMEOUT(instanceDirs().size(), 1, 20000);
        const QString firstDir = instanceDirs().constFirst();
        QTRY_VERIFY_WITH_TIMEOUT(holdsConvertedPicture(firstDir), 20000);

        auto second = start(tmpDir(), path);
        QTRY_COMPARE_WITH_TIMEOUT(instanceDirs().size(), 2, 20000);
        QStringList dirs = instanceDirs();
        dirs.removeOne(firstDir);
        const QString secondDir = dirs.constFirst();
        QTRY_VERIFY_WITH_TIMEOUT(holdsConvertedPicture(secondDir), 20000);
        // The second start took nothing from the first.
        QVERIFY(holdsConvertedPicture(firstDir));

        stop(*first);
        QCOMPARE(first->exitCode(), 128 + 15);
        QCOMPARE(instanceDirs(), QStringList{secondDir});
        QVERIFY(holdsConvertedPicture(secondDir));

        stop(*second);
        QCOMPARE(instanceDirs(), QStringList());
        QFile mine(startDir() + QStringLiteral("/temp/nested/letter.txt"));
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("the user's own file"));
    }

    void leftoversGoOnlyWhenTheirOwnerIsGone_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::newRow("killed copy: removed") << QStringLiteral("killed");
        QTest::newRow("running copy: kept") << QStringLiteral("running");
        QTest::newRow("no lock file: kept") << QStringLiteral("none");
        // Removed by a detached process at exit, once there are many files.
        QTest::newRow("many files at exit: removed") << QStringLiteral("exited");
    }

    void leftoversGoOnlyWhenTheirOwnerIsGone()
    {
        QFETCH(QString, owner);
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        const QString path = sandbox.filePath(QStringLiteral("picture.png"));
        QVERIFY(picture.save(path));
        std::unique_ptr<QProcess> first;
        QString leftover = QStringLiteral("hologram-display-unlock");
        if (owner == QLatin1String("none")) {
            QVERIFY(QDir(tmpDir()).mkpath(leftover + QStringLiteral("/sub")));
        } else {
            first = start(tmpDir(), path);
            QTRY_COMPARE_WITH_TIMEOUT(instanceDirs().size(), 1, 20000);
            leftover = instanceDirs().constFirst();
            QTRY_VERIFY_WITH_TIMEOUT(holdsConvertedPicture(leftover), 20000);
            for (int k = 0; owner == QLatin1String("exited") && k < 400; ++k)
                QVERIFY(QFile(QDir(tmpDir()).filePath(leftover + QStringLiteral("/%1.frame").arg(k)))
                            .open(QIODevice::WriteOnly));
            if (owner == QLatin1String("killed"))
                first->kill();
            if (owner == QLatin1String("exited"))
                first->terminate();
            if (owner != QLatin1String("running"))
                QVERIFY(first->waitForFinished(20000));
        }
        const bool removed = owner == QLatin1String("killed") || owner == QLatin1String("exited");
        auto next = start(tmpDir(), path);
        const auto others = [this, &leftover] {
            QStringList dirs = instanceDirs();
            dirs.removeOne(leftover);
            return dirs;
        };
        QTRY_COMPARE_WITH_TIMEOUT(others().size(), 1, 20000);
        // Once the new copy has converted its picture, its start is long over.
        QTRY_VERIFY_WITH_TIMEOUT(holdsConvertedPicture(others().constFirst()), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(instanceDirs().contains(leftover), !removed, 20000);
        QVERIFY(owner != QLatin1String("running") || holdsConvertedPicture(leftover));
        stop(*next);
        if (first && first->state() != QProcess::NotRunning)
            stop(*first);
    }

    void missingWorkLocationIsToldAndNothingIsMade()
    {
        auto process = start(sandbox.filePath(QStringLiteral("no/such/place")), QString());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT(
            (said += process->readAllStandardError()).contains("cannot create a work directory"),
            20000);
        process->kill();
        process->waitForFinished(5000);
        QCOMPARE(QDir(startDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("temp")});
    }
};

QTEST_GUILESS_MAIN(TestWorkDirectory)
#include "test_work_directory.moc"
