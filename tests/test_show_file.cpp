// Show files: what is saved opens again to the same effect file, at another geometry or
// sampling it is converted like a fresh import, a save touches only what changed, a save
// that dies leaves the previous show, and hostile files are refused leaving nothing behind.
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageContrast.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "show/ShowSchema.h"
#include "show/ShowSnapshot.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>
#include <optional>
#include <unistd.h>

using ShowFixtures::Playlist;

namespace {

struct Geometry
{
    int leds;
    int lines;
};

void enterGeometry(Geometry g)
{
    ledCount = g.leds;
    lineNumber = g.lines;
}

// Runs SQL on a show file through a connection of the test's own.
bool tamper(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("tamper"));
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            if (ok && !query.exec(statement)) {
                qWarning() << statement << query.lastError().text();
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
    return ok;
}

QByteArray fileBytes(const QString &path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Outcome saveShow(const QString &path, const Playlist &playlist,
                 SamplingMode sampling = SamplingMode::Sharp)
{
    ShowFile file(path);
    return file.save(ShowSnapshot::capture(playlist.pictures, playlist.clips, sampling));
}

// The show's items taken into a playlist of the test.
void takeInto(ShowContent &content, Playlist &playlist)
{
    playlist.pictures = content.takePictures();
    playlist.clips = content.takeClips();
}

} // namespace

class TestShowFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void convertsForAnotherGeometryOrSampling_data();
    void convertsForAnotherGeometryOrSampling();
    void savesOnlyWhatChanged_data();
    void savesOnlyWhatChanged();
    void refusesHostileFiles_data();
    void refusesHostileFiles();
    void restoredSourceStaysInWorkDirectory();
    void piecesOfAnOpenedShow_data();
    void piecesOfAnOpenedShow();
    void keepsThePictureLimit_data();
    void keepsThePictureLimit();
    void namesSourcelessItemsLeftOut_data();
    void namesSourcelessItemsLeftOut();
    void saveThatDiesLeavesThePreviousShow_data();
    void saveThatDiesLeavesThePreviousShow();
    void inspectsWithoutItems();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString showPath() const { return dir->filePath(QStringLiteral("show.hdshow")); }
};

void TestShowFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    initAppGlobals(dir->path());
    languageCode = 3;
}

void TestShowFile::cleanup()
{
    enterGeometry({kDefaultLedCount, kDefaultLineNumber});
}

void TestShowFile::roundTrip_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("language");

    QTest::newRow("empty") << QStringList{} << 112 << 430 << 3;
    QTest::newRow("picture") << QStringList{"picture"} << 112 << 430 << 3;
    QTest::newRow("smooth picture") << QStringList{"smooth"} << 112 << 430 << 1;
    QTest::newRow("contrast") << QStringList{"contrast", "picture"} << 112 << 430 << 3;
    QTest::newRow("drawing") << QStringList{"diy"} << 112 << 430 << 4;
    QTest::newRow("video clip") << QStringList{"video"} << 112 << 430 << 3;
    QTest::newRow("gif clip, smooth") << QStringList{"gif"} << 112 << 430 << 3;
    QTest::newRow("read back") << QStringList{"readback", "readback"} << 112 << 430 << 0;
    QTest::newRow("clip without sources or origin") << QStringList{"bareclip"} << 112 << 430 << 3;
    QTest::newRow("clip of 0.2 s frames") << QStringList{"slowclip", "picture"} << 112 << 430 << 3;
    QTest::newRow("same source twice") << QStringList{"twice"} << 112 << 430 << 3;
    QTest::newRow("everything")
        << QStringList{"picture", "smooth", "contrast", "diy", "video", "gif", "readback"}
        << 112 << 430 << 2;
    QTest::newRow("everything, 36 x 360")
        << QStringList{"picture", "smooth", "contrast", "diy", "video", "gif", "readback"}
        << 36 << 360 << 3;
}

