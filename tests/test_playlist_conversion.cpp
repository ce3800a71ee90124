// A playlist converted for another geometry or sampling from its items' sources: the new
// items download like a fresh import at that geometry and sampling, keep every value and
// place, leave the originals untouched until taken, leave nothing behind when cancelled,
// and items without a source are left out or kept as they are.
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/PlaylistConversion.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using ShowFixtures::Playlist;

namespace {

std::optional<SamplingMode> samplingOf(int code)
{
    if (code < 0)
        return std::nullopt;
    return code ? SamplingMode::Smooth : SamplingMode::Sharp;
}

// Every value a conversion keeps, item by item in list order.
QStringList valuesOf(const QList<ImageObject *> &pictures, const QList<MediaObject *> &clips)
{
    QStringList values;
    const auto item = [](const ImageObject *i) {
        return QStringLiteral("%1 kind %2 time %3 frame %4 contrast %5 square %6,%7,%8")
            .arg(i->number)
            .arg(i->kind)
            .arg(i->displayTime)
            .arg(i->frameTime)
            .arg(i->contrastFactor)
            .arg(i->squareRect.x())
            .arg(i->squareRect.y())
            .arg(i->squareRect.width());
    };
    for (const ImageObject *p : pictures)
        values << item(p);
    for (const MediaObject *c : clips) {
        values << QStringLiteral("clip %1 loops %2 gif %3 tenths %4 from %5 at %6")
                      .arg(c->number)
                      .arg(c->loopCount)
                      .arg(c->isGif)
                      .arg(c->frameTenths)
                      .arg(c->origin.path)
                      .arg(c->origin.startMs);
        for (const ImageObject *f : c->frames)
            values << item(f);
    }
    return values;
}

QList<QByteArray> ledDataOf(const QList<ImageObject *> &pictures, const QList<MediaObject *> &clips)
{
    QList<QByteArray> data;
    for (ImageObject *p : pictures)
        data << p->readLedData();
    for (MediaObject *c : clips)
        for (ImageObject *f : c->frames)
            data << f->readLedData();
    return data;
}

} // namespace

class TestPlaylistConversion : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void convertsLikeAFreshImport_data();
    void convertsLikeAFreshImport();
    void cancelLeavesEverything_data();
    void cancelLeavesEverything();
    void itemsWithoutSource_data();
    void itemsWithoutSource();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestPlaylistConversion::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    initAppGlobals(dir->path());
    languageCode = 3;
}

void TestPlaylistConversion::cleanup()
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
}

void TestPlaylistConversion::convertsLikeAFreshImport_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("sampling");  // -1: each keeps its own
    QTest::addColumn<int>("converted");
    QTest::addColumn<int>("copied");

    const QStringList all{"picture", "diy", "video", "contrast", "smooth", "gif"};
    // Four pictures, a clip of 4 sharp frames and one of 3 smooth frames.
    QTest::newRow("fewer LEDs") << all << 36 << 430 << -1 << 11 << 0;
    QTest::newRow("more LEDs") << all << 300 << 430 << -1 << 11 << 0;
    QTest::newRow("fewer lines") << all << 112 << 97 << -1 << 11 << 0;
    QTest::newRow("one LED") << QStringList{"picture", "video"} << 1 << 430 << -1 << 5 << 0;
    QTest::newRow("all smooth") << all << 112 << 430 << 1 << 7 << 4;
    QTest::newRow("all sharp") << all << 112 << 430 << 0 << 4 << 7;
    QTest::newRow("geometry and sampling") << all << 64 << 200 << 1 << 11 << 0;
    QTest::newRow("empty") << QStringList() << 36 << 360 << -1 << 0 << 0;
}

