// A GIF's cutting run without the window: which frames a clip gets and in which order, how
// a damaged or unreadable GIF ends, the GIF's own speed kept on request, and frames composed
// as the GIF reader composes them.
#include "GifFixtures.h"

#include "app/AppGlobals.h"
#include "import/FrameHandOver.h"
#include "import/GifCut.h"
#include "import/GifCutThread.h"
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