void TestShowFile::roundTrip()
{
    QFETCH(QStringList, recipe);
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(int, language);
    enterGeometry({leds, lines});
    languageCode = language;

    Playlist before;
    ShowFixtures::build(dir->path(), recipe, before);
    const QByteArray effect = ShowFixtures::effectBytes(dir->path(), before.pictures, before.clips);
    QVERIFY(!effect.isEmpty());
    const ShowSnapshot saved =
        ShowSnapshot::capture(before.pictures, before.clips, SamplingMode::Smooth);
    QList<QByteArray> sources;
    for (const ImageObject *item : before.pictures)
        sources << fileBytes(item->sourcePath);
    const Outcome save = ShowFile(showPath()).save(saved);
    QVERIFY2(save.ok(), qPrintable(save.error()));
    QVERIFY(save.warnings().isEmpty());
    before.clear();
    languageCode = 0;

    ShowContent content;
    ShowFile file(showPath());
    QList<int> progress;
    ShowLoadOptions options;
    options.progress = [&](int done, int) { progress << done; };
    const Outcome load = file.load(options, &content);
    QVERIFY2(load.ok(), qPrintable(load.error()));
    QCOMPARE(content.converted, 0);
    QCOMPARE(content.languageCode, language);
    QCOMPARE(content.sampling, SamplingMode::Smooth);
    QCOMPARE(progress, QList<int>{0});
    languageCode = content.languageCode;
    Playlist after;
    takeInto(content, after);

    QCOMPARE(ShowFixtures::effectBytes(dir->path(), after.pictures, after.clips), effect);
    // Everything needed to edit again came back, not only the LED data.
    QCOMPARE(after.pictures.size(), saved.pictures.size());
    for (int i = 0; i < after.pictures.size(); ++i) {
        const ImageObject *item = after.pictures[i];
        const ShowSnapshot::Item &was = saved.pictures[i];
        QCOMPARE(item->kind, was.kind);
        QCOMPARE(item->number, was.number);
        QCOMPARE(item->displayTime, was.displayTime);
        QCOMPARE(item->contrastFactor, was.contrastFactor);
        QCOMPARE(item->sampling, was.sampling);
        QCOMPARE(item->squareRect, was.squareRect);
        QCOMPARE(fileBytes(item->sourcePath), sources[i]);
        QVERIFY(!item->loadThumbnail().isNull());
        QVERIFY(!item->loadSamplingPreview().isNull());
        QVERIFY(item->sourcePath.isEmpty() || item->sourcePath.startsWith(workDirectory()));
    }
    QCOMPARE(after.clips.size(), saved.clips.size());
    for (int c = 0; c < after.clips.size(); ++c) {
        const MediaObject *clip = after.clips[c];
        QCOMPARE(clip->origin, saved.clips[c].origin);
        QCOMPARE(clip->isGif, saved.clips[c].isGif);
        QCOMPARE(clip->loopCount, saved.clips[c].loopCount);
        for (int f = 0; f < clip->frames.size(); ++f) {
            QCOMPARE(clip->frames[f]->frameTime, saved.clips[c].frames[f].frameTime);
            QCOMPARE(clip->frames[f]->sampling, saved.clips[c].frames[f].sampling);
            QCOMPARE(clip->frames[f]->sourcePath.isEmpty(),
                     saved.clips[c].frames[f].sourcePath.isEmpty());
            if (!clip->frames[f]->sourcePath.isEmpty())
                QVERIFY(QFile::exists(clip->frames[f]->sourcePath));
        }
    }
}

void TestShowFile::convertsForAnotherGeometryOrSampling_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<int>("savedLeds");
    QTest::addColumn<int>("savedLines");
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    // -1: each item keeps its sampling; else the sampling all are to have.
    QTest::addColumn<int>("sampling");
    QTest::addColumn<int>("converted");

    const QStringList all{"picture", "smooth", "contrast", "diy", "video", "gif"};
    // Four pictures, a clip of 4 sharp frames and one of 3 smooth frames.
    QTest::newRow("fewer LEDs") << all << 112 << 430 << 36 << 430 << -1 << 11;
    QTest::newRow("more lines") << all << 112 << 430 << 112 << 600 << -1 << 11;
    QTest::newRow("factory geometry") << all << 112 << 430 << 36 << 360 << -1 << 11;
    QTest::newRow("all smooth") << all << 112 << 430 << 112 << 430 << 1 << 7;
    QTest::newRow("all sharp") << all << 112 << 430 << 112 << 430 << 0 << 4;
    QTest::newRow("both") << all << 36 << 360 << 112 << 430 << 1 << 11;
}

