// Text clips and transitions without widgets: their LED data is the conversion of the same
// frames as pictures, their timing, text in the interface's four scripts, refusals, the
// cross-fade in linear light, the descriptions as JSON, and the maker's run and cancel.
#include "app/AppGlobals.h"
#include "effect/DownloadResult.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "effect/IndexedHeader.h"
#include "effect/ShowTimeline.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/LinearLight.h"
#include "model/MediaObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"
#include "motion/MotionClipMaker.h"
#include "motion/MotionFont.h"
#include "motion/TextClipRenderer.h"
#include "motion/TextClipDescription.h"
#include "motion/TransitionRenderer.h"
#include "motion/TransitionDescription.h"

#include <QDir>
#include <QFontMetrics>
#include <QJsonDocument>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<MediaObject> makeClip(const std::shared_ptr<const MotionFrameSource> &source,
                                      SamplingMode sampling, bool writeFiles = false)
{
    MotionClipMaker::Options options;
    options.sampling = sampling;
    options.writeFiles = writeFiles;
    MotionClipMaker maker(source, options);
    if (!maker.runToEnd())
        return nullptr;
    return std::unique_ptr<MediaObject>(maker.takeClip(1));
}

// The LED data of a picture file converted as an opened picture is.
QByteArray pictureLedData(const QString &path, SamplingMode sampling)
{
    const QImage picture = PictureLoader::load(path);
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    item.sampling = sampling;
    convertPicture(picture, &item, nullptr, ReadImageThread::SamplingPreview::Skip);
    return item.readLedData();
}

// Every frame of source written as a PNG, converted as a picture, equals the clip's frame.
void compareWithPictures(const MotionFrameSource &source, MediaObject &clip,
                         SamplingMode sampling, const QString &directory)
{
    QCOMPARE(clip.frames.size(), source.frameCount());
    for (int i = 0; i < source.frameCount(); ++i) {
        const QString path = QDir(directory).filePath(QStringLiteral("frame_%1.png").arg(i));
        QVERIFY(source.frame(i).save(path));
        QCOMPARE(clip.frames[i]->number, i + 1);
        const QByteArray clipData = clip.frames[i]->readLedData();
        QCOMPARE(clipData.size(), 110592);
        QVERIFY2(clipData == pictureLedData(path, sampling),
                 qPrintable(QStringLiteral("frame %1 differs").arg(i)));
    }
}

QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, (x + y) % 256));
    return image;
}

QImage checker()
{
    QImage image(450, 450, QImage::Format_RGB32);
    for (int y = 0; y < 450; ++y)
        for (int x = 0; x < 450; ++x)
            image.setPixel(x, y, ((x / 30 + y / 30) % 2) ? qRgb(250, 240, 10) : qRgb(20, 40, 200));
    return image;
}

QImage plain(const QColor &colour)
{
    QImage image(450, 450, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A character drawn alone on white, black on white.
QImage glyph(const QFont &font, const QString &ch)
{
    QImage image(96, 96, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(8, 80), ch);
    return image;
}

int inkOf(const QImage &image)
{
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return ink;
}

TextClipDescription textSpec(const QString &text, TextClipDescription::Motion motion, double seconds)
{
    TextClipDescription wanted;
    wanted.text = text;
    wanted.motion = motion;
    wanted.seconds = seconds;
    return wanted;
}

} // namespace

class TestMotionClips : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void textClipIsItsFramesConverted_data();
    void textClipIsItsFramesConverted();
    void transitionIsItsFramesConverted_data();
    void transitionIsItsFramesConverted();
    void timing_data();
    void timing();
    void refusals_data();
    void refusals();
    void scriptsRender_data();
    void scriptsRender();
    void crossFadeMidpointInLinearLight_data();
    void crossFadeMidpointInLinearLight();
    void descriptionsAsJson_data();
    void descriptionsAsJson();
    void makerRunAndCancel_data();
    void makerRunAndCancel();
    void mixedPlayOrder_data();
    void mixedPlayOrder();

private:
    std::unique_ptr<QTemporaryDir> work;
};

