// Text clips in show files: their settings saved and read back with the clip, older files
// without them still open, and settings that no longer read leave the clip itself whole.
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/MotionClipMaker.h"
#include "motion/TextClipDescription.h"
#include "motion/TextClipRenderer.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "show/ShowSchema.h"
#include "show/ShowSnapshot.h"

#include <QImage>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using ShowFixtures::Playlist;

Q_DECLARE_METATYPE(TextClipDescription)

namespace {

void useGeometry(int leds, int lines)
{
    ledCount = leds;
    lineNumber = lines;
}

// Made as the window makes it: previews written, the settings kept in its origin.
MediaObject *makeTextClip(const TextClipDescription &wanted, int number, int loops)
{
    std::shared_ptr<TextClipRenderer> renderer;
    if (!TextClipRenderer::prepare(wanted, &renderer))
        return nullptr;
    MotionClipMaker maker(renderer, MotionClipMaker::Options());
    if (!maker.runToEnd())
        return nullptr;
    MediaObject *clip = maker.takeClip(number);
    if (!clip)
        return nullptr;
    clip->loopCount = loops;
    clip->origin.source = ClipOrigin::Source::Text;
    clip->origin.description = wanted.toJson();
    return clip;
}

QList<QByteArray> ledBytes(const MediaObject *clip)
{
    QList<QByteArray> bytes;
    for (ImageObject *frame : clip->frames)
        bytes << frame->readLedData();
    return bytes;
}

// Runs SQL on a saved show, as a damaged, older or hand-edited file would hold it.
bool tamper(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("text-tamper"));
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString &sql : statements) {
            QSqlQuery q(db);
            if (ok && !q.exec(sql)) {
                qWarning() << sql << q.lastError().text();
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("text-tamper"));
    return ok;
}

TextClipDescription described(const QString &text, TextClipDescription::Motion motion,
                              double seconds)
{
    TextClipDescription wanted;
    wanted.text = text;
    wanted.motion = motion;
    wanted.seconds = seconds;
    return wanted;
}

} // namespace

class TestTextClipShow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keepsTheSettings_data();
    void keepsTheSettings();
    void opensVersionOne_data();
    void opensVersionOne();
    void settingsThatDoNotReadLeaveTheClip_data();
    void settingsThatDoNotReadLeaveTheClip();

private:
    QString showPath() const { return dir->filePath(QStringLiteral("show.hdshow")); }
    std::unique_ptr<QTemporaryDir> dir;
};

void TestTextClipShow::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    initAppGlobals(dir->path());
    useGeometry(112, 430);
}

void TestTextClipShow::cleanup()
{
    useGeometry(kDefaultLedCount, kDefaultLineNumber);
}

void TestTextClipShow::keepsTheSettings_data()
{
    QTest::addColumn<TextClipDescription>("wanted");
    QTest::addColumn<QStringList>("others");
    QTest::addColumn<bool>("withPicture");

    using M = TextClipDescription::Motion;
    QTest::newRow("ring, Latin and Chinese")
        << described(QStringLiteral("SALE −50 % 大减价"), M::RingCounterClockwise, 1.5)
        << QStringList{} << false;
    QTest::newRow("slide left over a picture, between a video and a GIF")
        << described(QStringLiteral("セール 大減價"), M::SlideLeft, 1.0)
        << QStringList{"video", "gif"} << true;
    QTest::newRow("blink, clockwise ring beside pictures")
        << described(QStringLiteral("OPEN"), M::Blink, 0.8)
        << QStringList{"picture", "bareclip"} << false;
}

void TestTextClipShow::keepsTheSettings()
{
    QFETCH(TextClipDescription, wanted);
    QFETCH(QStringList, others);
    QFETCH(bool, withPicture);

    if (withPicture) {
        wanted.backgroundPath = ShowFixtures::writeSource(dir->path(), QStringLiteral("back.png"), 7);
        wanted.color = QColor(250, 220, 0);
        wanted.speed = 8;
        wanted.pixelSize = 90;
        wanted.fontFamily = QStringLiteral("DejaVu Serif");
    }
    Playlist before;
    ShowFixtures::build(dir->path(), others, before);
    MediaObject *text = makeTextClip(wanted, int(before.clips.size()) + 1, 3);
    QVERIFY(text);
    before.clips.insert(before.clips.isEmpty() ? 0 : 1, text);
    const QList<QByteArray> led = ledBytes(text);
    const QByteArray effect = ShowFixtures::effectBytes(dir->path(), before.pictures, before.clips);
    QVERIFY(!effect.isEmpty());

    // Saved, read back and saved again from what was read: the settings go through both.
    QString path = showPath();
    for (int round = 0; round < 2; ++round) {
        const Outcome saved = ShowFile(path).save(
            ShowSnapshot::capture(before.pictures, before.clips, SamplingMode::Sharp));
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
        before.clear();
        ShowContent content;
        const Outcome load = ShowFile(path).load(ShowLoadOptions(), &content);
        QVERIFY2(load.ok(), qPrintable(load.error()));
        QCOMPARE(content.converted, 0);
        before.pictures = content.takePictures();
        before.clips = content.takeClips();
        path = dir->filePath(QStringLiteral("again.hdshow"));
    }

    const MediaObject *loaded = before.clips.value(before.clips.size() > 1 ? 1 : 0);
    QVERIFY(loaded);
    QCOMPARE(loaded->origin.source, ClipOrigin::Source::Text);
    QCOMPARE(loaded->loopCount, 3);
    TextClipDescription read;
    const Outcome parsed = TextClipDescription::fromJson(loaded->origin.description, &read);
    QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
    QCOMPARE(read, wanted);
    QCOMPARE(ledBytes(loaded), led);
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), before.pictures, before.clips), effect);

    ShowInfo info;
    QVERIFY(ShowFile::readInfo(path, &info).ok());
    QCOMPARE(info.version, ShowSchema::Version);
}

