// The window converts its lists when the geometry or the sampling changes: each answer to
// the questions does what it says, a conversion downloads like a fresh import, a cancel
// (at a question or in the busy dialog) leaves lists, geometry and choice as they were, and
// a GIF clip keeps where it came from through a show file.
#include "GifFixtures.h"
#include "MainWindowTestSupport.h"
#include "RegionDialogDriver.h"
#include "ShowFixtures.h"

#include "import/CutRegion.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"
#include "show/ShowSnapshot.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/import/GetImgeLocationDialog.h"
#include "ui/import/LoadGifDialog.h"
#include "ui/main/ConversionRun.h"
#include "ui/main/GeometryChange.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/SamplingChoice.h"
#include "ui/main/SamplingSwitch.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>

using ShowFixtures::Playlist;

namespace {

// Display time, contrast and loop count of every item in list order: what a conversion keeps.
QStringList valuesOf(const QList<ImageObject *> &pictures, const QList<MediaObject *> &clips)
{
    QStringList values;
    for (const ImageObject *p : pictures)
        values << QStringLiteral("picture %1 %2 %3").arg(p->number).arg(p->displayTime).arg(
            p->contrastFactor);
    for (const MediaObject *c : clips)
        values << QStringLiteral("clip %1 loops %2 frames %3")
                      .arg(c->number)
                      .arg(c->loopCount)
                      .arg(c->frames.size());
    return values;
}

} // namespace

class TestGeometryConversion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void geometryChange_data();
    void geometryChange();
    void samplingSwitch_data();
    void samplingSwitch();
    void gifOriginKeptInShow_data();
    void gifOriginKeptInShow();

private:
    // Hands the fixture's items to the window's lists.
    void addToWindow(Playlist &playlist)
    {
        for (ImageObject *picture : std::as_const(playlist.pictures))
            window->playlist()->addPicture(picture);
        for (MediaObject *clip : std::as_const(playlist.clips))
            window->playlist()->addClip(clip);
        playlist.pictures.clear();
        playlist.clips.clear();
    }
    QList<ImageObject *> pictures() const { return window->pictureModel()->itemsAs<ImageObject>(); }
    QList<MediaObject *> clips() const { return window->clipModel()->itemsAs<MediaObject>(); }
    QByteArray download() const
    {
        return ShowFixtures::effectBytes(tempDir->path(), pictures(), clips());
    }
    QAction *smoothAction() const
    {
        return window->findChild<QAction *>(QStringLiteral("actionSmoothSampling"));
    }
    // Makes the busy dialog cancel at its first step of progress, as a user's Cancel does.
    static void cancelInProgress()
    {
        ConversionRun::setProgressHook([](ProgressDialog *dialog, int done, int) {
            if (done >= 1)
                dialog->reject();
        });
    }

    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;
};

void TestGeometryConversion::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
}

void TestGeometryConversion::init()
{
    SamplingChoice::store(SamplingMode::Sharp);
    QVERIFY(openFreshWindow(tempDir, window));
    languageCode = 3;
}

void TestGeometryConversion::cleanup()
{
    GeometryChange::setAnswerer({});
    SamplingSwitch::setAnswerer({});
    ConversionRun::setProgressHook({});
    closeFreshWindow(tempDir, window);
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
    SamplingChoice::store(SamplingMode::Sharp);
}

void TestGeometryConversion::geometryChange_data()
{
    QTest::addColumn<int>("dimension");
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<QStringList>("answers");  // given in turn to the questions asked
    QTest::addColumn<bool>("cancelWhileConverting");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("pictureCount");
    QTest::addColumn<int>("clipCount");

    const int leds = GeometryChange::LedCount;
    const int lines = GeometryChange::LineNumber;
    const QStringList mixed{"picture", "diy", "video", "contrast"};
    const QStringList readBack{"picture", "readback", "video", "bareclip"};
    QTest::newRow("LEDs converted") << leds << 36 << mixed << QStringList{"convert"} << false
                                    << true << 3 << 1;
    QTest::newRow("lines converted") << lines << 200 << (mixed + QStringList{"gif"})
                                     << QStringList{"convert"} << false << true << 3 << 2;
    QTest::newRow("lists cleared") << leds << 36 << mixed << QStringList{"clear"} << false << true
                                   << 0 << 0;
    QTest::newRow("cancelled at the question") << leds << 36 << mixed << QStringList{"cancel"}
                                               << false << false << 3 << 1;
    QTest::newRow("cancelled while converting") << lines << 360 << mixed
                                                << QStringList{"convert"} << true << false << 3
                                                << 1;
    QTest::newRow("read back removed") << leds << 64 << readBack
                                       << QStringList{"convert", "remove"} << false << true << 1
                                       << 1;
    QTest::newRow("read back kept: cancelled") << leds << 64 << readBack
                                               << QStringList{"convert", "cancel"} << false
                                               << false << 2 << 2;
    QTest::newRow("empty lists: no question") << leds << 36 << QStringList() << QStringList()
                                              << false << true << 0 << 0;
}