void TestMotionClips::init()
{
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    initAppGlobals(work->path());
    setWorkDirectory(work->filePath(QStringLiteral("work")));
    QVERIFY(ensureWorkDirectory());
}

void TestMotionClips::textClipIsItsFramesConverted_data()
{
    QTest::addColumn<int>("motion");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("withPicture");
    QTest::addColumn<int>("sampling");
    using M = TextClipDescription::Motion;
    const int sharp = int(SamplingMode::Sharp), smooth = int(SamplingMode::Smooth);
    QTest::newRow("ring, sharp") << int(M::RingCounterClockwise) << "SALE -50 %" << false << sharp;
    QTest::newRow("ring clockwise, smooth") << int(M::RingClockwise) << "OPEN" << false << smooth;
    QTest::newRow("slide left over a picture") << int(M::SlideLeft) << "Welcome" << true << sharp;
    QTest::newRow("slide down, smooth") << int(M::SlideDown) << "限时大减价" << false << smooth;
    QTest::newRow("blink") << int(M::Blink) << "セール" << false << sharp;
    QTest::newRow("stand over a picture, smooth") << int(M::Stand) << "大減價" << true << smooth;
}

void TestMotionClips::textClipIsItsFramesConverted()
{
    QFETCH(int, motion);
    QFETCH(QString, text);
    QFETCH(bool, withPicture);
    QFETCH(int, sampling);
    TextClipDescription wanted = textSpec(text, TextClipDescription::Motion(motion), 0.6);
    wanted.speed = 10;
    if (withPicture) {
        wanted.backgroundPath = work->filePath(QStringLiteral("back.png"));
        QVERIFY(gradient(640, 480).save(wanted.backgroundPath));
    }
    std::shared_ptr<TextClipRenderer> renderer;
    const Outcome prepared = TextClipRenderer::prepare(wanted, &renderer);
    QVERIFY2(prepared, qPrintable(prepared.error()));
    const auto clip = makeClip(renderer, SamplingMode(sampling));
    QVERIFY(clip);
    compareWithPictures(*renderer, *clip, SamplingMode(sampling), work->path());
    // The motion moves: a clip that repeats one frame would pass the comparison too.
    if (TextClipDescription::Motion(motion) != TextClipDescription::Motion::Stand)
        QVERIFY(clip->frames[0]->readLedData() != clip->frames[3]->readLedData());
}

void TestMotionClips::transitionIsItsFramesConverted_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("sampling");
    using K = TransitionDescription::Kind;
    const int sharp = int(SamplingMode::Sharp), smooth = int(SamplingMode::Smooth);
    QTest::newRow("fade") << int(K::CrossFade) << sharp;
    QTest::newRow("fade, smooth") << int(K::CrossFade) << smooth;
    QTest::newRow("clock") << int(K::ClockWipe) << sharp;
    QTest::newRow("iris in") << int(K::IrisIn) << smooth;
    QTest::newRow("iris out") << int(K::IrisOut) << sharp;
    QTest::newRow("spin") << int(K::SpinIn) << sharp;
}

void TestMotionClips::transitionIsItsFramesConverted()
{
    QFETCH(int, kind);
    QFETCH(int, sampling);
    TransitionDescription wanted;
    wanted.kind = TransitionDescription::Kind(kind);
    wanted.seconds = 0.5;
    std::shared_ptr<TransitionRenderer> renderer;
    // A picture of another size is brought to the square as the conversion brings it.
    const Outcome prepared =
        TransitionRenderer::prepare(wanted, gradient(600, 400), checker(), &renderer);
    QVERIFY2(prepared, qPrintable(prepared.error()));
    const auto clip = makeClip(renderer, SamplingMode(sampling));
    QVERIFY(clip);
    compareWithPictures(*renderer, *clip, SamplingMode(sampling), work->path());
    // Neither end is a frame of its own, and the frames change along the way.
    const QString before = work->filePath(QStringLiteral("before.png"));
    const QString after = work->filePath(QStringLiteral("after.png"));
    QVERIFY(gradient(600, 400).save(before) && checker().save(after));
    const QByteArray first = clip->frames.first()->readLedData();
    const QByteArray last = clip->frames.last()->readLedData();
    QVERIFY(first != pictureLedData(before, SamplingMode(sampling)));
    QVERIFY(last != pictureLedData(after, SamplingMode(sampling)));
    QVERIFY(first != last);
}