void TestTextClipShow::opensVersionOne_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<bool>("withText");

    QTest::newRow("video and GIF") << QStringList{"picture", "video", "gif"} << false;
    QTest::newRow("bare clip") << QStringList{"bareclip"} << false;
    QTest::newRow("a text clip, which version 1 knew as a clip of unknown origin")
        << QStringList{"picture"} << true;
}

void TestTextClipShow::opensVersionOne()
{
    QFETCH(QStringList, recipe);
    QFETCH(bool, withText);

    Playlist before;
    ShowFixtures::build(dir->path(), recipe, before);
    if (withText) {
        MediaObject *clip = makeTextClip(
            described(QStringLiteral("SALE"), TextClipDescription::Motion::RingClockwise, 1.0),
            int(before.clips.size()) + 1, 2);
        QVERIFY(clip);
        before.clips.append(clip);
    }
    const QByteArray effect = ShowFixtures::effectBytes(dir->path(), before.pictures, before.clips);
    QList<ClipOrigin> origins;
    for (const MediaObject *clip : before.clips)
        origins << clip->origin;
    QVERIFY(ShowFile(showPath())
                .save(ShowSnapshot::capture(before.pictures, before.clips, SamplingMode::Sharp))
                .ok());
    before.clear();
    // The file as version 1 wrote it: no description column, no text origin.
    QVERIFY(tamper(showPath(), {QStringLiteral("UPDATE clip SET origin_source = 0 WHERE origin_source = 3"),
                                QStringLiteral("ALTER TABLE clip DROP COLUMN description"),
                                QStringLiteral("PRAGMA user_version = 1")}));
    ShowInfo info;
    QVERIFY(ShowFile::readInfo(showPath(), &info).ok());
    QCOMPARE(info.version, 1);

    ShowContent content;
    const Outcome load = ShowFile(showPath()).load(ShowLoadOptions(), &content);
    QVERIFY2(load.ok(), qPrintable(load.error()));
    Playlist after;
    after.pictures = content.takePictures();
    after.clips = content.takeClips();
    QCOMPARE(after.clips.size(), origins.size());
    for (int c = 0; c < after.clips.size(); ++c) {
        QVERIFY(after.clips[c]->origin.description.isEmpty());
        if (origins[c].source != ClipOrigin::Source::Text)
            QCOMPARE(after.clips[c]->origin, origins[c]);
    }
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), after.pictures, after.clips), effect);

    // Saving over it writes the current format whole, which reads as well.
    ShowFile file(showPath());
    QVERIFY(file.save(ShowSnapshot::capture(after.pictures, after.clips, SamplingMode::Sharp)).ok());
    QVERIFY(file.lastSave().replaced);
    QVERIFY(ShowFile::readInfo(showPath(), &info).ok());
    QCOMPARE(info.version, ShowSchema::Version);
    after.clear();
    ShowContent again;
    QVERIFY(ShowFile(showPath()).load(ShowLoadOptions(), &again).ok());
    QCOMPARE(again.clips().size(), origins.size());
}

void TestTextClipShow::settingsThatDoNotReadLeaveTheClip_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("keptAsStored");

    QTest::newRow("not JSON") << "{{{ not json" << false;
    QTest::newRow("a JSON array") << "[1, 2, 3]" << false;
    QTest::newRow("far too long") << QString(QStringLiteral("{\"text\": \"%1\"}"))
                                         .arg(QString(200000, QLatin1Char('x')))
                                  << false;
    // A readable object whose settings cannot make a clip: kept, only the dialog refuses it.
    QTest::newRow("settings out of range") << "{\"text\": \"\", \"seconds\": 0}" << true;
}

void TestTextClipShow::settingsThatDoNotReadLeaveTheClip()
{
    QFETCH(QString, stored);
    QFETCH(bool, keptAsStored);

    Playlist before;
    MediaObject *clip = makeTextClip(
        described(QStringLiteral("SALE"), TextClipDescription::Motion::Stand, 0.5), 1, 1);
    QVERIFY(clip);
    before.clips.append(clip);
    const QList<QByteArray> led = ledBytes(clip);
    QVERIFY(ShowFile(showPath())
                .save(ShowSnapshot::capture(before.pictures, before.clips, SamplingMode::Sharp))
                .ok());
    before.clear();
    QString quoted = stored;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    QVERIFY(tamper(showPath(), {QStringLiteral("UPDATE clip SET description = '%1'").arg(quoted)}));

    ShowContent content;
    const Outcome load = ShowFile(showPath()).load(ShowLoadOptions(), &content);
    QVERIFY2(load.ok(), qPrintable(load.error()));
    QCOMPARE(content.clips().size(), 1);
    const MediaObject *loaded = content.clips().first();
    QCOMPARE(ledBytes(loaded), led);
    QCOMPARE(loaded->origin.description.isEmpty(), !keptAsStored);
    TextClipDescription read;
    QVERIFY(!TextClipDescription::fromJson(loaded->origin.description, &read).ok());
}

QTEST_MAIN(TestTextClipShow)
#include "test_text_clip_show.moc"