void TestShowFile::convertsForAnotherGeometryOrSampling()
{
    QFETCH(QStringList, recipe);
    QFETCH(int, savedLeds);
    QFETCH(int, savedLines);
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(int, sampling);
    QFETCH(int, converted);

    // What a fresh import at the new geometry and sampling gives.
    enterGeometry({leds, lines});
    QByteArray fresh;
    {
        std::optional<SamplingMode> forced;
        if (sampling >= 0)
            forced = sampling ? SamplingMode::Smooth : SamplingMode::Sharp;
        Playlist playlist;
        ShowFixtures::build(dir->path(), recipe, playlist, forced);
        fresh = ShowFixtures::effectBytes(dir->path(), playlist.pictures, playlist.clips);
    }
    QVERIFY(!fresh.isEmpty());

    enterGeometry({savedLeds, savedLines});
    {
        Playlist saved;
        ShowFixtures::build(dir->path(), recipe, saved);
        QVERIFY(saveShow(showPath(), saved).ok());
    }
    enterGeometry({leds, lines});
    ShowLoadOptions options;
    if (sampling >= 0)
        options.sampling = sampling ? SamplingMode::Smooth : SamplingMode::Sharp;
    QList<std::pair<int, int>> progress;
    options.progress = [&](int done, int total) { progress.append({done, total}); };
    ShowContent content;
    const Outcome load = ShowFile(showPath()).load(options, &content);
    QVERIFY2(load.ok(), qPrintable(load.error()));
    QCOMPARE(content.converted, converted);
    QCOMPARE(content.ledCount, leds);
    QCOMPARE(content.savedLedCount, savedLeds);
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last(), std::make_pair(converted, converted));
    for (int i = 1; i < progress.size(); ++i)
        QVERIFY(progress[i].first >= progress[i - 1].first);
    Playlist loaded;
    takeInto(content, loaded);
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), loaded.pictures, loaded.clips), fresh);
}

void TestShowFile::savesOnlyWhatChanged_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("itemsRead");
    QTest::addColumn<bool>("writesPieces");
    QTest::addColumn<int>("sourcesStored");

    // The playlist: two pictures of one source, a drawing, a clip of 4 frames.
    QTest::newRow("nothing") << "nothing" << 0 << false << 7;
    QTest::newRow("a display time") << "time" << 0 << false << 7;
    QTest::newRow("a loop count") << "loops" << 0 << false << 7;
    QTest::newRow("order") << "order" << 0 << false << 7;
    QTest::newRow("a contrast") << "contrast" << 1 << true << 7;
    QTest::newRow("a picture removed") << "remove" << 0 << false << 6;
    QTest::newRow("a picture added") << "add" << 1 << true << 8;
}