void TestGeometryConversion::geometryChange()
{
    QFETCH(int, dimension);
    QFETCH(int, value);
    QFETCH(QStringList, recipe);
    QFETCH(QStringList, answers);
    QFETCH(bool, cancelWhileConverting);
    QFETCH(bool, changed);
    QFETCH(int, pictureCount);
    QFETCH(int, clipCount);
    const bool leds = dimension == GeometryChange::LedCount;
    const QSize newGeometry = leds ? QSize(value, kDefaultLineNumber)
                                   : QSize(kDefaultLedCount, value);

    // A fresh import of the same sources at the new geometry, without the items that have
    // none (the numbers stay those of the whole recipe).
    ledCount = newGeometry.width();
    lineNumber = newGeometry.height();
    QByteArray fresh;
    {
        Playlist playlist;
        ShowFixtures::build(tempDir->path(), recipe, playlist);
        QList<ImageObject *> keptPictures;
        QList<MediaObject *> keptClips;
        for (ImageObject *p : std::as_const(playlist.pictures))
            if (!p->sourcePath.isEmpty())
                keptPictures << p;
        for (MediaObject *c : std::as_const(playlist.clips))
            if (!c->frames.first()->sourcePath.isEmpty())
                keptClips << c;
        fresh = ShowFixtures::effectBytes(tempDir->path(), keptPictures, keptClips);
    }
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;

    Playlist playlist;
    ShowFixtures::build(tempDir->path(), recipe, playlist);
    QStringList keptValues;
    {
        Playlist kept;
        for (ImageObject *p : std::as_const(playlist.pictures))
            if (!p->sourcePath.isEmpty())
                kept.pictures << p;
        for (MediaObject *c : std::as_const(playlist.clips))
            if (!c->frames.first()->sourcePath.isEmpty())
                kept.clips << c;
        keptValues = valuesOf(kept.pictures, kept.clips);
        kept.pictures.clear();
        kept.clips.clear();
    }
    addToWindow(playlist);
    const QList<ImageObject *> picturesBefore = pictures();
    const QList<MediaObject *> clipsBefore = clips();
    const QByteArray before = download();

    QStringList asked;
    GeometryChange::setAnswerer([&](const GeometryChange::Question &question) {
        asked << (question.kind == GeometryChange::Question::Lists ? "lists" : "unconvertible");
        const QString answer = answers.value(asked.size() - 1);
        if (answer == QLatin1String("convert"))
            return GeometryChange::Answer::Convert;
        if (answer == QLatin1String("clear"))
            return GeometryChange::Answer::Clear;
        if (answer == QLatin1String("remove"))
            return GeometryChange::Answer::RemoveUnconvertible;
        return GeometryChange::Answer::Cancel;
    });
    if (cancelWhileConverting)
        cancelInProgress();

    const bool result = GeometryChange::change(GeometryChange::Dimension(dimension), value,
                                               window.get(), *window->playlist());
    QCOMPARE(result, changed);
    QCOMPARE(asked.size(), answers.size());
    QCOMPARE(int(pictures().size()), pictureCount);
    QCOMPARE(int(clips().size()), clipCount);
    if (!changed) {
        QCOMPARE(QSize(ledCount.load(), lineNumber.load()),
                 QSize(kDefaultLedCount, kDefaultLineNumber));
        QCOMPARE(pictures(), picturesBefore);
        QCOMPARE(clips(), clipsBefore);
        QCOMPARE(download(), before);
        for (const ImageObject *p : picturesBefore)
            QVERIFY(p->sourcePath.isEmpty() || QFile::exists(p->sourcePath));
        return;
    }
    QCOMPARE(QSize(ledCount.load(), lineNumber.load()), newGeometry);
    if (answers.value(0) != QLatin1String("convert"))
        return;
    QCOMPARE(valuesOf(pictures(), clips()), keptValues);
    QCOMPARE(download(), fresh);
    for (const ImageObject *p : pictures())
        QVERIFY2(QFile::exists(p->sourcePath), qPrintable(p->sourcePath));
}

void TestGeometryConversion::samplingSwitch_data()
{
    QTest::addColumn<QStringList>("recipe");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("cancelWhileConverting");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("withoutSource");
    QTest::addColumn<bool>("converted");

    const QStringList mixed{"picture", "diy", "video", "contrast", "smooth"};
    QTest::newRow("converted") << mixed << "convert" << false << true << 0 << true;
    QTest::newRow("kept as they are") << mixed << "keep" << false << true << 0 << false;
    QTest::newRow("cancelled while converting") << mixed << "convert" << true << true << 0
                                                << false;
    QTest::newRow("read back keeps its data") << QStringList{"picture", "readback"} << "convert"
                                              << false << true << 1 << true;
    QTest::newRow("all smooth already") << QStringList{"smooth"} << "" << false << false << 0
                                        << false;
    QTest::newRow("empty lists") << QStringList() << "" << false << false << 0 << false;
}

