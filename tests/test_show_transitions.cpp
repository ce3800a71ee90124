// Transitions in show files: kept with the item before them, made again after opening into
// the same effect bytes (by the window's links and by build --show), listed and counted by
// inspect; a show of the first format, which has none, still opens.
#include "CliRun.h"
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "effect/ShowTimeline.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/TransitionLinks.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "show/ShowSchema.h"
#include "show/ShowSnapshot.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using Transitions = QMap<int, QString>;

class TestShowTransitions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void roundTripMakesTheSameBytes_data();
    void roundTripMakesTheSameBytes();
    void firstFormatOpensWithoutTransitions_data();
    void firstFormatOpensWithoutTransitions();

private:
    // The show's items in play order: every picture, then every clip.
    static QList<QObject *> sequenceOf(const QList<ImageObject *> &pictures,
                                       const QList<MediaObject *> &clips);
    // Sets the transitions given by place in the sequence ("fade:0.5"), waits until made.
    static bool makeAll(TransitionLinks &links, const QList<ImageObject *> &pictures,
                        const QList<MediaObject *> &clips, const Transitions &wanted);
    QByteArray write(const EffectPlaylist &playlist, const QString &name) const;

    std::unique_ptr<QTemporaryDir> dir;
};

void TestShowTransitions::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    initAppGlobals(dir->path());
}

void TestShowTransitions::cleanup()
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
}

QList<QObject *> TestShowTransitions::sequenceOf(const QList<ImageObject *> &pictures,
                                                 const QList<MediaObject *> &clips)
{
    QList<QObject *> sequence;
    for (ImageObject *item : pictures)
        sequence.append(item);
    for (MediaObject *clip : clips)
        sequence.append(clip);
    return sequence;
}

bool TestShowTransitions::makeAll(TransitionLinks &links, const QList<ImageObject *> &pictures,
                                  const QList<MediaObject *> &clips, const Transitions &wanted)
{
    const QList<QObject *> sequence = sequenceOf(pictures, clips);
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        TransitionDescription description;
        if (!TransitionDescription::parse(it.value(), &description) ||
            !links.set(sequence.value(it.key()), description))
            return false;
    }
    links.follow(pictures, clips);
    links.waitUntilSettled();
    return true;
}

QByteArray TestShowTransitions::write(const EffectPlaylist &playlist, const QString &name) const
{
    const QString path = dir->filePath(name);
    if (!EffectWriter::write(playlist, path).ok)
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestShowTransitions::roundTripMakesTheSameBytes_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<Transitions>("transitions");
    QTest::addColumn<int>("played");
    QTest::newRow("picture, fade, picture")
        << QStringList{"picture", "twice"} << Transitions{{0, "fade:0.5"}} << 1;
    QTest::newRow("contrast, clock, GIF, iris-in, video")
        << QStringList{"contrast", "gif", "video"}
        << Transitions{{0, "clock:0.5"}, {1, "iris-in:0.3"}} << 2;
    QTest::newRow("smooth, spin, drawing; the last one's kept, not played")
        << QStringList{"smooth", "diy"} << Transitions{{0, "spin:1"}, {1, "iris-out:2"}} << 1;
    QTest::newRow("none") << QStringList{"picture", "gif"} << Transitions{} << 0;
}

