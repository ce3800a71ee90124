// Cutting a clip from a video: which frames are kept and when, the frames' order, the
// hand-over's back-pressure, cancel, and the failures a run must report instead of
// delivering a wrong or empty clip.
#include "VideoFixtures.h"

#include "app/AppGlobals.h"
#include "import/CutImageThread.h"
#include "import/CutRegion.h"
#include "import/FrameHandOver.h"
#include "import/FrameProducer.h"
#include "import/FrameSchedule.h"
#include "import/VideoClipCutter.h"
#include "import/VideoFile.h"
#include "model/PictureLoader.h"
#include "video/VideoFrameImage.h"
#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <opencv2/core.hpp>

#include <malloc.h>
#include <sys/resource.h>

#include <climits>
#include <memory>
#include <new>
#include <stdexcept>

using VideoFixtures::Codec;

namespace {

bool video25fpsOpens(const QString &path)
{
    VideoFile video;
    return video.open(path) && video.fps() == 25.0;
}

const QSize kFrame(160, 120);

// Where a 160 x 120 frame lands in the square when the region is centred at zoom 0.
QRect frameInSquare()
{
    const QPoint topLeft = CutRegion::centredTopLeft(kFrame);
    return QRect(-topLeft, kFrame);
}

VideoCut wholeCut(const QString &path, qint64 start, qint64 end)
{
    VideoCut cut;
    cut.path = path;
    cut.startFrame = start;
    cut.endFrame = end;
    cut.topLeft = CutRegion::centredTopLeft(kFrame);
    return cut;
}

QStringList frameFiles()
{
    return QDir(workDirectory()).entryList({QStringLiteral("loadMedia_*")}, QDir::Files);
}

// A producer whose source fails the way a decoder that cannot allocate does.
class ThrowingProducer : public FrameProducer
{
public:
    ThrowingProducer(FrameHandOver *handOver, int kind)
        : FrameProducer(handOver, QSize()), kind(kind)
    {
    }
    ~ThrowingProducer() override { stopAndWait(); }

protected:
    void produce() override
    {
        if (kind == 0)
            throw std::bad_alloc();
        if (kind == 1)
            cv::error(cv::Error::StsNoMem, "Failed to allocate 768000000 bytes", "decode",
                      __FILE__, __LINE__);
        throw std::runtime_error("decoder gone");
    }

private:
    const int kind;
};

// Bytes of address space the process has mapped.
rlim_t mappedBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const rlim_t pages = statm.readAll().split(' ').value(0).toULongLong();
    return pages * rlim_t(sysconf(_SC_PAGESIZE));
}

constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

} // namespace

