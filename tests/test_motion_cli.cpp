// build with text clips and transitions: the same bytes as the core makes for the same
// settings (what the window's download writes), each in its place among the files, and the
// settings that cannot make a clip refused with nothing written.
#include "CliRun.h"

#include "app/AppGlobals.h"
#include "effect/DownloadResult.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"
#include "motion/MotionClipMaker.h"
#include "motion/TextClipRenderer.h"
#include "motion/TransitionEnds.h"
#include "motion/TransitionRenderer.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

QImage gradient()
{
    QImage image(500, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y * 255 / 300, 255 - x % 256));
    return image;
}

QImage plain(const QColor &colour)
{
    QImage image(450, 450, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the window's download writes for pictures a.png and b.png and the clips the core
// makes, played in the order they were added.
struct Show
{
    std::vector<std::unique_ptr<ImageObject>> pictures;
    std::vector<std::unique_ptr<MediaObject>> clips;
    QList<EffectPlaylist::Entry> order;

    bool addPicture(const QString &path, SamplingMode sampling)
    {
        auto item = std::make_unique<ImageObject>(int(pictures.size()) + 1, QString(), 5.0,
                                                  ImageObject::KindPictureFile);
        item->sampling = sampling;
        convertPicture(PictureLoader::load(path), item.get(), nullptr,
                       ReadImageThread::SamplingPreview::Skip);
        pictures.push_back(std::move(item));
        order.append({false, int(pictures.size()) - 1});
        return true;
    }

    bool addClip(const std::shared_ptr<const MotionFrameSource> &source, SamplingMode sampling,
                 int loops)
    {
        MotionClipMaker::Options options;
        options.sampling = sampling;
        MotionClipMaker maker(source, options);
        if (!maker.runToEnd())
            return false;
        clips.emplace_back(maker.takeClip(int(clips.size())));
        if (!clips.back())
            return false;
        clips.back()->loopCount = loops;
        order.append({true, int(clips.size()) - 1});
        return true;
    }

    QByteArray write(const QString &path)
    {
        QList<ImageObject *> p;
        for (const auto &item : pictures)
            p << item.get();
        QList<MediaObject *> c;
        for (const auto &clip : clips)
            c << clip.get();
        languageCode = 3;
        EffectPlaylist playlist = EffectPlaylist::capture(p, c);
        playlist.order = order;
        return EffectWriter::write(playlist, path).ok ? fileBytes(path) : QByteArray();
    }
};

} // namespace

class TestMotionCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameBytesAsTheCore_data();
    void sameBytesAsTheCore();
    void refusals_data();
    void refusals();

private:
    QTemporaryDir dir;
    QString a, b;
};

void TestMotionCli::initTestCase()
{
    QVERIFY(dir.isValid());
    a = dir.filePath(QStringLiteral("a.png"));
    b = dir.filePath(QStringLiteral("b.png"));
    QVERIFY(gradient().save(a));
    QVERIFY(plain(QColor(200, 30, 90)).save(b));
    initAppGlobals(dir.path());
    setWorkDirectory(dir.filePath(QStringLiteral("work")));
    QVERIFY(ensureWorkDirectory());
}

void TestMotionCli::sameBytesAsTheCore_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<bool>("smooth");
    QTest::newRow("ring text alone")
        << "--text SALE --motion ring --seconds 1.2" << false;
    QTest::newRow("text with every setting, looped")
        << "--loops 3 --text 大減價 --motion left --seconds 0.8 --speed 7 --size 80 "
           "--color #ffcc00 --background #002040 --font DejaVu"
        << true;
    QTest::newRow("fade between pictures") << "A --transition fade:0.5 B" << false;
    QTest::newRow("clock wipe into text, smooth")
        << "A --transition clock:0.3 --text Hi --motion blink --seconds 0.5" << true;
    QTest::newRow("text over a picture, spin into a picture")
        << "--text=Go --background A --seconds 0.4 --transition spin:0.4 B" << false;
}