void TestMotionClips::timing_data()
{
    QTest::addColumn<bool>("isText");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("loops");
    QTest::addColumn<bool>("make");
    QTest::newRow("text 0.1 s") << true << 0.1 << 1 << 1 << true;
    QTest::newRow("text 0.25 s rounds up") << true << 0.25 << 3 << 2 << true;
    QTest::newRow("text 0.04 s over 0.1") << true << 0.149 << 1 << 1 << false;
    QTest::newRow("text 4 s") << true << 4.0 << 40 << 3 << true;
    QTest::newRow("text 5 s") << true << 5.0 << 50 << 1 << false;
    QTest::newRow("text 100 s") << true << 100.0 << 1000 << 1 << false;
    QTest::newRow("transition 0.2 s") << false << 0.2 << 2 << 1 << true;
    QTest::newRow("transition 1 s") << false << 1.0 << 10 << 1 << true;
    QTest::newRow("transition 3 s") << false << 3.0 << 30 << 1 << true;
}

void TestMotionClips::timing()
{
    QFETCH(bool, isText);
    QFETCH(double, seconds);
    QFETCH(int, frames);
    QFETCH(int, loops);
    QFETCH(bool, make);
    std::shared_ptr<const MotionFrameSource> source;
    if (isText) {
        const TextClipDescription wanted = textSpec(QStringLiteral("Hi"), TextClipDescription::Motion::Blink,
                                           seconds);
        QCOMPARE(wanted.frameCount(), frames);
        std::shared_ptr<TextClipRenderer> renderer;
        QVERIFY(TextClipRenderer::prepare(wanted, &renderer));
        source = renderer;
    } else {
        TransitionDescription wanted;
        wanted.seconds = seconds;
        QCOMPARE(wanted.frameCount(), frames);
        std::shared_ptr<TransitionRenderer> renderer;
        QVERIFY(TransitionRenderer::prepare(wanted, plain(Qt::red), plain(Qt::blue), &renderer));
        source = renderer;
    }
    QCOMPARE(source->frameCount(), frames);
    QVERIFY(source->frame(frames - 1).size() == QSize(450, 450));
    QVERIFY(source->frame(frames).isNull());
    QVERIFY(source->frame(-1).isNull());
    if (!make)
        return;
    const auto clip = makeClip(source, SamplingMode::Sharp);
    QVERIFY(clip);
    clip->loopCount = loops;
    QCOMPARE(clip->frames.size(), frames);
    for (int i = 0; i < frames; ++i)
        QCOMPARE(clip->frames[i]->frameTime, float(i * 100));
    // As the show plays it: 100 ms a frame, the clip repeated by its loop count.
    const ShowTimeline timeline = ShowTimeline::fromPlaylist(
        EffectPlaylist::capture({}, QList<MediaObject *>{clip.get()}));
    QCOMPARE(timeline.totalMs(), qint64(frames) * 100 * loops);
}