void TestPlaylistConversion::convertsLikeAFreshImport()
{
    QFETCH(QStringList, recipe);
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(int, sampling);
    QFETCH(int, converted);
    QFETCH(int, copied);

    // What importing the same sources afresh at the new geometry and sampling downloads.
    ledCount = leds;
    lineNumber = lines;
    QByteArray fresh;
    {
        Playlist playlist;
        ShowFixtures::build(dir->path(), recipe, playlist, samplingOf(sampling));
        fresh = ShowFixtures::effectBytes(dir->path(), playlist.pictures, playlist.clips);
    }
    QVERIFY(!fresh.isEmpty());

    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
    Playlist playlist;
    ShowFixtures::build(dir->path(), recipe, playlist);
    const QByteArray before = ShowFixtures::effectBytes(dir->path(), playlist.pictures,
                                                        playlist.clips);
    const QStringList values = valuesOf(playlist.pictures, playlist.clips);
    QStringList sources;
    for (const ImageObject *p : std::as_const(playlist.pictures))
        sources << p->sourcePath;

    auto conversion = std::make_unique<PlaylistConversion>(
        playlist.pictures, playlist.clips,
        PlaylistConversion::Target{QSize(leds, lines), samplingOf(sampling)});
    QCOMPARE(conversion->conversionCount(), converted);
    QCOMPARE(conversion->copyCount(), copied);
    QVERIFY(conversion->unconvertiblePictures().isEmpty());
    QList<std::pair<int, int>> progress;
    const Outcome run = conversion->run(
        [&](int done, int total) { progress.append({done, total}); }, nullptr);
    QVERIFY2(run.ok(), qPrintable(run.error()));
    QCOMPARE(progress.last(), std::make_pair(converted + copied, converted + copied));
    for (qsizetype i = 1; i < progress.size(); ++i)
        QVERIFY(progress[i].first >= progress[i - 1].first);
    // The conversion ran for its own geometry: the process-wide one and the originals are
    // as they were until the new items are taken.
    QCOMPARE(ledCount.load(), kDefaultLedCount);
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), playlist.pictures, playlist.clips), before);

    Playlist converted_;
    converted_.pictures = conversion->takePictures();
    converted_.clips = conversion->takeClips();
    conversion.reset();
    QCOMPARE(valuesOf(converted_.pictures, converted_.clips), values);
    for (qsizetype i = 0; i < converted_.pictures.size(); ++i) {
        QCOMPARE(converted_.pictures[i]->sourcePath, sources[i]);
        QVERIFY(playlist.pictures[i]->sourcePath.isEmpty());
        if (sampling >= 0)
            QCOMPARE(converted_.pictures[i]->sampling, *samplingOf(sampling));
        else
            QCOMPARE(converted_.pictures[i]->sampling, playlist.pictures[i]->sampling);
    }
    // The originals go as the window's lists drop them; the sources stay with the new items.
    playlist.clear();
    for (const QString &source : std::as_const(sources))
        QVERIFY2(QFile::exists(source), qPrintable(source));
    ledCount = leds;
    lineNumber = lines;
    QCOMPARE(ShowFixtures::effectBytes(dir->path(), converted_.pictures, converted_.clips), fresh);
}

void TestPlaylistConversion::cancelLeavesEverything_data()
{
    QTest::addColumn<int>("stopAt");  // the progress step at which the stop flag is set
    QTest::newRow("before the first") << 0;
    QTest::newRow("after the first") << 1;
    QTest::newRow("half way") << 5;
    QTest::newRow("after the last") << 11;
}

void TestPlaylistConversion::cancelLeavesEverything()
{
    QFETCH(int, stopAt);
    Playlist playlist;
    ShowFixtures::build(dir->path(), {"picture", "diy", "video", "contrast", "smooth", "gif"},
                        playlist);
    const QStringList files = ShowFixtures::workFiles();
    const QStringList values = valuesOf(playlist.pictures, playlist.clips);
    const QList<QByteArray> data = ledDataOf(playlist.pictures, playlist.clips);
    QStringList sources;
    for (const ImageObject *p : std::as_const(playlist.pictures))
        sources << p->sourcePath;

    std::atomic<bool> stop{false};
    {
        PlaylistConversion conversion(playlist.pictures, playlist.clips,
                                      {QSize(36, 360), SamplingMode::Smooth});
        const Outcome run = conversion.run(
            [&](int done, int) {
                if (done >= stopAt)
                    stop = true;
            },
            &stop);
        QVERIFY(!run.ok());
        QVERIFY2(run.error().contains(QLatin1String("cancelled")), qPrintable(run.error()));
    }
    // Nothing of the new items is left, and the originals are as they were.
    QCOMPARE(ShowFixtures::workFiles(), files);
    QCOMPARE(valuesOf(playlist.pictures, playlist.clips), values);
    QCOMPARE(ledDataOf(playlist.pictures, playlist.clips), data);
    for (qsizetype i = 0; i < playlist.pictures.size(); ++i)
        QCOMPARE(playlist.pictures[i]->sourcePath, sources[i]);
    QCOMPARE(ledCount.load(), kDefaultLedCount);
}