void TestShowFile::savesOnlyWhatChanged()
{
    QFETCH(QString, change);
    QFETCH(int, itemsRead);
    QFETCH(bool, writesPieces);
    QFETCH(int, sourcesStored);

    Playlist playlist;
    ShowFixtures::build(dir->path(), {"twice", "diy", "video"}, playlist);
    ShowFile file(showPath());
    QVERIFY(file.save(ShowSnapshot::capture(playlist.pictures, playlist.clips,
                                            SamplingMode::Sharp)).ok());
    QVERIFY(file.lastSave().replaced);
    QCOMPARE(file.lastSave().itemsRead, 7);

    if (change == QLatin1String("time")) {
        playlist.pictures[1]->displayTime = 12.4;
    } else if (change == QLatin1String("loops")) {
        playlist.clips[0]->loopCount = 9;
    } else if (change == QLatin1String("order")) {
        playlist.pictures.swapItemsAt(0, 2);
    } else if (change == QLatin1String("contrast")) {
        // As the contrast dialog and the loop thread change it.
        ImageObject *item = playlist.pictures[2];
        QVERIFY(ImageContrast::apply(
            {item, 5, QImage(item->sourcePath).convertToFormat(QImage::Format_ARGB32)}));
        item->contrastFactor = 0.5f;
    } else if (change == QLatin1String("remove")) {
        delete playlist.pictures.takeAt(2);
    } else if (change == QLatin1String("add")) {
        ShowFixtures::build(dir->path(), {"picture"}, playlist);
    }
    const QByteArray effect = ShowFixtures::effectBytes(dir->path(), playlist.pictures,
                                                        playlist.clips);
    const Outcome second =
        file.save(ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Sharp));
    QVERIFY2(second.ok(), qPrintable(second.error()));
    QVERIFY(!file.lastSave().replaced);
    QCOMPARE(file.lastSave().itemsRead, itemsRead);
    QCOMPARE(file.lastSave().piecesWritten > 0, writesPieces);

    int sources = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("count"));
        db.setDatabaseName(showPath());
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral(
            "SELECT COUNT(*) FROM blob WHERE id IN (SELECT source FROM item)")));
        QVERIFY(query.next());
        sources = query.value(0).toInt();
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    // The two pictures of one source share its bytes.
    QCOMPARE(sources, sourcesStored - 1);

    playlist.clear();
    ShowContent content;
    QVERIFY(ShowFile(showPath()).load({}, &content).ok());
    Playlist loaded;
    takeInto(content, loaded);
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), loaded.pictures, loaded.clips), effect);
}

void TestShowFile::refusesHostileFiles_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QStringList>("sql");
    QTest::addColumn<QString>("reason");

    QTest::newRow("not SQLite") << "text" << QStringList{} << "not a show file";
    QTest::newRow("empty file") << "empty" << QStringList{} << "not a show file";
    QTest::newRow("truncated") << "truncate" << QStringList{} << "damaged";
    QTest::newRow("garbage after the header") << "scramble" << QStringList{} << "damaged";
    QTest::newRow("a directory") << "directory" << QStringList{} << "directory";
    QTest::newRow("no file") << "missing" << QStringList{} << "no such file";
    QTest::newRow("another SQLite file")
        << "" << QStringList{"PRAGMA application_id = 0"} << "not a show file";
    QTest::newRow("newer version")
        << ""
        << QStringList{QStringLiteral("PRAGMA user_version = %1").arg(ShowSchema::Version + 1)}
        << "newer version";
    QTest::newRow("version 0") << "" << QStringList{"PRAGMA user_version = 0"}
                               << "not a show file";
    QTest::newRow("a missing source")
        << "" << QStringList{"UPDATE item SET source = NULL WHERE kind = 0"}
        << "missing: the source of picture 1";
    QTest::newRow("a source that is not stored")
        << "" << QStringList{"DELETE FROM blob WHERE id IN (SELECT source FROM item WHERE kind = 2)"}
        << "missing: the source of picture 2";
    QTest::newRow("a frame without source or LED data")
        << "" << QStringList{"UPDATE item SET source = NULL, led = NULL WHERE clip IS NOT NULL"}
        << "neither a source nor LED data";
    QTest::newRow("a blob far larger than its record says")
        << "" << QStringList{"UPDATE blob SET data = zeroblob(50000000) WHERE id = "
                             "(SELECT led FROM item WHERE clip IS NULL LIMIT 1)"}
        << "where its record says";
    QTest::newRow("a record far larger than its blob")
        << "" << QStringList{"UPDATE blob SET size = 900000000 WHERE id = "
                             "(SELECT source FROM item LIMIT 1)"}
        << "where its record says";
    QTest::newRow("LED data of another geometry")
        << "" << QStringList{"UPDATE blob SET data = zeroblob(4096), size = 4096 WHERE id = "
                             "(SELECT led FROM item LIMIT 1)"}
        << "damaged";
    QTest::newRow("geometry 0")
        << "" << QStringList{"UPDATE meta SET value = 0 WHERE key = 'led_count'"}
        << "geometry of 0 LEDs";
    QTest::newRow("geometry 100,000")
        << "" << QStringList{"UPDATE meta SET value = 100000 WHERE key = 'line_number'"}
        << "x 100000 lines";
    QTest::newRow("geometry as text")
        << "" << QStringList{"UPDATE meta SET value = 'many' WHERE key = 'led_count'"}
        << "damaged";
    QTest::newRow("no geometry")
        << "" << QStringList{"DELETE FROM meta WHERE key = 'led_count'"} << "missing";
    QTest::newRow("an unknown kind")
        << "" << QStringList{"UPDATE item SET kind = 9 WHERE clip IS NULL"} << "out of range";
    QTest::newRow("a negative display time")
        << "" << QStringList{"UPDATE item SET display_time = -1"} << "out of range";
    QTest::newRow("a frame of no clip")
        << "" << QStringList{"DELETE FROM clip"} << "belongs to no clip";
    QTest::newRow("a table gone") << "" << QStringList{"DROP TABLE clip"} << "damaged";
    // Found only when the picture is converted, after other items were made.
    QTest::newRow("a source that is no picture, to convert")
        << "" << QStringList{"UPDATE blob SET data = zeroblob(300), size = 300 WHERE id = "
                             "(SELECT source FROM item WHERE kind = 2)",
                             "UPDATE item SET led = NULL WHERE kind = 2"}
        << "the source of picture 2 cannot be read";
}