void TestMotionClips::refusals_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty text") << "text" << R"({"text": ""})" << "empty";
    QTest::newRow("blank text") << "text" << R"({"text": "  \t "})" << "empty";
    QTest::newRow("no text key") << "text" << R"({"seconds": 3})" << "empty";
    QTest::newRow("length 0") << "text" << R"({"text": "A", "seconds": 0})" << "seconds";
    QTest::newRow("negative length") << "text" << R"({"text": "A", "seconds": -2})" << "seconds";
    QTest::newRow("over 100 s") << "text" << R"({"text": "A", "seconds": 100.5})" << "seconds";
    QTest::newRow("size 0") << "text" << R"({"text": "A", "size": 0})" << "size";
    QTest::newRow("speed 11") << "text" << R"({"text": "A", "speed": 11})" << "speed";
    QTest::newRow("speed 2.5") << "text" << R"({"text": "A", "speed": 2.5})" << "speed";
    QTest::newRow("no colour") << "text" << R"({"text": "A", "color": "nope"})" << "colour";
    QTest::newRow("see-through colour")
        << "text" << R"({"text": "A", "color": "#80ff0000"})" << "colour";
    QTest::newRow("unknown motion") << "text" << R"({"text": "A", "motion": "spiral"})"
                                    << "motion";
    QTest::newRow("text not a string") << "text" << R"({"text": 5})" << "text";
    QTest::newRow("missing background picture")
        << "text" << R"({"text": "A", "backgroundPicture": "/nonexistent/x.png"})"
        << "background";
    QTest::newRow("transition 0 s") << "transition" << R"({"kind": "fade", "seconds": 0})"
                                    << "seconds";
    QTest::newRow("transition 0.1 s")
        << "transition" << R"({"kind": "clock", "seconds": 0.1})" << "seconds";
    QTest::newRow("transition 3.5 s")
        << "transition" << R"({"kind": "spin", "seconds": 3.5})" << "seconds";
    QTest::newRow("transition kind unknown")
        << "transition" << R"({"kind": "wobble", "seconds": 1})" << "unknown";
    QTest::newRow("transition length a string")
        << "transition" << R"({"kind": "fade", "seconds": "1"})" << "number";
    QTest::newRow("parse unknown") << "parse" << "wobble:1" << "unknown";
    QTest::newRow("parse no number") << "parse" << "fade:soon" << "number";
    QTest::newRow("parse 5 s") << "parse" << "iris-in:5" << "seconds";
    QTest::newRow("parse empty length") << "parse" << "fade:" << "number";
}

void TestMotionClips::refusals()
{
    QFETCH(QString, what);
    QFETCH(QString, json);
    QFETCH(QString, reason);
    Outcome outcome;
    if (what == QLatin1String("text")) {
        const QJsonObject object = QJsonDocument::fromJson(json.toUtf8()).object();
        TextClipDescription wanted;
        outcome = TextClipDescription::fromJson(object, &wanted);
        if (outcome) {
            // Accepted as a description, refused when its frames are prepared.
            std::shared_ptr<TextClipRenderer> renderer;
            outcome = TextClipRenderer::prepare(wanted, &renderer);
            QVERIFY(!renderer);
        }
    } else if (what == QLatin1String("transition")) {
        TransitionDescription wanted;
        outcome = TransitionDescription::fromJson(QJsonDocument::fromJson(json.toUtf8()).object(),
                                           &wanted);
    } else {
        TransitionDescription wanted;
        outcome = TransitionDescription::parse(json, &wanted);
    }
    QVERIFY(!outcome);
    QVERIFY2(outcome.error().contains(reason), qPrintable(outcome.error()));
}

void TestMotionClips::scriptsRender_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("English") << QStringLiteral("SALE −50 % Welcome");
    QTest::newRow("simplified Chinese") << QStringLiteral("限时大减价欢迎光临");
    QTest::newRow("traditional Chinese (Hong Kong)") << QStringLiteral("限時大減價歡迎光臨");
    QTest::newRow("Japanese") << QStringLiteral("セール開催中いらっしゃいませ");
}

