// The command line over show files: build --show writes what the window's download writes,
// inspect lists a show, and both refuse what is not a show while effect files keep their
// own inspect.
#include "CliRun.h"
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/ShowFile.h"
#include "show/ShowSnapshot.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestShowFileCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void buildsWhatTheDownloadWrites_data();
    void buildsWhatTheDownloadWrites();
    void inspectsAShow();
    void refusesWhatIsNotAShow_data();
    void refusesWhatIsNotAShow();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestShowFileCli::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    initAppGlobals(dir->path());
}

void TestShowFileCli::cleanup()
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
}

void TestShowFileCli::buildsWhatTheDownloadWrites_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("language");
    QTest::newRow("pictures and clips")
        << QStringList{"picture", "contrast", "diy", "video", "gif"} << 112 << 430 << 3;
    QTest::newRow("smooth, factory geometry, Chinese")
        << QStringList{"smooth", "gif", "readback"} << 36 << 360 << 1;
    QTest::newRow("empty") << QStringList{} << 112 << 430 << 0;
}

void TestShowFileCli::buildsWhatTheDownloadWrites()
{
    QFETCH(QStringList, recipe);
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(int, language);
    ledCount = leds;
    lineNumber = lines;
    languageCode = language;
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir->path(), recipe, playlist);
    const QByteArray download =
        ShowFixtures::effectBytes(dir->path(), playlist.pictures, playlist.clips);
    const QString show = dir->filePath(QStringLiteral("my show.hdshow"));
    QVERIFY(ShowFile(show)
                .save(ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Sharp))
                .ok());

    const QString out = dir->filePath(QStringLiteral("built.bin"));
    const CliRun run = CliRun::of({QStringLiteral("build"), QStringLiteral("--show"), show,
                                   QStringLiteral("-o"), out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QFile built(out);
    QVERIFY(built.open(QIODevice::ReadOnly));
    QCOMPARE(built.readAll(), download);
}

void TestShowFileCli::inspectsAShow()
{
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir->path(), {"picture", "video"}, playlist);
    playlist.pictures[0]->displayTime = 3.0;
    playlist.clips[0]->loopCount = 2;
    const QString show = dir->filePath(QStringLiteral("a.hdshow"));
    QVERIFY(ShowFile(show)
                .save(ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Smooth))
                .ok());
    const CliRun run = CliRun::of({QStringLiteral("inspect"), show});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(run.out.contains(QStringLiteral("geometry: 112 x 430")));
    QVERIFY(run.out.contains(QStringLiteral("sampling: smooth")));
    QVERIFY(run.out.contains(QStringLiteral("pictures: 1")));
    QVERIFY(run.out.contains(QStringLiteral("4 frames, loops 2")));
    // 3 s and 4 frames of 100 ms twice.
    QVERIFY2(run.out.contains(QStringLiteral("(3.8 s)")), qPrintable(run.out));

    // An effect file still gets the effect file's inspect.
    const QByteArray effect =
        ShowFixtures::effectBytes(dir->path(), playlist.pictures, playlist.clips);
    QVERIFY(!effect.isEmpty());
    const CliRun effectRun =
        CliRun::of({QStringLiteral("inspect"), dir->filePath(QStringLiteral("effect.bin"))});
    QCOMPARE(effectRun.exitCode, 0);
    QVERIFY(effectRun.out.contains(QStringLiteral("layout: indexed")));
}

void TestShowFileCli::refusesWhatIsNotAShow_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("text") << QByteArray("hello\n") << "not a show file";
    QTest::newRow("SQLite header only")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\0') << "damaged";
}

void TestShowFileCli::refusesWhatIsNotAShow()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = dir->filePath(QStringLiteral("bad.hdshow"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    const QString out = dir->filePath(QStringLiteral("out.bin"));
    const CliRun run = CliRun::of({QStringLiteral("build"), QStringLiteral("--show"), path,
                                   QStringLiteral("-o"), out});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
    // inspect tells the same, not an effect file's complaint.
    const CliRun inspect = CliRun::of({QStringLiteral("inspect"), path});
    QCOMPARE(inspect.exitCode, 1);
    QVERIFY2(inspect.err.contains(reason), qPrintable(inspect.err));
}

QTEST_GUILESS_MAIN(TestShowFileCli)
#include "test_show_file_cli.moc"
