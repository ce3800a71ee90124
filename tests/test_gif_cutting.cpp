// A GIF's cutting run without the window: which frames a clip gets and in which order, how
// a damaged or unreadable GIF ends, the GIF's own speed kept on request, and frames composed
// as the GIF reader composes them.
#include "GifFixtures.h"

#include "app/AppGlobals.h"
#include "import/FrameHandOver.h"
#include "import/GifCut.h"
#include "import/GifCutThread.h"
#include "import/GifFrameReader.h"
#include "import/GifTimeline.h"
#include "import/VideoClipCutter.h"
#include "model/PictureLoader.h"
#include "model/ImageObject.h"
#include "model/RoundSquare.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

using GifFixtures::Gif;

namespace {

struct Run
{
    bool ok = false;
    QString error;
    GifCutEnd end;
    QList<ImageObject *> frames;

    ~Run()
    {
        for (ImageObject *item : std::as_const(frames))
            FrameHandOver::dispose(item);
    }
};

// Cuts the GIF at path centred and unzoomed, writing each frame's PNG.
void cut(const QString &path, bool keepSpeed, Run *run, int maxFrames = 1000)
{
    GifCut cut;
    cut.path = path;
    cut.topLeft = RoundSquare::centredRegion(QImageReader(path).size());
    cut.keepSpeed = keepSpeed;
    cut.maxFrames = maxFrames;
    VideoClipCutter cutter(GifCutThread::factory(cut, &run->end), cut.writeFiles);
    run->ok = cutter.runToEnd();
    run->error = cutter.errorString();
    run->frames = cutter.takeFrames();
}

// The palette index of each frame's colour, read from the middle of its PNG; -1 for none.
QList<int> colours(const QList<ImageObject *> &frames)
{
    QList<int> found;
    for (ImageObject *item : frames) {
        const QRgb pixel = PictureLoader::load(item->sourcePath).pixel(225, 225) | 0xff000000;
        int index = -1;
        for (int i = 0; i < 256 && index < 0; ++i)
            if (GifFixtures::paletteColour(i) == pixel)
                index = i;
        found.append(index);
    }
    return found;
}

// One past the last byte of frame index in the GIF's encoding.
qsizetype frameEnd(const Gif &gif, int index)
{
    const Gif head{gif.width, gif.height, gif.looping, gif.frames.mid(0, index + 1)};
    return GifFixtures::encode(head).size() - 1;
}

Gif withDelays(const QList<int> &delays)
{
    Gif gif = GifFixtures::frames(int(delays.size()));
    for (int i = 0; i < delays.size(); ++i)
        gif.frames[i].delayMs = delays[i];
    return gif;
}

} // namespace