void TestMotionClips::scriptsRender()
{
    QFETCH(QString, text);
    const QFont font = MotionFont::font(QString(), 64);
    // U+0378 is unassigned: what a missing character is drawn as.
    const QImage box = glyph(font, QString(QChar(0x0378)));
    const QFontMetrics metrics(font);
    for (const char32_t c : text.toUcs4()) {
        if (c == U' ')
            continue;
        const QString ch = QString::fromUcs4(&c, 1);
        QVERIFY2(metrics.inFontUcs4(c), qPrintable(ch));
        const QImage drawn = glyph(font, ch);
        QVERIFY2(inkOf(drawn) > 0, qPrintable(ch));
        QVERIFY2(drawn != box, qPrintable(ch));
    }
    // And in the clip: standing white text on black lights LEDs the background does not.
    std::shared_ptr<TextClipRenderer> renderer;
    QVERIFY(TextClipRenderer::prepare(textSpec(text, TextClipDescription::Motion::Stand, 0.1),
                                      &renderer));
    const auto clip = makeClip(renderer, SamplingMode::Smooth);
    QVERIFY(clip);
    const QByteArray data = clip->frames.first()->readLedData();
    QVERIFY(data.count('\0') < data.size() - 2232);
}

void TestMotionClips::crossFadeMidpointInLinearLight_data()
{
    QTest::addColumn<QColor>("from");
    QTest::addColumn<QColor>("to");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("middle");
    QTest::addColumn<int>("expectedRed");
    QTest::newRow("black to white, 0.5 s") << QColor(0, 0, 0) << QColor(255, 255, 255) << 0.5
                                           << 2 << 188;
    QTest::newRow("white to black, 1.5 s") << QColor(255, 255, 255) << QColor(0, 0, 0) << 1.5
                                           << 7 << 188;
    QTest::newRow("red to blue, 0.3 s") << QColor(255, 0, 0) << QColor(0, 0, 255) << 0.3 << 1
                                        << 188;
    QTest::newRow("mixed colours, 2.9 s") << QColor(10, 200, 30) << QColor(250, 5, 128) << 2.9
                                          << 14 << -1;
    QTest::newRow("same colour stays") << QColor(90, 90, 90) << QColor(90, 90, 90) << 0.7 << 3
                                       << 90;
}

void TestMotionClips::crossFadeMidpointInLinearLight()
{
    QFETCH(QColor, from);
    QFETCH(QColor, to);
    QFETCH(double, seconds);
    QFETCH(int, middle);
    QFETCH(int, expectedRed);
    TransitionDescription wanted;
    wanted.seconds = seconds;
    std::shared_ptr<TransitionRenderer> renderer;
    QVERIFY(TransitionRenderer::prepare(wanted, plain(from), plain(to), &renderer));
    QCOMPARE(renderer->progressAt(middle), 0.5);
    const QImage frame = renderer->frame(middle);
    const LinearLight &light = LinearLight::instance();
    auto average = [&light](int a, int b) {
        return int(light.encode((light.decode(uchar(a)) + light.decode(uchar(b))) / 2.0f));
    };
    const QRgb expected = qRgb(average(from.red(), to.red()), average(from.green(), to.green()),
                               average(from.blue(), to.blue()));
    if (expectedRed >= 0)
        QCOMPARE(qRed(expected), expectedRed);
    for (const QPoint at : {QPoint(0, 0), QPoint(225, 225), QPoint(449, 449), QPoint(3, 400)})
        QCOMPARE(frame.pixel(at), expected);
    // Not the average of the bytes, which looks darker than either end's light.
    if (from != to)
        QVERIFY(qRed(expected) != (from.red() + to.red()) / 2
                || qGreen(expected) != (from.green() + to.green()) / 2);
}

void TestMotionClips::descriptionsAsJson_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("json");
    QTest::newRow("default text clip") << "text" << R"({"text": "SALE"})";
    QTest::newRow("every setting")
        << "text"
        << R"({"text": "大減價 −50 %", "font": "Noto Sans CJK HK", "size": 90,
               "color": "#ff8000", "background": "#102030", "motion": "ring-cw",
               "speed": 9, "seconds": 12.5})";
    QTest::newRow("slide up") << "text" << R"({"text": "up", "motion": "up", "seconds": 0.1})";
    QTest::newRow("fade") << "transition" << R"({"kind": "fade", "seconds": 0.2})";
    QTest::newRow("iris out") << "transition" << R"({"kind": "iris-out", "seconds": 3})";
}