class TestVideoCutting : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir videos;
    std::unique_ptr<QTemporaryDir> work;

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("hologram.*=false"));
        QVERIFY(videos.isValid());
    }

    void init()
    {
        work = std::make_unique<QTemporaryDir>();
        QVERIFY(work->isValid());
        initAppGlobals(work->path());
        setWorkDirectory(work->path());
    }

    void schedule_data()
    {
        QTest::addColumn<double>("fps");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QList<qint64>>("firstFrames");
        QTest::addColumn<float>("lastMs");

        QTest::newRow("25 fps, 10 s from frame 0")
            << 25.0 << qint64(0) << qint64(250) << 101 << QList<qint64>{0, 2, 5, 7, 10} << 10000.0f;
        QTest::newRow("NTSC 30000/1001, 10 s")
            << 30000.0 / 1001.0 << qint64(0) << qint64(299) << 100
            << QList<qint64>{0, 2, 5, 8, 11} << 9900.0f;
        QTest::newRow("start equal to end") << 25.0 << qint64(40) << qint64(40) << 1
                                            << QList<qint64>{40} << 1600.0f;
        QTest::newRow("5 fps: neighbours share a frame")
            << 5.0 << qint64(0) << qint64(3) << 7 << QList<qint64>{0, 0, 1, 1, 2} << 600.0f;
        QTest::newRow("end before start") << 25.0 << qint64(10) << qint64(9) << 0
                                          << QList<qint64>{} << 0.0f;
    }

    void schedule()
    {
        QFETCH(double, fps);
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        QFETCH(int, samples);
        QFETCH(QList<qint64>, firstFrames);
        QFETCH(float, lastMs);

        FrameSchedule schedule(start, end, fps);
        QCOMPARE(schedule.sampleCount(), samples);
        QList<qint64> frames;
        float last = 0.0f;
        int walked = 0;
        for (; !schedule.atEnd(); schedule.advance(), ++walked) {
            if (frames.size() < firstFrames.size())
                frames.append(schedule.frameIndex());
            QVERIFY(qAbs(schedule.frameTimeMs() - (start * 1000.0 / fps + 100.0 * walked)) < 0.01);
            last = schedule.frameTimeMs();
        }
        QCOMPARE(walked, samples);
        QCOMPARE(frames, firstFrames);
        QVERIFY(qAbs(last - lastMs) < 0.01f);
    }

    void frameOfSeconds_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("fps");
        QTest::addColumn<qint64>("frame");
        QTest::newRow("0.3 s at 10 fps") << 0.3 << 10.0 << qint64(3);
        QTest::newRow("1 s at NTSC") << 1.0 << 30000.0 / 1001.0 << qint64(29);
        QTest::newRow("negative") << -1.0 << 25.0 << qint64(-1);
        QTest::newRow("not a number") << qQNaN() << 25.0 << qint64(-1);
        QTest::newRow("beyond any video") << 1e300 << 25.0 << FrameSchedule::kBeyondAnyVideo;
        QTest::newRow("infinite fps") << 1.0 << qInf() << FrameSchedule::kBeyondAnyVideo;
    }

    void frameOfSeconds()
    {
        QFETCH(double, seconds);
        QFETCH(double, fps);
        QFETCH(qint64, frame);
        QCOMPARE(FrameSchedule::frameOfSeconds(seconds, fps), frame);
    }

    // Which frames a run cuts, with their numbers, times and pictures, and that a stretch
    // past the last readable frame ends there and still completes.
    void cutsTheScheduledFrames_data()
    {
        QTest::addColumn<int>("codec");
        QTest::addColumn<double>("fps");
        QTest::addColumn<int>("frames");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<QList<int>>("expected");

        QTest::newRow("MJPEG 25 fps, 2 s") << int(Codec::Mjpeg) << 25.0 << 60 << qint64(0)
                                           << qint64(50)
                                           << QList<int>{0, 2, 5, 7, 10, 12, 15, 17, 20, 22, 25,
                                                         27, 30, 32, 35, 37, 40, 42, 45, 47, 50};
        QTest::newRow("MPEG-4 NTSC from frame 7")
            << int(Codec::Mpeg4) << 30000.0 / 1001.0 << 40 << qint64(7) << qint64(20)
            << QList<int>{7, 9, 12, 15, 18};
        QTest::newRow("start equal to end") << int(Codec::Mjpeg) << 25.0 << 30 << qint64(13)
                                            << qint64(13) << QList<int>{13};
        QTest::newRow("5 fps, samples share frames") << int(Codec::Mjpeg) << 5.0 << 4 << qint64(0)
                                                     << qint64(3)
                                                     << QList<int>{0, 0, 1, 1, 2, 2, 3};
        QTest::newRow("end past the last readable frame")
            << int(Codec::Mjpeg) << 10.0 << 12 << qint64(5) << qint64(444)
            << QList<int>{5, 6, 7, 8, 9, 10, 11};
    }

    void cutsTheScheduledFrames()
    {
        QFETCH(int, codec);
        QFETCH(double, fps);
        QFETCH(int, frames);
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        QFETCH(QList<int>, expected);

        const QString path = VideoFixtures::write(videos.path(), QString::fromLatin1(QTest::currentDataTag()) + ".avi",
                                                  Codec(codec), fps, frames);
        QVERIFY(!path.isEmpty());
        VideoClipCutter cutter(wholeCut(path, start, end));
        QVERIFY2(cutter.runToEnd(), qPrintable(cutter.errorString()));
        const QList<ImageObject *> clip = cutter.takeFrames();
        QList<int> cut;
        for (int k = 0; k < clip.size(); ++k) {
            ImageObject *item = clip[k];
            QCOMPARE(item->number, k + 1);
            QCOMPARE(item->kind, int(ImageObject::KindVideoFrame));
            QVERIFY(qAbs(item->frameTime - float(start * 1000.0 / fps + 100.0 * k)) < 0.01f);
            QVERIFY(!item->readLedData().isEmpty());
            const QImage square = PictureLoader::load(item->sourcePath);
            QCOMPARE(square.size(), QSize(RoundSquare::Side, RoundSquare::Side));
            // The clip's row shows its first frame; the other frames keep no thumbnail.
            QCOMPARE(QFile::exists(item->thumbnailPath()), k == 0);
            if (k == 0)
                QCOMPARE(item->loadThumbnail().convertToFormat(QImage::Format_RGB32),
                         RoundSquare::thumbnailOf(square).convertToFormat(QImage::Format_RGB32));
            cut.append(VideoFixtures::indexIn(square, frameInSquare()));
        }
        QCOMPARE(cut, expected);
        for (ImageObject *item : clip)
            FrameHandOver::dispose(item);
        QVERIFY(frameFiles().isEmpty());
    }

    void framesAreSampledAsTheCutSays_data()
    {
        QTest::addColumn<SamplingMode>("mode");
        QTest::newRow("sharp") << SamplingMode::Sharp;
        QTest::newRow("smooth") << SamplingMode::Smooth;
    }

    // Every frame item keeps the cut's sampling and is converted with it: its LED data is
    // what converting its square with that mode gives.
    void framesAreSampledAsTheCutSays()
    {
        QFETCH(SamplingMode, mode);
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("sampled.avi"),
                                                  Codec::Mjpeg, 10.0, 3, QSize(600, 500));
        QVERIFY(!path.isEmpty());
        VideoCut cut = wholeCut(path, 0, 2);
        cut.topLeft = QPoint(75, 25);
        cut.sampling = mode;
        VideoClipCutter cutter(cut);
        QVERIFY2(cutter.runToEnd(), qPrintable(cutter.errorString()));
        const QList<ImageObject *> clip = cutter.takeFrames();
        QVERIFY(!clip.isEmpty());
        for (ImageObject *item : clip) {
            QCOMPARE(item->sampling, mode);
            ImageObject again(1, QString(), 10.0, ImageObject::KindVideoFrame);
            again.sampling = mode;
            convertPicture(PictureLoader::load(item->sourcePath), &again, nullptr,
                           ReadImageThread::SamplingPreview::Skip);
            QCOMPARE(item->readLedData(), again.readLedData());
            FrameHandOver::dispose(item);
        }
    }

    // Reading in order after one seek keeps exactly the frames a seek before every sample
    // gives, on H.264 with B-frames (where a seek decodes again from a key frame).
    void sequentialEqualsSeekingPerSample()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("bframes.mp4"),
                                                  Codec::H264, 25.0, 120);
        if (path.isEmpty())
            QSKIP("no H.264 encoder in this OpenCV");
        const qint64 start = 37, end = 110;
        VideoCut cut = wholeCut(path, start, end);
        VideoClipCutter cutter(cut);
        QVERIFY2(cutter.runToEnd(), qPrintable(cutter.errorString()));
        const QList<ImageObject *> clip = cutter.takeFrames();

        VideoFile video;
        QVERIFY(video.open(path));
        FrameSchedule schedule(start, end, video.fps());
        int k = 0;
        for (; !schedule.atEnd(); schedule.advance(), ++k) {
            QVERIFY(k < clip.size());
            QVERIFY(video.seek(schedule.frameIndex()));
            const QImage seeked = RoundSquare::cutFrame(video.read(), cut.topLeft);
            const QImage sequential = PictureLoader::load(clip[k]->sourcePath).convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(VideoFixtures::indexIn(sequential, frameInSquare()), int(schedule.frameIndex()));
            QVERIFY2(seeked == sequential, qPrintable(QString::number(k)));
        }
        QCOMPARE(k, clip.size());
        qDeleteAll(clip);
    }

    void handOverGivesVideoOrder()
    {
        FrameHandOver handOver;
        for (int number : {3, 1, 4, 2, 5})
            handOver.addFinished(new ImageObject(number, QString(), 10.0, ImageObject::KindVideoFrame));
        const QList<ImageObject *> frames = handOver.takeFinished();
        QList<int> numbers;
        for (const ImageObject *item : frames)
            numbers.append(item->number);
        QCOMPARE(numbers, (QList<int>{1, 2, 3, 4, 5}));
        qDeleteAll(frames);
    }

    // With no converter the cutter fills the hand-over and waits; stopping it ends the
    // thread at once, and the hand-over deletes the waiting frames and their files.
    void cancelWhileTheCutterWaits()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("wait.avi"),
                                                  Codec::Mjpeg, 25.0, 100);
        auto handOver = std::make_unique<FrameHandOver>();
        auto cutter = std::make_unique<CutImageThread>(wholeCut(path, 0, 99), handOver.get());
        cutter->start();
        QTRY_COMPARE(handOver->waitingCount(), FrameHandOver::MaxWaiting);
        QVERIFY(cutter->isRunning());
        QVERIFY(frameFiles().size() <= FrameHandOver::MaxWaiting);
        QElapsedTimer clock;
        clock.start();
        cutter.reset();
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(handOver->mostWaiting(), FrameHandOver::MaxWaiting);
        handOver.reset();
        QVERIFY(frameFiles().isEmpty());
    }

    void cancelDuringARun()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("cancel.avi"),
                                                  Codec::Mjpeg, 25.0, 250);
        VideoClipCutter cutter(wholeCut(path, 0, 249));
        QSignalSpy progress(&cutter, &VideoClipCutter::progress);
        QSignalSpy finished(&cutter, &VideoClipCutter::finished);
        cutter.start();
        QVERIFY(progress.wait(10000));
        QElapsedTimer clock;
        clock.start();
        cutter.cancel();
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!cutter.isRunning());
        QVERIFY(cutter.takeFrames().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 0);
        QVERIFY(frameFiles().isEmpty());
        QCOMPARE(QDir(workDirectory()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 0);
    }

    void completesOnceBySignal()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("once.avi"),
                                                  Codec::Mjpeg, 25.0, 30);
        VideoClipCutter cutter(wholeCut(path, 0, 29));
        QSignalSpy finished(&cutter, &VideoClipCutter::finished);
        cutter.start();
        QVERIFY(finished.wait(20000));
        QCoreApplication::processEvents();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        const QList<ImageObject *> clip = cutter.takeFrames();
        QCOMPARE(clip.size(), 12);
        QVERIFY(cutter.mostWaiting() <= FrameHandOver::MaxWaiting);
        qDeleteAll(clip);
    }

    // Previews are offered one at a time: untaken, one signal stands for the newest.
    void onlyTheNewestPreviewWaits()
    {
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("preview.avi"),
                                                  Codec::Mjpeg, 25.0, 50);
        VideoCut cut = wholeCut(path, 0, 49);
        cut.previewSize = QSize(90, 90);
        VideoClipCutter cutter(cut);
        QSignalSpy previews(&cutter, &VideoClipCutter::previewReady);
        QSignalSpy finished(&cutter, &VideoClipCutter::finished);
        cutter.start();
        QVERIFY(finished.wait(20000));
        QCOMPARE(previews.size(), 1);
        qDeleteAll(cutter.takeFrames());
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("error");
        QTest::newRow("stretch past the end") << QStringLiteral("past") << QStringLiteral("no frame could be read from the chosen stretch");
        QTest::newRow("frame file not saved") << QStringLiteral("unsaved") << QStringLiteral("cannot save the frame picture");
        QTest::newRow("not a video") << QStringLiteral("garbage") << QStringLiteral("cannot be decoded as a video");
    }

    void failuresAreReported()
    {
        QFETCH(QString, what);
        QFETCH(QString, error);
        QString path = VideoFixtures::write(videos.path(), QStringLiteral("fail.avi"), Codec::Mjpeg, 25.0, 20);
        VideoCut cut = wholeCut(path, 0, 19);
        if (what == QLatin1String("past")) {
            cut.startFrame = 300;
            cut.endFrame = 310;
        } else if (what == QLatin1String("unsaved")) {
            // The work directory's place is taken by a file: nothing can be saved there.
            const QString blocked = work->filePath(QStringLiteral("blocked"));
            QFile file(blocked);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            setWorkDirectory(blocked);
        } else {
            cut.path = work->filePath(QStringLiteral("garbage.mp4"));
            QFile file(cut.path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(5000, 'x'));
        }
        VideoClipCutter cutter(cut);
        QSignalSpy finished(&cutter, &VideoClipCutter::finished);
        cutter.start();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY2(cutter.errorString().contains(error), qPrintable(cutter.errorString()));
        QVERIFY(cutter.takeFrames().isEmpty());
        setWorkDirectory(work->path());
        QVERIFY(frameFiles().isEmpty());
    }

    // Frames over the pictures' pixel limit are refused from the size the stream reports,
    // before any frame is decoded, by the file and by a cutting run alike.
    void hugeFramesRefused_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("16000 x 16000")
            << QSize(16000, 16000)
            << QStringLiteral("each frame of 16000 x 16000 pixels (256 megapixels) is over the "
                              "limit of 200 megapixels");
        QTest::newRow("14143 x 14143")
            << QSize(14143, 14143)
            << QStringLiteral("each frame of 14143 x 14143 pixels (200.1 megapixels) is over "
                              "the limit of 200 megapixels");
        QTest::newRow("60000 x 4000")
            << QSize(60000, 4000)
            << QStringLiteral("each frame of 60000 x 4000 pixels (240 megapixels) is over the "
                              "limit of 200 megapixels");
        QTest::newRow("14000 x 14000: within the limit") << QSize(14000, 14000) << QString();
    }

    void hugeFramesRefused()
    {
        QFETCH(QSize, size);
        QFETCH(QString, refusal);
        const QString small = VideoFixtures::write(videos.path(), QStringLiteral("small.avi"),
                                                   Codec::Mjpeg, 25.0, 5);
        const QString path =
            VideoFixtures::withFrameSize(small, work->filePath(QStringLiteral("huge.avi")), size);
        QVERIFY(!path.isEmpty());
        VideoFile video;
        QCOMPARE(video.open(path), refusal.isEmpty());
        if (refusal.isEmpty()) {
            QCOMPARE(video.frameSize(), size);
            return;
        }
        QCOMPARE(video.errorString(), refusal);
        QVERIFY(!video.isOpen());
        VideoClipCutter cutter(wholeCut(path, 0, 4));
        QVERIFY(!cutter.runToEnd());
        QCOMPARE(cutter.errorString(), refusal);
        QVERIFY(frameFiles().isEmpty());
    }

    // A decoder that cannot allocate a frame fails the read with its reason, instead of
    // throwing out of the program or passing for the video's end.
    void decoderFailureIsReported_data()
    {
        QTest::addColumn<bool>("region");
        QTest::newRow("whole frame") << false;
        QTest::newRow("region") << true;
    }

    void decoderFailureIsReported()
    {
        QFETCH(bool, region);
        if (kSanitized)
            QSKIP("the sanitizers' allocators end the program when an allocation fails");
        // In a process of its own: what earlier tests left free in the heap would serve
        // the allocation that is meant to fail.
        if (!qEnvironmentVariableIsSet("HD_DECODER_FAILURE_RUN")) {
            QProcess run;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("HD_DECODER_FAILURE_RUN"), QStringLiteral("1"));
            run.setProcessEnvironment(environment);
            run.setProcessChannelMode(QProcess::MergedChannels);
            run.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("decoderFailureIsReported:%1")
                           .arg(QString::fromUtf8(QTest::currentDataTag()))});
            QVERIFY(run.waitForFinished(60000));
            const QByteArray output = run.readAll();
            QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
                     output.constData());
            QVERIFY2(output.contains("Totals: 3 passed, 0 failed"), output.constData());
            return;
        }
        const QString path = VideoFixtures::write(videos.path(), QStringLiteral("wide.avi"),
                                                  Codec::Mjpeg, 25.0, 8, QSize(1600, 1600));
        QVERIFY(!path.isEmpty());
        // Large blocks each get a mapping of their own, given back when freed.
        mallopt(M_MMAP_THRESHOLD, 1 << 20);
        VideoFile video;
        QVERIFY(video.open(path));
        // The decoder's own buffers are made for the first frames and kept; a read then
        // allocates only the 7.7 MB frame it hands out.
        for (int i = 0; i < 3; ++i)
            QVERIFY(!video.read().isNull());
        malloc_trim(0);
        rlimit unlimited{};
        QCOMPARE(getrlimit(RLIMIT_AS, &unlimited), 0);
        rlimit tight = unlimited;
        tight.rlim_cur = mappedBytes() + (2 << 20);
        QVERIFY(tight.rlim_cur > (2 << 20));
        QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
        QPoint origin;
        const QImage frame = region ? video.readRegion(QRect(0, 0, 450, 450), &origin)
                                    : video.read();
        setrlimit(RLIMIT_AS, &unlimited);
        QVERIFY(frame.isNull());
        QVERIFY(video.failed());
        QVERIFY2(video.errorString().startsWith(
                     QStringLiteral("the decoder failed on a frame of 1600 x 1600 pixels (")),
                 qPrintable(video.errorString()));
        // The next frame is read again once memory allows.
        QVERIFY(!video.read().isNull());
    }

    // An exception out of a producer fails the run with its reason; the program goes on.
    void producerExceptionFailsTheRun_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("std::bad_alloc")
            << 0 << QStringLiteral("the frames could not be made (out of memory)");
        QTest::newRow("cv::Exception") << 1 << QStringLiteral("Failed to allocate 768000000 bytes");
        QTest::newRow("other") << 2 << QStringLiteral("the frames could not be made (decoder gone)");
    }

    void producerExceptionFailsTheRun()
    {
        QFETCH(int, kind);
        QFETCH(QString, error);
        VideoClipCutter cutter(
            [kind](FrameHandOver *handOver) {
                return std::make_unique<ThrowingProducer>(handOver, kind);
            },
            false);
        QVERIFY(!cutter.runToEnd());
        QVERIFY2(cutter.errorString().contains(error), qPrintable(cutter.errorString()));
        QVERIFY(!cutter.madeNoFrame());
    }

    void refusesWhatIsNoVideo_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<quint32>("rate");
        QTest::newRow("empty file") << QByteArray() << 0u;
        QTest::newRow("text") << QByteArray("not a video at all\n").repeated(50) << 0u;
        QTest::newRow("5,000,000 frames per second") << QByteArray() << 5000000u;
        QTest::newRow("1001 frames per second") << QByteArray() << 1001u;
    }

    void refusesWhatIsNoVideo()
    {
        QFETCH(QByteArray, content);
        QFETCH(quint32, rate);
        QString path = work->filePath(QStringLiteral("bad.avi"));
        if (rate != 0) {
            const QString fine = VideoFixtures::write(videos.path(), QStringLiteral("rate.avi"),
                                                      Codec::Mjpeg, 25.0, 10);
            path = VideoFixtures::withFrameRate(fine, path, 1, rate);
            QVERIFY(!path.isEmpty());
            QVERIFY(video25fpsOpens(fine));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        VideoFile video;
        QVERIFY(!video.open(path));
        QVERIFY(!video.errorString().isEmpty());
        QVERIFY(!video.isOpen());
        QVERIFY(video.read().isNull());
    }

    void frameConversion_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QRgb>("pixel");
        QTest::newRow("empty matrix, type 0 like grey") << CV_8UC1 << true << QRgb(0);
        QTest::newRow("grey") << CV_8UC1 << false << qRgb(7, 7, 7);
        QTest::newRow("BGR") << CV_8UC3 << false << qRgb(9, 8, 7);
        QTest::newRow("BGRA") << CV_8UC4 << false << qRgba(9, 8, 7, 6);
        QTest::newRow("16-bit") << CV_16UC1 << false << QRgb(0);
    }

    void frameConversion()
    {
        QFETCH(int, type);
        QFETCH(bool, empty);
        QFETCH(QRgb, pixel);
        cv::Mat frame;
        if (!empty) {
            // A view into a wider matrix: rows have a stride beyond their width.
            cv::Mat wide(3, 9, type, cv::Scalar(7, 8, 9, 6));
            frame = wide(cv::Rect(1, 0, 5, 3));
        }
        const QImage image = VideoFrameImage::fromMat(frame);
        if (pixel == 0) {
            QVERIFY(image.isNull());
            return;
        }
        QCOMPARE(image.size(), QSize(5, 3));
        QCOMPARE(image.pixel(4, 2), pixel);
    }

    void region_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("1000 x 800 at start") << QSize(1000, 800) << 0 << QSize(1000, 800) << QPoint(275, 175);
        QTest::newRow("one step in") << QSize(1000, 800) << 1 << QSize(1100, 880) << QPoint(325, 215);
        QTest::newRow("two steps out") << QSize(1000, 800) << -2 << QSize(800, 640) << QPoint(175, 95);
        QTest::newRow("1001 x 801 one step out") << QSize(1001, 801) << -1 << QSize(901, 721) << QPoint(225, 135);
        QTest::newRow("300 x 300") << QSize(300, 300) << 0 << QSize(300, 300) << QPoint(-75, -75);
        QTest::newRow("nine steps out") << QSize(1000, 800) << -9 << QSize(100, 80) << QPoint(-175, -185);
        QTest::newRow("ten steps out: nothing left") << QSize(1000, 800) << -10 << QSize() << QPoint();
        QTest::newRow("eleven steps out") << QSize(1000, 800) << -11 << QSize() << QPoint();
        QTest::newRow("twenty steps in") << QSize(10, 10) << 20 << QSize(30, 30) << QPoint(-210, -210);
        QTest::newRow("twenty-one steps in") << QSize(10, 10) << 21 << QSize() << QPoint();
    }

    void region()
    {
        QFETCH(QSize, source);
        QFETCH(int, zoom);
        QFETCH(QSize, shown);
        QFETCH(QPoint, topLeft);
        const QSize zoomed = CutRegion::zoomedSize(source, zoom);
        QCOMPARE(zoomed, shown);
        if (shown.isValid())
            QCOMPARE(CutRegion::centredTopLeft(zoomed), topLeft);
    }

    void squareMustCoverThePicture_data()
    {
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<bool>("covers");
        QTest::newRow("centred") << QPoint(275, 175) << true;
        QTest::newRow("one pixel at the bottom right") << QPoint(999, 799) << true;
        QTest::newRow("one pixel at the top left") << QPoint(-449, -449) << true;
        QTest::newRow("just right of it") << QPoint(1000, 0) << false;
        QTest::newRow("just above it") << QPoint(0, -450) << false;
        QTest::newRow("at the largest int") << QPoint(INT_MAX, INT_MAX) << false;
        QTest::newRow("at the smallest int") << QPoint(INT_MIN, INT_MIN) << false;
        QTest::newRow("left end, in height") << QPoint(INT_MIN, 0) << false;
    }

    void squareMustCoverThePicture()
    {
        QFETCH(QPoint, topLeft);
        QFETCH(bool, covers);
        QCOMPARE(CutRegion::coversPicture(topLeft, QSize(1000, 800)), covers);
    }
};

QTEST_GUILESS_MAIN(TestVideoCutting)
#include "test_video_cutting.moc"