class TestGifCutting : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;
    QTemporaryDir gifs;

    QString write(const QByteArray &bytes)
    {
        return GifFixtures::write(gifs.path(), QStringLiteral("%1.gif").arg(qHash(bytes)), bytes);
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("hologram.*=false"));
        QVERIFY(work.isValid() && gifs.isValid());
        initAppGlobals(work.path());
    }

    // Frames numbered 1..n in GIF order; a looping GIF does not start over; the clip ends
    // before a damaged frame; a file with no readable frame fails the run.
    void clipFrames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("expected");  // palette index of each clip frame
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<int>("maxFrames");
        QTest::addColumn<bool>("tooLong");
        const Gif five = GifFixtures::frames(5);
        Gif fiveOnce = five;
        fiveOnce.looping = false;
        const QByteArray whole = GifFixtures::encode(five);
        QTest::newRow("one frame") << GifFixtures::encode(GifFixtures::frames(1)) << QList<int>{1}
                                   << false << 1000 << false;
        QTest::newRow("looping") << whole << QList<int>{1, 2, 3, 4, 5} << false << 1000 << false;
        QTest::newRow("not looping") << GifFixtures::encode(fiveOnce) << QList<int>{1, 2, 3, 4, 5}
                                     << false << 1000 << false;
        QTest::newRow("frame 3 damaged")
            << GifFixtures::withCorruptFrame(five, 2) << QList<int>{1, 2} << true << 1000 << false;
        QTest::newRow("last frame damaged")
            << GifFixtures::withCorruptFrame(five, 4) << QList<int>{1, 2, 3, 4} << true << 1000
            << false;
        QTest::newRow("first frame damaged")
            << GifFixtures::withCorruptFrame(five, 0) << QList<int>{} << true << 1000 << false;
        QTest::newRow("garbage") << QByteArray(3000, 'x') << QList<int>{} << true << 1000
                                 << false;
        QTest::newRow("empty") << QByteArray() << QList<int>{} << true << 1000 << false;
        QTest::newRow("cut before the first frame")
            << whole.left(800) << QList<int>{} << true << 1000 << false;
        // Three whole frames, then the start of a fourth: what was read stays.
        const qsizetype threeFrames = GifFixtures::encode(GifFixtures::frames(3)).size() - 1;
        QTest::newRow("cut after frame 3")
            << whole.left(threeFrames + 4) << QList<int>{1, 2, 3} << true << 1000 << false;
        // A clip holds so many frames: the rest of a longer GIF is left out, and said so.
        QTest::newRow("longer than a clip") << whole << QList<int>{1, 2, 3} << false << 3 << true;
        QTest::newRow("as long as a clip") << whole << QList<int>{1, 2, 3, 4, 5} << false << 5
                                           << false;
    }

    void clipFrames()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, expected);
        QFETCH(bool, damaged);
        QFETCH(int, maxFrames);
        QFETCH(bool, tooLong);
        Run run;
        cut(write(bytes), false, &run, maxFrames);
        QCOMPARE(run.ok, !expected.isEmpty());
        QCOMPARE(run.end.damaged, damaged);
        QCOMPARE(run.end.tooLong, tooLong);
        QCOMPARE(colours(run.frames), expected);
        for (int k = 0; k < run.frames.size(); ++k) {
            QCOMPARE(run.frames[k]->number, k + 1);
            QCOMPARE(run.frames[k]->kind, int(ImageObject::KindGifFrame));
            QVERIFY(QFileInfo(run.frames[k]->sourcePath).fileName().startsWith("loadGif_"));
            QVERIFY(!run.frames[k]->readLedData().isEmpty());
        }
        if (expected.isEmpty())
            QVERIFY(QDir(work.path()).entryList({QStringLiteral("loadGif_*")}).isEmpty());
    }

    // Keeping the speed, the GIF's timeline is sampled every 100 ms: a frame is repeated for
    // every sample it covers and skipped when it covers none; 0 and 10 ms last 100 ms.
    void keptSpeed_data()
    {
        QTest::addColumn<QList<int>>("delays");
        QTest::addColumn<bool>("keepSpeed");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("40, 40, 300") << QList<int>{40, 40, 300} << true << QList<int>{1, 3, 3, 3};
        QTest::newRow("40, 40, 300, speed not kept")
            << QList<int>{40, 40, 300} << false << QList<int>{1, 2, 3};
        QTest::newRow("0 and 10 ms as 100") << QList<int>{0, 10, 100} << true
                                            << QList<int>{1, 2, 3};
        QTest::newRow("250, 50, 50, 50")
            << QList<int>{250, 50, 50, 50} << true << QList<int>{1, 1, 1, 3};
        QTest::newRow("20 ms frames") << QList<int>{20, 20, 20, 20, 20, 20, 20, 20, 20, 20}
                                      << true << QList<int>{1, 6};
    }

    void keptSpeed()
    {
        QFETCH(QList<int>, delays);
        QFETCH(bool, keepSpeed);
        QFETCH(QList<int>, expected);
        Run run;
        cut(write(GifFixtures::encode(withDelays(delays))), keepSpeed, &run);
        QVERIFY(run.ok);
        QCOMPARE(colours(run.frames), expected);
        for (int k = 0; k < run.frames.size(); ++k)
            QCOMPARE(run.frames[k]->number, k + 1);
    }

    // Partial frames, the disposal modes and transparent colours: every clip frame is the
    // GIF reader's composed frame, its transparent parts black.
    void composedFrames_data()
    {
        QTest::addColumn<int>("disposal");
        QTest::addColumn<bool>("transparent");
        for (int disposal : {0, 1, 2, 3})
            for (bool transparent : {false, true})
                QTest::addRow("disposal %d%s", disposal, transparent ? ", transparent" : "")
                    << disposal << transparent;
    }

    void composedFrames()
    {
        QFETCH(int, disposal);
        QFETCH(bool, transparent);
        Gif gif = GifFixtures::frames(3);
        for (int i = 0; i < 3; ++i) {
            GifFixtures::Frame &frame = gif.frames[i];
            frame.disposal = disposal;
            frame.rect = i == 0 ? QRect() : QRect(5 * i, 4 * i, 20, 16);
            frame.transparent = transparent ? 9 : -1;
            frame.holeColour = transparent ? 9 : -1;
        }
        const QString path = write(GifFixtures::encode(gif));
        Run run;
        cut(path, false, &run);
        QVERIFY(run.ok);
        QCOMPARE(run.frames.size(), 3);
        QImageReader reader(path);
        for (ImageObject *item : std::as_const(run.frames)) {
            const QImage composed = reader.read();
            const QImage expected = RoundSquare::cutFrame(
                composed, RoundSquare::centredRegion(composed.size()));
            QCOMPARE(PictureLoader::load(item->sourcePath).convertToFormat(QImage::Format_RGB32),
                     expected.convertToFormat(QImage::Format_RGB32));
            // The clip's row shows its first frame.
            QCOMPARE(QFile::exists(item->thumbnailPath()), item == run.frames.first());
            if (item == run.frames.first())
                QCOMPARE(item->loadThumbnail().convertToFormat(QImage::Format_RGB32),
                         RoundSquare::thumbnailOf(expected).convertToFormat(QImage::Format_RGB32));
        }
        // The first frame's hole shows nothing beneath it: black.
        if (transparent)
            QCOMPARE(PictureLoader::load(run.frames[0]->sourcePath).pixel(225, 225), qRgb(0, 0, 0));
    }

    // Where the file stops or is spoilt names the damaged frame: a frame the file stops
    // inside is never handed out, and whole frames without the trailer are no damage.
    void damagedFrameNamed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("keepSpeed");
        QTest::addColumn<QList<int>>("expected");  // palette index of each clip frame
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<int>("framesRead");       // the damaged frame's index when damaged
        const Gif three = GifFixtures::frames(3);
        const QByteArray whole = GifFixtures::encode(three);
        const qsizetype one = frameEnd(three, 0);
        const qsizetype two = frameEnd(three, 1);
        QTest::newRow("cut inside frame 2's image data")
            << whole.left((one + two) / 2) << false << QList<int>{1} << true << 1;
        QTest::newRow("frame 2 without its data's end")
            << whole.left(two - 1) << false << QList<int>{1} << true << 1;
        QTest::newRow("two whole frames, no trailer")
            << whole.left(two) << false << QList<int>{1, 2} << false << 2;
        QTest::newRow("whole") << whole << false << QList<int>{1, 2, 3} << false << 3;
        QTest::newRow("frame 3's control block, then the end")
            << whole.left(two + 8) << false << QList<int>{1, 2} << true << 2;
        QTest::newRow("two whole frames and a comment, no trailer")
            << whole.left(two) + QByteArray("\x21\xfe\x03" "abc\x00", 7) << false
            << QList<int>{1, 2} << false << 2;
        QTest::newRow("frame 2 spoilt")
            << GifFixtures::withCorruptFrame(three, 1) << false << QList<int>{1} << true << 1;
        // Keeping the speed, frame 2 (40 ms) gives no clip frame and is not decoded.
        const Gif timed = withDelays({40, 40, 300, 100});
        const QByteArray timedBytes = GifFixtures::encode(timed);
        QTest::newRow("kept speed, cut inside frame 4")
            << timedBytes.left(frameEnd(timed, 2) + 40) << true << QList<int>{1, 3, 3, 3}
            << true << 3;
        QTest::newRow("kept speed, three whole frames, no trailer")
            << timedBytes.left(frameEnd(timed, 2)) << true << QList<int>{1, 3, 3, 3} << false
            << 3;
    }

    void damagedFrameNamed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, keepSpeed);
        QFETCH(QList<int>, expected);
        QFETCH(bool, damaged);
        QFETCH(int, framesRead);
        Run run;
        cut(write(bytes), keepSpeed, &run);
        QVERIFY2(run.ok, qPrintable(run.error));
        QCOMPARE(colours(run.frames), expected);
        QCOMPARE(run.end.damaged, damaged);
        QCOMPARE(run.end.framesRead, framesRead);
        QCOMPARE(run.end.framesMade, int(expected.size()));
    }

    // The canvas is decoded whole for every frame, however few bytes a frame takes: a
    // canvas over the pictures' pixel limit, or more canvas area times frames than the
    // limit, is refused before decoding, naming the sizes. Only frames the clip uses count,
    // and frames the timeline drops are not decoded where they change nothing.
    void decodingBounded_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("keepSpeed");
        QTest::addColumn<int>("maxFrames");
        QTest::addColumn<int>("made");        // clip frames; 0 when refused
        QTest::addColumn<QString>("refusal");
        const int fit = int(GifFrameReader::MaxDecodedMegapixels / 16);  // 16-megapixel canvas
        const auto overBudget = [](int frames) {
            return QStringLiteral("%1 frames to decode on a canvas of 4000 x 4000 pixels are "
                                  "%2 megapixels, over the limit of %3 megapixels")
                .arg(frames)
                .arg(frames * 16)
                .arg(GifFrameReader::MaxDecodedMegapixels);
        };
        QTest::newRow("one pixel on a 16000 x 16000 canvas")
            << GifFixtures::encode(GifFixtures::onePixelFrames(1, 16000, 16000)) << false << 1000
            << 0
            << QStringLiteral("its canvas of 16000 x 16000 pixels (256 megapixels) is over the "
                              "limit of 200 megapixels");
        QTest::newRow("as many frames as fit")
            << GifFixtures::encode(GifFixtures::onePixelFrames(fit, 4000, 4000)) << false << 1000
            << fit << QString();
        QTest::newRow("one frame more")
            << GifFixtures::encode(GifFixtures::onePixelFrames(fit + 1, 4000, 4000)) << false
            << 1000 << 0 << overBudget(fit + 1);
        QTest::newRow("longer than a clip: the clip's frames are decoded")
            << GifFixtures::encode(GifFixtures::onePixelFrames(300, 4000, 4000)) << false << 100
            << 100 << QString();
        // 400 frames of 20 ms: a clip frame every 5th frame, the last from frame 395.
        const Gif fast = GifFixtures::onePixelFrames(400, 4000, 4000, 20);
        QTest::newRow("kept speed, dropped frames under whole opaque ones")
            << GifFixtures::encode(fast) << true << 1000 << 80 << QString();
        Gif restoring = fast;
        Gif drawing = fast;
        for (int i = 1; i < fast.frames.size(); ++i) {
            restoring.frames[i].rect = drawing.frames[i].rect = QRect(i % 100, 0, 10, 10);
            restoring.frames[i].disposal = 3;
            drawing.frames[i].disposal = 1;
        }
        QTest::newRow("kept speed, dropped frames that restore the canvas")
            << GifFixtures::encode(restoring) << true << 1000 << 80 << QString();
        QTest::newRow("kept speed, dropped frames that stay on the canvas")
            << GifFixtures::encode(drawing) << true << 1000 << 0 << overBudget(396);
        QTest::newRow("not kept: every frame counts")
            << GifFixtures::encode(fast) << false << 1000 << 0 << overBudget(400);
    }

    void decodingBounded()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, keepSpeed);
        QFETCH(int, maxFrames);
        QFETCH(int, made);
        QFETCH(QString, refusal);
        Run run;
        cut(write(bytes), keepSpeed, &run, maxFrames);
        QCOMPARE(run.error, refusal);
        QCOMPARE(run.ok, refusal.isEmpty());
        QCOMPARE(int(run.frames.size()), made);
        QCOMPARE(run.end.framesMade, made);
    }

    // Frames the timeline drops and that are not decoded leave every clip frame as the GIF
    // reader composes it with every frame decoded.
    void leftOutFramesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // Delays 40, 40, 40, 40, 300 over and over: frames 2 and 4 of each five are dropped.
        const auto timed = [](int disposal, bool whole, bool holes) {
            Gif gif = GifFixtures::frames(15);
            for (int i = 0; i < gif.frames.size(); ++i) {
                GifFixtures::Frame &frame = gif.frames[i];
                frame.delayMs = i % 5 == 4 ? 300 : 40;
                frame.disposal = disposal;
                if (i > 0 && !whole)
                    frame.rect = QRect((5 * i) % 20, (3 * i) % 14, 20, 16);
                frame.transparent = holes ? 9 : -1;
                frame.holeColour = holes ? 9 : -1;
            }
            return GifFixtures::encode(gif);
        };
        QTest::newRow("restoring") << timed(3, false, false);
        QTest::newRow("restoring, transparent holes") << timed(3, false, true);
        QTest::newRow("whole opaque frames") << timed(1, true, false);
        QTest::newRow("whole frames, transparent holes") << timed(1, true, true);
        QTest::newRow("partial frames kept") << timed(1, false, false);
        QTest::newRow("partial frames cleared") << timed(2, false, true);
    }

    void leftOutFramesChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        const QString path = write(bytes);
        QList<QImage> expected;
        QImageReader reader(path);
        GifTimeline timeline(true);
        for (QImage composed = reader.read(); !composed.isNull(); composed = reader.read()) {
            const int copies =
                timeline.copiesOf(GifFrameReader::shownDelay(reader.nextImageDelay()));
            const QImage square =
                RoundSquare::cutFrame(composed, RoundSquare::centredRegion(composed.size()))
                    .convertToFormat(QImage::Format_RGB32);
            for (int i = 0; i < copies; ++i)
                expected.append(square);
        }
        QCOMPARE(expected.size(), 14);
        Run run;
        cut(path, true, &run);
        QVERIFY2(run.ok, qPrintable(run.error));
        QCOMPARE(run.frames.size(), expected.size());
        for (int k = 0; k < expected.size(); ++k)
            QCOMPARE(PictureLoader::load(run.frames[k]->sourcePath).convertToFormat(QImage::Format_RGB32),
                     expected[k]);
    }

    // Two imports of one GIF: every frame file is new, the first import's stay as they were.
    void importsKeepTheirFiles()
    {
        const QString path = write(GifFixtures::encode(GifFixtures::frames(4)));
        Run first;
        cut(path, false, &first);
        QHash<QString, QByteArray> before;
        for (ImageObject *item : std::as_const(first.frames)) {
            QFile file(item->sourcePath);
            QVERIFY(file.open(QIODevice::ReadOnly));
            before.insert(item->sourcePath, file.readAll());
        }
        Run second;
        cut(path, false, &second);
        QCOMPARE(second.frames.size(), 4);
        for (ImageObject *item : std::as_const(second.frames))
            QVERIFY(!before.contains(item->sourcePath));
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            QFile file(it.key());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), it.value());
        }
    }
};

QTEST_GUILESS_MAIN(TestGifCutting)
#include "test_gif_cutting.moc"