void TestMotionClips::descriptionsAsJson()
{
    QFETCH(QString, which);
    QFETCH(QString, json);
    const QJsonObject given = QJsonDocument::fromJson(json.toUtf8()).object();
    QVERIFY(!given.isEmpty());
    if (which == QLatin1String("text")) {
        TextClipDescription read, again;
        QVERIFY(TextClipDescription::fromJson(given, &read));
        for (auto it = given.begin(); it != given.end(); ++it)
            QCOMPARE(read.toJson().value(it.key()), it.value());
        const QByteArray stored = QJsonDocument(read.toJson()).toJson();
        QVERIFY(TextClipDescription::fromJson(QJsonDocument::fromJson(stored).object(), &again));
        QVERIFY(again == read);
    } else {
        TransitionDescription read, again;
        QVERIFY(TransitionDescription::fromJson(given, &read));
        QCOMPARE(read.toJson(), given);
        QVERIFY(TransitionDescription::fromJson(read.toJson(), &again));
        QVERIFY(again == read);
    }
}

void TestMotionClips::makerRunAndCancel_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("finished") << "finished";
    QTest::newRow("cancelled after the first frame") << "cancel";
    QTest::newRow("maker destroyed while running") << "destroy";
}

void TestMotionClips::makerRunAndCancel()
{
    QFETCH(QString, end);
    std::shared_ptr<TextClipRenderer> renderer;
    QVERIFY(TextClipRenderer::prepare(
        textSpec(QStringLiteral("Run"), TextClipDescription::Motion::SlideRight, 3.0), &renderer));
    MotionClipMaker::Options options;
    options.writeFiles = true;
    options.writeFramePictures = true;
    auto maker = std::make_unique<MotionClipMaker>(renderer, options);
    QSignalSpy progress(maker.get(), &MotionClipMaker::progress);
    QSignalSpy finished(maker.get(), &MotionClipMaker::finished);
    maker->start();
    const QDir workDir(workDirectory());
    if (end == QLatin1String("finished")) {
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), true);
        QTRY_COMPARE(progress.size(), 30);
        QCOMPARE(progress.last().at(0).toInt(), 30);
        std::unique_ptr<MediaObject> clip(maker->takeClip(4));
        QVERIFY(clip);
        QCOMPARE(clip->number, 4);
        QVERIFY(!maker->takeClip(5));
        for (ImageObject *frame : std::as_const(clip->frames)) {
            QVERIFY(QFileInfo::exists(frame->sourcePath));
            QVERIFY(QFileInfo::exists(frame->samplingPreviewPath()));
        }
        QCOMPARE(workDir.entryList({QStringLiteral("motion_*.png")}).size(), 30);
        clip.reset();
    } else {
        QVERIFY(progress.wait(60000));
        if (end == QLatin1String("cancel")) {
            maker->cancel();
            QVERIFY(!maker->takeClip(1));
        }
        maker.reset();
        QCOMPARE(finished.size(), 0);
    }
    // What was made goes with its clip, or with the run that was given up. A clip's frame
    // files stay with the work directory, as a video's and a GIF's do.
    maker.reset();
    const QStringList left = workDir.entryList(QDir::Files);
    const QStringList frameFiles = workDir.entryList({QStringLiteral("motion_*.png")});
    QVERIFY2(left == frameFiles, qPrintable(left.join(QLatin1Char(' '))));
    if (end != QLatin1String("finished"))
        QCOMPARE(left.size(), 0);
}