void TestMotionCli::sameBytesAsTheCore()
{
    QFETCH(QString, arguments);
    QFETCH(bool, smooth);
    const SamplingMode sampling = smooth ? SamplingMode::Smooth : SamplingMode::Sharp;
    QStringList words = arguments.split(QLatin1Char(' '));
    for (QString &word : words) {
        if (word == QLatin1String("A"))
            word = a;
        else if (word == QLatin1String("B"))
            word = b;
    }
    const QString out = dir.filePath(QStringLiteral("cli.bin"));
    QStringList call{QStringLiteral("build"), QStringLiteral("-o"), out};
    if (smooth)
        call << QStringLiteral("--smooth");
    // The fonts' platform leaves nothing in the temporary folder, with no runtime folder set.
    const QString temp = dir.filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(temp));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temp);
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const CliRun run = CliRun::of(call + words, 120000, environment);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(run.err.isEmpty());
    QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    // The same show made by the core, as the window makes it.
    Show show;
    const QImage pictureA = TransitionEnds::ofPicture(PictureLoader::load(a), sampling);
    const QImage pictureB = TransitionEnds::ofPicture(PictureLoader::load(b), sampling);
    auto text = [](const QString &label) {
        TextClipDescription wanted;
        if (label == QLatin1String("SALE")) {
            wanted.text = label;
            wanted.seconds = 1.2;
        } else if (label == QStringLiteral("大減價")) {
            wanted.text = label;
            wanted.motion = TextClipDescription::Motion::SlideLeft;
            wanted.seconds = 0.8;
            wanted.speed = 7;
            wanted.pixelSize = 80;
            wanted.color = QColor(0xff, 0xcc, 0x00);
            wanted.backgroundColor = QColor(0x00, 0x20, 0x40);
            wanted.fontFamily = QStringLiteral("DejaVu");
        } else if (label == QLatin1String("Hi")) {
            wanted.text = label;
            wanted.motion = TextClipDescription::Motion::Blink;
            wanted.seconds = 0.5;
        } else {
            wanted.text = label;
            wanted.seconds = 0.4;
        }
        std::shared_ptr<TextClipRenderer> renderer;
        TextClipRenderer::prepare(wanted, &renderer);
        return renderer;
    };
    auto transition = [](TransitionDescription::Kind kind, double seconds, const QImage &before,
                         const QImage &after) {
        std::shared_ptr<TransitionRenderer> renderer;
        TransitionRenderer::prepare(TransitionDescription{kind, seconds}, before, after, &renderer);
        return renderer;
    };
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (tag.startsWith(QLatin1String("ring"))) {
        QVERIFY(show.addClip(text(QStringLiteral("SALE")), sampling, 1));
    } else if (tag.startsWith(QLatin1String("text with"))) {
        QVERIFY(show.addClip(text(QStringLiteral("大減價")), sampling, 3));
    } else if (tag.startsWith(QLatin1String("fade"))) {
        // Played in place: the fade between the two pictures.
        show.addPicture(a, sampling);
        QVERIFY(show.addClip(
            transition(TransitionDescription::Kind::CrossFade, 0.5, pictureA, pictureB), sampling, 1));
        show.addPicture(b, sampling);
    } else if (tag.startsWith(QLatin1String("clock"))) {
        show.addPicture(a, sampling);
        const auto hi = text(QStringLiteral("Hi"));
        QVERIFY(show.addClip(
            transition(TransitionDescription::Kind::ClockWipe, 0.3, pictureA, hi->frame(0)), sampling,
            1));
        QVERIFY(show.addClip(hi, sampling, 1));
    } else {
        TextClipDescription wanted;
        wanted.text = QStringLiteral("Go");
        wanted.backgroundPath = a;
        wanted.seconds = 0.4;
        std::shared_ptr<TextClipRenderer> go;
        QVERIFY(TextClipRenderer::prepare(wanted, &go));
        QVERIFY(show.addClip(go, sampling, 1));
        QVERIFY(show.addClip(transition(TransitionDescription::Kind::SpinIn, 0.4,
                                        go->frame(go->frameCount() - 1), pictureB),
                             sampling, 1));
        show.addPicture(b, sampling);
    }
    const QByteArray expected = show.write(dir.filePath(QStringLiteral("core.bin")));
    QVERIFY(!expected.isEmpty());
    const QByteArray written = fileBytes(out);
    QCOMPARE(written.size(), expected.size());
    QVERIFY(written == expected);
}

void TestMotionCli::refusals_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty text") << "--text= A" << "empty";
    QTest::newRow("blank text") << "--text BLANK A" << "empty";
    QTest::newRow("text length 0") << "--text X --seconds 0 A" << "seconds";
    QTest::newRow("text length not a number") << "--text X --seconds soon" << "number";
    QTest::newRow("unknown motion") << "--text X --motion spiral" << "--motion";
    QTest::newRow("setting without text") << "A --speed 3" << "--text";
    QTest::newRow("speed out of range") << "--text X --speed 0" << "speed";
    QTest::newRow("missing value") << "--text X --seconds" << "needs a value";
    QTest::newRow("transition first") << "--transition fade A" << "between";
    QTest::newRow("transition last") << "A --transition fade" << "between";
    QTest::newRow("transitions side by side")
        << "A --transition fade --transition clock B" << "side by side";
    QTest::newRow("transition too long") << "A --transition fade:3.5 B" << "seconds";
    QTest::newRow("transition too short") << "A --transition fade:0.1 B" << "seconds";
    QTest::newRow("transition unknown") << "A --transition wobble B" << "unknown";
    QTest::newRow("missing background picture")
        << "--text X --background NOPE" << "missing.png";
}

void TestMotionCli::refusals()
{
    QFETCH(QString, arguments);
    QFETCH(QString, reason);
    QStringList words = arguments.split(QLatin1Char(' '));
    for (QString &word : words) {
        if (word == QLatin1String("A"))
            word = a;
        else if (word == QLatin1String("BLANK"))
            word = QStringLiteral(" \t ");
        else if (word == QLatin1String("NOPE"))
            word = dir.filePath(QStringLiteral("missing.png"));
    }
    const QString out = dir.filePath(QStringLiteral("refused.bin"));
    const CliRun run = CliRun::of(QStringList{QStringLiteral("build"), QStringLiteral("-o"), out}
                                  + words);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY(!QFile::exists(out));
}

QTEST_MAIN(TestMotionCli)
#include "test_motion_cli.moc"