void TestShowFile::refusesHostileFiles()
{
    QFETCH(QString, damage);
    QFETCH(QStringList, sql);
    QFETCH(QString, reason);

    {
        Playlist saved;
        ShowFixtures::build(dir->path(), {"picture", "diy", "video"}, saved);
        QVERIFY(saveShow(showPath(), saved).ok());
    }
    const QString path = showPath();
    QByteArray bytes = fileBytes(path);
    if (damage == QLatin1String("text")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("just some text, not a database at all\n");
    } else if (damage == QLatin1String("empty")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    } else if (damage == QLatin1String("truncate")) {
        QFile file(path);
        QVERIFY(file.resize(bytes.size() / 2));
    } else if (damage == QLatin1String("scramble")) {
        for (qsizetype i = 100; i < bytes.size(); i += 7)
            bytes[i] = char(bytes[i] ^ 0x5a);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    } else if (damage == QLatin1String("directory")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
    } else if (damage == QLatin1String("missing")) {
        QVERIFY(QFile::remove(path));
    }
    if (!sql.isEmpty())
        QVERIFY(tamper(path, sql));

    // The playlist on screen before the attempt.
    Playlist onScreen;
    ShowFixtures::build(dir->path(), {"picture"}, onScreen);
    ShowContent content;
    content.addPicture(onScreen.pictures.takeFirst());
    const QList<ImageObject *> given = content.pictures();
    const QStringList filesBefore = ShowFixtures::workFiles();

    ShowLoadOptions options;
    bool progressed = false;
    options.progress = [&](int, int) { progressed = true; };
    const Outcome load = ShowFile(path).load(options, &content);
    QVERIFY(!load.ok());
    QVERIFY2(load.error().contains(reason), qPrintable(load.error()));
    QVERIFY(load.error().contains(path));
    QCOMPARE(content.pictures(), given);
    QVERIFY(content.clips().isEmpty());
    // Refused before any conversion began, but for the one row whose fault only a
    // conversion finds.
    const bool foundByConversion = QByteArray(QTest::currentDataTag()).endsWith("to convert");
    QCOMPARE(progressed, foundByConversion);
    // Nothing half-loaded is left in the work directory.
    QCOMPARE(ShowFixtures::workFiles(), filesBefore);
    ShowInfo info;
    QCOMPARE(ShowFile::readInfo(path, &info).ok(), foundByConversion);
}