void TestShowTransitions::roundTripMakesTheSameBytes()
{
    QFETCH(QStringList, recipe);
    QFETCH(Transitions, transitions);
    QFETCH(int, played);
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir->path(), recipe, playlist);
    TransitionLinks links(false);
    QVERIFY(makeAll(links, playlist.pictures, playlist.clips, transitions));
    const EffectPlaylist made = links.playlist(playlist.pictures, playlist.clips);
    QCOMPARE(made.clips.size(), playlist.clips.size() + played);
    const QByteArray expected = write(made, QStringLiteral("window.bin"));
    QVERIFY(!expected.isEmpty());
    const qint64 expectedMs = ShowTimeline::fromPlaylist(made).totalMs();

    const QString show = dir->filePath(QStringLiteral("show.hdshow"));
    QVERIFY(ShowFile(show)
                .save(ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Sharp,
                                            links.allAsJson()))
                .ok());

    // Opened again: the transitions come back with their items and are made anew.
    ShowContent content;
    const Outcome loaded = ShowFile(show).load(ShowLoadOptions(), &content);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    QCOMPARE(content.allTransitions().size(), transitions.size());
    TransitionLinks reopened(false);
    const QList<QObject *> sequence = sequenceOf(content.pictures(), content.clips());
    for (QObject *item : sequence) {
        if (const QString json = content.transitionAfter(item); !json.isEmpty())
            QVERIFY(reopened.setFromJson(item, json).ok());
    }
    reopened.follow(content.pictures(), content.clips());
    reopened.waitUntilSettled();
    for (auto it = transitions.cbegin(); it != transitions.cend(); ++it) {
        TransitionDescription description;
        QVERIFY(TransitionDescription::parse(it.value(), &description).ok());
        QCOMPARE(reopened.find(sequence[it.key()]), std::optional(description));
    }
    QVERIFY(write(reopened.playlist(content.pictures(), content.clips()),
                  QStringLiteral("reopened.bin")) == expected);

    // The command line builds the same bytes from the file.
    const QString out = dir->filePath(QStringLiteral("cli.bin"));
    const CliRun built = CliRun::of({QStringLiteral("build"), QStringLiteral("--show"), show,
                                     QStringLiteral("-o"), out});
    QVERIFY2(built.exitCode == 0, qPrintable(built.err));
    QFile cli(out);
    QVERIFY(cli.open(QIODevice::ReadOnly));
    QVERIFY(cli.readAll() == expected);

    // inspect lists every transition with its item and counts the played ones in the length.
    const CliRun inspected = CliRun::of({QStringLiteral("inspect"), QStringLiteral("--json"), show});
    QVERIFY2(inspected.exitCode == 0, qPrintable(inspected.err));
    const QJsonObject info = QJsonDocument::fromJson(inspected.out.toUtf8()).object();
    QCOMPARE(info.value(QStringLiteral("showLengthMs")).toDouble(), double(expectedMs));
    QJsonArray entries = info.value(QStringLiteral("pictures")).toArray();
    for (const QJsonValue &clip : info.value(QStringLiteral("clips")).toArray())
        entries.append(clip);
    QCOMPARE(entries.size(), sequence.size());
    for (int i = 0; i < entries.size(); ++i) {
        const QJsonValue listed = entries[i].toObject().value(QStringLiteral("transition"));
        if (!transitions.contains(i)) {
            QVERIFY(listed.isNull() || listed.isUndefined());
            continue;
        }
        TransitionDescription description;
        QVERIFY(TransitionDescription::parse(transitions[i], &description).ok());
        QCOMPARE(listed.toObject(), description.toJson());
    }
}

// Format 1 had no transition columns: such a file opens with none, and the next save writes
// the current format.
void TestShowTransitions::firstFormatOpensWithoutTransitions_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::newRow("picture and GIF") << QStringList{"picture", "gif"};
    QTest::newRow("pictures only") << QStringList{"contrast", "twice"};
}

void TestShowTransitions::firstFormatOpensWithoutTransitions()
{
    QFETCH(QStringList, recipe);
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(dir->path(), recipe, playlist);
    const QByteArray plain =
        ShowFixtures::effectBytes(dir->path(), playlist.pictures, playlist.clips);
    TransitionLinks links(false);
    QVERIFY(makeAll(links, playlist.pictures, playlist.clips, {{0, "fade:1"}}));
    const QString show = dir->filePath(QStringLiteral("old.hdshow"));
    QVERIFY(ShowFile(show)
                .save(ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Sharp,
                                            links.allAsJson()))
                .ok());
    {
        // What a file of the first format holds: the same tables without the column.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("first-format"));
        db.setDatabaseName(show);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("ALTER TABLE item DROP COLUMN transition")));
        QVERIFY(q.exec(QStringLiteral("ALTER TABLE clip DROP COLUMN transition")));
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = 1")));
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("first-format"));

    ShowInfo info;
    QVERIFY(ShowFile::readInfo(show, &info).ok());
    QCOMPARE(info.version, 1);
    ShowContent content;
    const Outcome loaded = ShowFile(show).load(ShowLoadOptions(), &content);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    QVERIFY(content.allTransitions().isEmpty());
    QCOMPARE(content.pictures().size(), playlist.pictures.size());
    QVERIFY(ShowFixtures::effectBytes(dir->path(), content.pictures(), content.clips()) == plain);

    // Saved again, it is a show of the current format that keeps a transition.
    QVERIFY(ShowFile(show)
                .save(ShowSnapshot::capture(content.pictures(), content.clips(),
                                            SamplingMode::Sharp,
                                            {{content.pictures().first(),
                                              QStringLiteral("{\"kind\":\"clock\",\"seconds\":0.5}")}}))
                .ok());
    QVERIFY(ShowFile::readInfo(show, &info).ok());
    QCOMPARE(info.version, ShowSchema::Version);
    QCOMPARE(info.pictures.first().transition,
             QStringLiteral("{\"kind\":\"clock\",\"seconds\":0.5}"));
}

QTEST_GUILESS_MAIN(TestShowTransitions)
#include "test_show_transitions.moc"