// Entries written as "p0 c1 p1": picture or clip and its index.
void TestMotionClips::mixedPlayOrder_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("played");
    QTest::newRow("none: pictures, then clips") << "" << "p0 p1 c0 c1";
    QTest::newRow("photo, fade, photo, text") << "p0 c0 p1 c1" << "p0 c0 p1 c1";
    QTest::newRow("clips first") << "c1 c0 p1 p0" << "c1 c0 p1 p0";
    QTest::newRow("one missing: the lists' order") << "p0 c0 p1" << "p0 p1 c0 c1";
    QTest::newRow("one twice: the lists' order") << "p0 c0 p1 p1" << "p0 p1 c0 c1";
    QTest::newRow("out of range: the lists' order") << "p0 c0 p1 c2" << "p0 p1 c0 c1";
    QTest::newRow("negative: the lists' order") << "p0 c0 p1 c-1" << "p0 p1 c0 c1";
}

void TestMotionClips::mixedPlayOrder()
{
    QFETCH(QString, order);
    QFETCH(QString, played);
    const int leds = 4, lines = 8;
    const qint64 length = DataBitCalculation::ledDataLength(leds, lines);
    // Items whose LED data tells them apart: picture i is filled with 'A' + i, frame f of
    // clip c with 'a' + 3c + f. Clip 0 has two frames, clip 1 three.
    std::vector<std::unique_ptr<ImageObject>> items;
    auto item = [&items, length](char fill) {
        items.push_back(std::make_unique<ImageObject>(1, QString(), 0.5,
                                                      ImageObject::KindPictureFile));
        items.back()->ledData = QByteArray(length, fill);
        return items.back().get();
    };
    EffectPlaylist playlist;
    playlist.ledCount = leds;
    playlist.lineNumber = lines;
    playlist.languageCode = 3;
    playlist.pictures = {{item('A'), 0.5}, {item('B'), 1.0}};
    playlist.clips = {{{item('a'), item('b')}, 2}, {{item('d'), item('e'), item('f')}, 1}};
    auto entryOf = [](const QString &word) {
        return EffectPlaylist::Entry{word.startsWith(QLatin1Char('c')), word.mid(1).toInt()};
    };
    for (const QString &word : order.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        playlist.order.append(entryOf(word));

    QList<IndexedHeader::Segment> expectedSegments;
    QByteArray expectedFills;
    int next = 1;
    for (const QString &word : played.split(QLatin1Char(' '))) {
        const EffectPlaylist::Entry entry = entryOf(word);
        if (entry.isClip) {
            const EffectPlaylist::Clip &clip = playlist.clips[entry.index];
            const int frames = int(clip.frames.size());
            expectedSegments.append({next, next + frames - 1, 1, clip.loopCount});
            for (ImageObject *frame : clip.frames)
                expectedFills.append(frame->ledData.at(0));
            next += frames;
        } else {
            expectedSegments.append({next, next, 5 * (entry.index + 1), 1});
            expectedFills.append(playlist.pictures[entry.index].item->ledData.at(0));
            ++next;
        }
    }
    const IndexedHeader header = IndexedHeader::fromPlaylist(playlist);
    QCOMPARE(header.segments.size(), expectedSegments.size());
    for (int i = 0; i < expectedSegments.size(); ++i) {
        QCOMPARE(header.segments[i].first, expectedSegments[i].first);
        QCOMPARE(header.segments[i].last, expectedSegments[i].last);
        QCOMPARE(header.segments[i].time, expectedSegments[i].time);
        QCOMPARE(header.segments[i].repeat, expectedSegments[i].repeat);
    }
    // The records follow the segments: each segment's records hold its items' data.
    const QString path = work->filePath(QStringLiteral("order.bin"));
    QVERIFY(EffectWriter::write(playlist, path).ok);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 4096 + expectedFills.size() * length);
    for (int r = 0; r < expectedFills.size(); ++r)
        QCOMPARE(bytes.at(4096 + r * length + 7), expectedFills.at(r));
}

QTEST_MAIN(TestMotionClips)
#include "test_motion_clips.moc"