void TestShowFile::restoredSourceStaysInWorkDirectory()
{
    {
        Playlist saved;
        ShowFixtures::build(dir->path(), {"picture", "picture"}, saved);
        QVERIFY(saveShow(showPath(), saved).ok());
    }
    QVERIFY(tamper(showPath(), {"UPDATE item SET source_suffix = '../../../escaped' WHERE position = 0",
                                "UPDATE item SET source_suffix = '' WHERE position = 1"}));
    const QStringList outside = QDir(dir->path()).entryList(QDir::Files);
    ShowContent content;
    QVERIFY(ShowFile(showPath()).load({}, &content).ok());
    QCOMPARE(content.pictures().size(), 2);
    for (const ImageObject *item : content.pictures()) {
        QCOMPARE(QFileInfo(item->sourcePath).absolutePath() + QStringLiteral("/"),
                 QFileInfo(workDirectory()).absoluteFilePath());
        QVERIFY(!QImage(item->sourcePath).isNull());
    }
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), outside);
}

void TestShowFile::piecesOfAnOpenedShow_data()
{
    QTest::addColumn<QString>("change");

    QTest::newRow("saved as another show") << "save as";
    QTest::newRow("a contrast changed") << "contrast";
    QTest::newRow("a thumbnail redrawn") << "thumbnail";
}

// An opened show's LED data, thumbnails and previews lie in one shared work file: what is
// edited afterwards must be read from the item's own files, the rest still from the pack,
// and the pack must go with the last item.
void TestShowFile::piecesOfAnOpenedShow()
{
    QFETCH(QString, change);

    Playlist built;
    ShowFixtures::build(dir->path(), {"picture", "diy", "video"}, built);
    QVERIFY(saveShow(showPath(), built).ok());
    Playlist opened;
    {
        ShowContent content;
        QVERIFY(ShowFile(showPath()).load({}, &content).ok());
        takeInto(content, opened);
    }
    const auto packs = [] {
        return QDir(workDirectory()).entryList({QStringLiteral("pack_*")}, QDir::Files);
    };
    QCOMPARE(packs().size(), 1);
    ImageObject *first = opened.pictures[0];

    if (change == QLatin1String("save as")) {
        const QString other = dir->filePath(QStringLiteral("other.hdshow"));
        QVERIFY(saveShow(other, opened).ok());
        opened.clear();
        QVERIFY(packs().isEmpty());
        ShowContent content;
        QVERIFY(ShowFile(other).load({}, &content).ok());
        takeInto(content, opened);
    } else if (change == QLatin1String("contrast")) {
        for (ImageObject *item : {built.pictures[0], first}) {
            QVERIFY(ImageContrast::apply(
                {item, 6, QImage(item->sourcePath).convertToFormat(QImage::Format_ARGB32)}));
            item->contrastFactor = 0.6f;
        }
        QCOMPARE(first->samplingPreviewPng(), built.pictures[0]->samplingPreviewPng());
    } else if (change == QLatin1String("thumbnail")) {
        QImage red(60, 60, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QCOMPARE(first->saveThumbnail(red), 0);
        QCOMPARE(first->loadThumbnail().pixel(30, 30), qRgb(255, 0, 0));
        QVERIFY(built.pictures[0]->saveThumbnail(red) == 0);
    }
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), opened.pictures, opened.clips),
             ShowFixtures::effectBytes(dir->path(), built.pictures, built.clips));
    for (int i = 0; i < opened.pictures.size(); ++i)
        QCOMPARE(opened.pictures[i]->thumbnailPng(), built.pictures[i]->thumbnailPng());
    opened.clear();
    QVERIFY(packs().isEmpty());
}

void TestShowFile::keepsThePictureLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("kept");

    QTest::newRow("no limit") << 0 << 3;
    QTest::newRow("at the limit") << 3 << 3;
    QTest::newRow("one beyond") << 2 << 2;
}