void TestGeometryConversion::samplingSwitch()
{
    QFETCH(QStringList, recipe);
    QFETCH(QString, answer);
    QFETCH(bool, cancelWhileConverting);
    QFETCH(bool, asked);
    QFETCH(int, withoutSource);
    QFETCH(bool, converted);

    QByteArray fresh;
    {
        Playlist playlist;
        ShowFixtures::build(tempDir->path(), recipe, playlist, SamplingMode::Smooth);
        fresh = ShowFixtures::effectBytes(tempDir->path(), playlist.pictures, playlist.clips);
    }
    Playlist playlist;
    ShowFixtures::build(tempDir->path(), recipe, playlist);
    addToWindow(playlist);
    const QList<ImageObject *> picturesBefore = pictures();
    const QList<MediaObject *> clipsBefore = clips();
    const QByteArray before = download();
    const QStringList values = valuesOf(picturesBefore, clipsBefore);

    QList<SamplingSwitch::Question> questions;
    SamplingSwitch::setAnswerer([&](const SamplingSwitch::Question &question) {
        questions << question;
        return answer == QLatin1String("convert") ? SamplingSwitch::Answer::Convert
                                                  : SamplingSwitch::Answer::Keep;
    });
    if (cancelWhileConverting)
        cancelInProgress();
    QVERIFY(smoothAction());
    QVERIFY(!smoothAction()->isChecked());
    smoothAction()->trigger();

    QCOMPARE(questions.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(questions.first().mode, SamplingMode::Smooth);
        QCOMPARE(questions.first().withoutSource, withoutSource);
    }
    // Only a cancel takes the choice back.
    const SamplingMode chosen = cancelWhileConverting ? SamplingMode::Sharp : SamplingMode::Smooth;
    QCOMPARE(SamplingChoice::stored(), chosen);
    QCOMPARE(smoothAction()->isChecked(), chosen == SamplingMode::Smooth);
    QCOMPARE(valuesOf(pictures(), clips()), values);
    if (!converted) {
        QCOMPARE(pictures(), picturesBefore);
        QCOMPARE(clips(), clipsBefore);
        QCOMPARE(download(), before);
        return;
    }
    QCOMPARE(download(), fresh);
    for (const ImageObject *p : pictures())
        QVERIFY(p->sampling == SamplingMode::Smooth || p->kind == ImageObject::KindReadPicture);
    for (const MediaObject *c : clips())
        for (const ImageObject *f : c->frames)
            QCOMPARE(f->sampling, SamplingMode::Smooth);
}

void TestGeometryConversion::gifOriginKeptInShow_data()
{
    QTest::addColumn<bool>("keepSpeed");
    QTest::addColumn<int>("zoomIn");
    QTest::newRow("one clip frame per GIF frame") << false << 0;
    QTest::newRow("its own timing") << true << 0;
    QTest::newRow("zoomed in twice") << false << 2;
}

void TestGeometryConversion::gifOriginKeptInShow()
{
    QFETCH(bool, keepSpeed);
    QFETCH(int, zoomIn);
    const QSize size(600, 500);
    const QString path = GifFixtures::write(tempDir->path(), QStringLiteral("origin.gif"),
                                            GifFixtures::encode(GifFixtures::stripedFrames(
                                                3, size.width(), size.height())));
    ModalWatcher watcher([&](QWidget *modal) {
        auto *region = qobject_cast<GetImgeLocationDialog *>(modal);
        if (!region)
            return;
        region->findChild<QCheckBox *>(QStringLiteral("chkKeepSpeed"))->setChecked(keepSpeed);
        for (int i = 0; i < zoomIn; ++i)
            region->findChild<QPushButton *>(QStringLiteral("btnZoomIn"))->click();
        confirmRegionDialog(modal);
    });
    std::unique_ptr<MediaObject> clip(LoadGifDialog::importClip(window.get(), path, 1));
    QVERIFY(clip);
    const ClipOrigin &origin = clip->origin;
    QCOMPARE(origin.source, ClipOrigin::Source::Gif);
    QCOMPARE(origin.path, path);
    QCOMPARE(origin.keepSpeed, keepSpeed);
    QCOMPARE(origin.zoomSteps, zoomIn);
    const QSize shown = CutRegion::zoomedSize(size, zoomIn);
    QCOMPARE(origin.shownSize, shown);
    QCOMPARE(origin.regionTopLeft, CutRegion::centredTopLeft(shown));

    const QString show = tempDir->filePath(QStringLiteral("origin.hdshow"));
    {
        ShowFile file(show);
        const Outcome saved =
            file.save(ShowSnapshot::capture({}, {clip.get()}, SamplingMode::Sharp));
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
    }
    ShowInfo info;
    QVERIFY(ShowFile::readInfo(show, &info).ok());
    QCOMPARE(info.clips.size(), 1);
    QCOMPARE(info.clips.first().origin, origin);
    ShowContent content;
    const Outcome loaded = ShowFile(show).load(ShowLoadOptions(), &content);
    QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
    QCOMPARE(content.clips().size(), 1);
    QCOMPARE(content.clips().first()->origin, origin);
}

QTEST_MAIN(TestGeometryConversion)
#include "test_geometry_conversion.moc"