void TestPlaylistConversion::itemsWithoutSource_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<QString>("spoil");  // "": none; "gone": the first picture's source removed
    QTest::addColumn<bool>("newGeometry");
    QTest::addColumn<int>("lostPictures");
    QTest::addColumn<int>("lostClips");
    QTest::addColumn<int>("keptPictures");
    QTest::addColumn<int>("keptClips");

    const QStringList mixed{"picture", "readback", "video", "bareclip", "readback"};
    QTest::newRow("new geometry leaves them out") << mixed << "" << true << 2 << 1 << 1 << 1;
    QTest::newRow("sampling keeps them") << mixed << "" << false << 0 << 0 << 3 << 2;
    QTest::newRow("source gone") << QStringList{"picture", "picture"} << "gone" << true << 1 << 0
                                 << 1 << 0;
    QTest::newRow("only read back") << QStringList{"readback"} << "" << true << 1 << 0 << 0 << 0;
}

void TestPlaylistConversion::itemsWithoutSource()
{
    QFETCH(QStringList, recipe);
    QFETCH(QString, spoil);
    QFETCH(bool, newGeometry);
    QFETCH(int, lostPictures);
    QFETCH(int, lostClips);
    QFETCH(int, keptPictures);
    QFETCH(int, keptClips);
    Playlist playlist;
    ShowFixtures::build(dir->path(), recipe, playlist);
    if (spoil == QLatin1String("gone"))
        QVERIFY(QFile::remove(playlist.pictures.first()->sourcePath));
    const QSize geometry = newGeometry ? QSize(48, 300) : QSize(ledCount.load(), lineNumber.load());
    PlaylistConversion conversion(playlist.pictures, playlist.clips,
                                  {geometry, SamplingMode::Smooth});
    QCOMPARE(conversion.dropsUnconvertible(), newGeometry);
    QCOMPARE(int(conversion.unconvertiblePictures().size()), lostPictures);
    QCOMPARE(int(conversion.unconvertibleClips().size()), lostClips);
    for (const ImageObject *lost : conversion.unconvertiblePictures())
        QVERIFY(!PlaylistConversion::convertible(lost));
    const Outcome run = conversion.run({}, nullptr);
    QVERIFY2(run.ok(), qPrintable(run.error()));
    Playlist made;
    made.pictures = conversion.takePictures();
    made.clips = conversion.takeClips();
    QCOMPARE(int(made.pictures.size()), keptPictures);
    QCOMPARE(int(made.clips.size()), keptClips);
    const qint64 length = DataBitCalculation::ledDataLength(geometry.width(), geometry.height());
    for (ImageObject *item : std::as_const(made.pictures)) {
        QCOMPARE(item->readLedData().size(), length);
        // Kept as it was: the same LED data as its original.
        if (item->kind == ImageObject::KindReadPicture) {
            const auto original = std::find_if(
                playlist.pictures.cbegin(), playlist.pictures.cend(),
                [&](const ImageObject *p) { return p->number == item->number; });
            QVERIFY(original != playlist.pictures.cend());
            QCOMPARE(item->readLedData(), (*original)->readLedData());
            QVERIFY(!item->loadSamplingPreview().isNull());
        }
    }
    for (MediaObject *clip : std::as_const(made.clips))
        for (ImageObject *frame : std::as_const(clip->frames))
            QCOMPARE(frame->readLedData().size(), length);
}

QTEST_GUILESS_MAIN(TestPlaylistConversion)
#include "test_playlist_conversion.moc"