// A show made elsewhere may hold more pictures than the playlist takes: the first ones come,
// in order, with the clips, and the rest are named in a warning.
void TestShowFile::keepsThePictureLimit()
{
    QFETCH(int, limit);
    QFETCH(int, kept);

    Playlist built;
    ShowFixtures::build(dir->path(), {"picture", "smooth", "contrast", "video"}, built);
    QVERIFY(saveShow(showPath(), built).ok());
    ShowLoadOptions options;
    options.maxPictures = limit;
    ShowContent content;
    const Outcome load = ShowFile(showPath()).load(options, &content);
    QVERIFY(load.ok());
    QCOMPARE(load.warnings().size(), kept < 3 ? 1 : 0);
    Playlist opened;
    takeInto(content, opened);
    QCOMPARE(opened.pictures.size(), kept);
    QCOMPARE(opened.clips.size(), 1);
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), opened.pictures, opened.clips),
             ShowFixtures::effectBytes(dir->path(), built.pictures.mid(0, kept), built.clips));
}

void TestShowFile::namesSourcelessItemsLeftOut_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("sampling"); // -1: each item keeps its own
    QTest::addColumn<int>("warnings");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("clips");

    const QStringList sourceless{"picture", "readback", "bareclip", "video"};
    QTest::newRow("as saved") << sourceless << 112 << -1 << 0 << 2 << 2;
    // One line for the picture, one for the clip of two frames.
    QTest::newRow("another geometry") << sourceless << 36 << -1 << 2 << 1 << 1;
    QTest::newRow("another sampling") << sourceless << 112 << 1 << 2 << 2 << 2;
    QTest::newRow("with sources only") << QStringList{"picture", "video"} << 36 << 1 << 0 << 1 << 1;
}

// Items read back from an effect file have no source: another geometry leaves them out and
// another sampling keeps theirs, and either is said once for each picture and each clip.
void TestShowFile::namesSourcelessItemsLeftOut()
{
    QFETCH(QStringList, recipe);
    QFETCH(int, leds);
    QFETCH(int, sampling);
    QFETCH(int, warnings);
    QFETCH(int, pictures);
    QFETCH(int, clips);

    enterGeometry({112, 430});
    {
        Playlist built;
        ShowFixtures::build(dir->path(), recipe, built);
        QVERIFY(saveShow(showPath(), built).ok());
    }
    enterGeometry({leds, 430});
    ShowLoadOptions options;
    if (sampling >= 0)
        options.sampling = sampling ? SamplingMode::Smooth : SamplingMode::Sharp;
    ShowContent content;
    const Outcome load = ShowFile(showPath()).load(options, &content);
    QVERIFY2(load.ok(), qPrintable(load.error()));
    QCOMPARE(load.warnings().size(), warnings);
    Playlist opened;
    takeInto(content, opened);
    QCOMPARE(opened.pictures.size(), pictures);
    QCOMPARE(opened.clips.size(), clips);
    // Whatever came is whole and plays at this geometry.
    for (const MediaObject *clip : std::as_const(opened.clips))
        QVERIFY(clip->frames.size() >= 2);
    QVERIFY(!ShowFixtures::effectBytes(dir->path(), opened.pictures, opened.clips).isEmpty());
}

void TestShowFile::saveThatDiesLeavesThePreviousShow_data()
{
    QTest::addColumn<bool>("inPlace");
    // What comes next: opening the file, or saving over it at once.
    QTest::addColumn<bool>("openFirst");
    QTest::newRow("updating a show, then opening") << true << true;
    QTest::newRow("updating a show, then saving") << true << false;
    QTest::newRow("replacing another file") << false << true;
}

void TestShowFile::saveThatDiesLeavesThePreviousShow()
{
    QFETCH(bool, inPlace);
    QFETCH(bool, openFirst);
    QByteArray effect;
    QByteArray previous;
    if (inPlace) {
        Playlist saved;
        ShowFixtures::build(dir->path(), {"picture", "video"}, saved);
        effect = ShowFixtures::effectBytes(dir->path(), saved.pictures, saved.clips);
        QVERIFY(saveShow(showPath(), saved).ok());
    } else {
        previous = QByteArray(70000, 'x');
        QFile file(showPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(previous);
    }

    // A second process saves other pictures into the same file and is killed just before
    // its transaction commits.
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--save-and-hang"), showPath()});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(60000));
    QCOMPARE(child.readAll().trimmed(), QByteArray("committing"));
    child.kill();
    QVERIFY(child.waitForFinished());

    if (!inPlace) {
        QCOMPARE(fileBytes(showPath()), previous);
        return;
    }
    QVERIFY(QFileInfo(showPath() + QStringLiteral("-journal")).size() > 0);
    Playlist loaded;
    if (openFirst) {
        ShowContent content;
        const Outcome load = ShowFile(showPath()).load({}, &content);
        QVERIFY2(load.ok(), qPrintable(load.error()));
        takeInto(content, loaded);
        QCOMPARE(ShowFixtures::effectBytes(dir->path(), loaded.pictures, loaded.clips), effect);
    }

    // The next save over the file the dead one left opens to what it saved.
    ShowFixtures::build(dir->path(), {"smooth"}, loaded);
    const QByteArray next = ShowFixtures::effectBytes(dir->path(), loaded.pictures, loaded.clips);
    QVERIFY(saveShow(showPath(), loaded).ok());
    QVERIFY(!QFile::exists(showPath() + QStringLiteral("-journal")));
    ShowContent again;
    const Outcome reload = ShowFile(showPath()).load({}, &again);
    QVERIFY2(reload.ok(), qPrintable(reload.error()));
    Playlist reloaded;
    takeInto(again, reloaded);
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), reloaded.pictures, reloaded.clips), next);
}

void TestShowFile::inspectsWithoutItems()
{
    Playlist saved;
    ShowFixtures::build(dir->path(), {"picture", "readback", "gif"}, saved);
    saved.pictures[0]->displayTime = 2.5;
    saved.pictures[1]->displayTime = 0.4;
    QVERIFY(saveShow(showPath(), saved, SamplingMode::Smooth).ok());
    const QStringList filesBefore = ShowFixtures::workFiles();
    ShowInfo info;
    QVERIFY(ShowFile::readInfo(showPath(), &info).ok());
    QCOMPARE(ShowFixtures::workFiles(), filesBefore);
    QCOMPARE(info.ledCount, 112);
    QCOMPARE(info.lineNumber, 430);
    QCOMPARE(info.sampling, SamplingMode::Smooth);
    QCOMPARE(info.pictures.size(), 2);
    QVERIFY(info.pictures[0].hasSource);
    QVERIFY(!info.pictures[1].hasSource);
    QCOMPARE(info.clips.size(), 1);
    QCOMPARE(info.clips[0].frames, 3);
    QCOMPARE(info.clips[0].loopCount, saved.clips[0]->loopCount);
    // 2.5 s + 0.4 s + 3 frames of 100 ms, looped.
    QCOMPARE(info.showLengthMs(), 2500 + 400 + 300 * saved.clips[0]->loopCount);
    QVERIFY(ShowFile::looksLikeShow(showPath()));
    QVERIFY(!ShowFile::looksLikeShow(saved.pictures[0]->sourcePath));
}

// The child of saveThatDiesLeavesThePreviousShow: saves two new pictures into path and
// stops for good just before committing, after saying so.
static int saveAndHang(const QString &path)
{
    QTemporaryDir work;
    initAppGlobals(work.path());
    Playlist playlist;
    ShowFixtures::build(work.path(), {"picture", "smooth", "diy"}, playlist);
    ShowFile file(path);
    file.setBeforeCommit([] {
        QFile out;
        if (out.open(stdout, QIODevice::WriteOnly)) {
            out.write("committing\n");
            out.flush();
        }
        for (;;)
            ::pause();
    });
    file.save(ShowSnapshot::capture(playlist.pictures, playlist.clips, SamplingMode::Sharp));
    return 1;
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--save-and-hang") == 0) {
        QCoreApplication app(argc, argv);
        return saveAndHang(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestShowFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_show_file.moc"
