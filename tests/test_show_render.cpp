// Rendering an effect file into a video: frame count for the frame rate, frames that match
// the round pictures of the records, damaged files refused, and a clean stop (no file left)
// when the disk fills or the writer fails.
#include "PrivateMounts.h"

#include "effect/EffectRecordFile.h"
#include "effect/IndexedHeader.h"
#include "effect/LedDataCodec.h"
#include "effect/ShowRenderer.h"
#include "effect/ShowTimeline.h"
#include "effect/VideoFrameSink.h"
#include "import/VideoFile.h"
#include "import/VideoFileSink.h"
#include "model/RoundPreview.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

namespace {

constexpr int kLeds = 8;
constexpr int kLines = 24;

// One record of green, red, blue triples: a solid colour, or noise for a seed >= 0.
QByteArray triplesOf(int leds, int lines, const QColor &colour, int noiseSeed = -1)
{
    QByteArray triples(3 * leds * lines, Qt::Uninitialized);
    QRandomGenerator random(quint32(qMax(0, noiseSeed)));
    for (int i = 0; i < leds * lines; ++i) {
        if (noiseSeed >= 0) {
            const quint32 value = random.generate();
            triples[3 * i] = char(value);
            triples[3 * i + 1] = char(value >> 8);
            triples[3 * i + 2] = char(value >> 16);
        } else {
            triples[3 * i] = char(colour.green());
            triples[3 * i + 1] = char(colour.red());
            triples[3 * i + 2] = char(colour.blue());
        }
    }
    return triples;
}

// An indexed effect file with one record per triples block, as the writer lays it out.
bool writeEffect(const QString &path, const QList<QByteArray> &records,
                 const QList<IndexedHeader::Segment> &segments, int leds, int lines)
{
    IndexedHeader header;
    header.languageByte = 0x22;
    header.recordCount = int(records.size());
    header.segments = segments;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(header.toBytes()) != 4096)
        return false;
    for (const QByteArray &triples : records) {
        const QByteArray data = LedDataCodec::codeSlottedRecord(triples, leds, lines);
        if (file.write(data) != data.size())
            return false;
    }
    return true;
}

// Mean difference per channel of two pictures of the same size.
double difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return 255.0;
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col]))
                   + std::abs(qBlue(p[col]) - qBlue(q[col]));
    }
    return double(sum) / (3.0 * x.width() * x.height());
}

// Stands in for the video file: fails where told and records what happened.
class FakeSink : public VideoFrameSink
{
public:
    enum Where { Nowhere, AtOpen, AtFrame, AtFinish };
    Where failAt = Nowhere;
    int failFrame = 0;
    int frames = 0;
    bool discarded = false;
    bool finished = false;

    bool open(const QString &, int, int) override { return failAt != AtOpen; }
    bool write(const QImage &) override
    {
        if (failAt == AtFrame && frames == failFrame)
            return false;
        ++frames;
        return true;
    }
    bool finish() override
    {
        finished = failAt != AtFinish;
        return finished;
    }
    void discard() override { discarded = true; }
    QString error() const override { return QStringLiteral("injected failure"); }
};

const QList<QColor> kColours{Qt::red, Qt::green, Qt::blue, Qt::white};

} // namespace

class TestShowRender : public QObject
{
    Q_OBJECT
public:
    explicit TestShowRender(bool isolated) : isolated(isolated) {}

private:
    const bool isolated;
    QTemporaryDir dir;
    QStringList mounted;

    // Red 0.3 s, green 0.2 s, then blue and white as a clip played twice: 0.9 s.
    QString colourShow()
    {
        const QString path = dir.filePath(QStringLiteral("colours.bin"));
        QList<QByteArray> records;
        for (const QColor &colour : kColours)
            records << triplesOf(kLeds, kLines, colour);
        if (!QFile::exists(path))
            writeEffect(path, records, {{1, 1, 3, 1}, {2, 2, 2, 1}, {3, 4, 1, 2}}, kLeds, kLines);
        return path;
    }

    // The slotted layout: red 0.2 s and green 0.4 s in the first two of the 100 picture
    // slots, then a clip of blue and white at 0.2 s a frame, played once: 1 s.
    QString slottedColourShow()
    {
        const QString path = dir.filePath(QStringLiteral("colours-slotted.bin"));
        if (QFile::exists(path))
            return path;
        QByteArray bytes(120, '\0');
        bytes[7] = 2;   // frames of clip 1
        bytes[12] = 1;  // its loop count
        bytes[19] = 2;  // pictures
        bytes[20] = 1;  // 0.2 s
        bytes[21] = 2;  // 0.4 s
        for (int slot = 0; slot < 100; ++slot)
            bytes += triplesOf(kLeds, kLines, slot < 2 ? kColours[slot] : QColor(Qt::black));
        bytes += triplesOf(kLeds, kLines, kColours[2]) + triplesOf(kLeds, kLines, kColours[3]);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }

    // A clip of `frames` noise records at the default geometry: frames that compress badly.
    QString noiseShow(int frames)
    {
        const QString path = dir.filePath(QStringLiteral("noise.bin"));
        if (QFile::exists(path))
            return path;
        QList<QByteArray> records;
        for (int k = 0; k < frames; ++k)
            records << triplesOf(112, 430, Qt::black, k);
        writeEffect(path, records, {{1, frames, 1, 1}}, 112, 430);
        return path;
    }

private slots:
    void cleanupTestCase()
    {
        for (const QString &path : std::as_const(mounted))
            PrivateMounts::unmount(path);
    }

    void videoHoldsTheShowFrameByFrame_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fps");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("slotted");
        QTest::addColumn<QList<int>>("records");

        QTest::newRow("mp4 at 10 fps") << "show.mp4" << 10 << 64 << false
                                       << QList<int>{0, 0, 0, 1, 1, 2, 3, 2, 3};
        QTest::newRow("avi at 4 fps") << "show.avi" << 4 << 96 << false
                                      << QList<int>{0, 0, 2, 2};
        QTest::newRow("slotted layout, mp4 at 10 fps")
            << "slotted.mp4" << 10 << 64 << true
            << QList<int>{0, 0, 1, 1, 1, 1, 100, 100, 101, 101};
        QTest::newRow("mp4 at 25 fps, 450 px") << "big.mp4" << 25 << 450 << false
                                               << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1,
                                                             1, 1, 2, 2, 3, 3, 3, 2, 2, 3, 3,
                                                             3};
    }

    void videoHoldsTheShowFrameByFrame()
    {
        QFETCH(QString, name);
        QFETCH(int, fps);
        QFETCH(int, side);
        QFETCH(bool, slotted);
        QFETCH(QList<int>, records);
        QString error;
        const auto file = EffectRecordFile::open(slotted ? slottedColourShow() : colourShow(),
                                                 kLeds, kLines, &error);
        QVERIFY2(file, qPrintable(error));
        const ShowTimeline timeline = ShowTimeline::fromInfo(file->info());
        QCOMPARE(timeline.frameCount(fps), qint64(records.size()));
        for (int i = 0; i < records.size(); ++i)
            QCOMPARE(timeline.recordOfFrame(i, fps), records[i]);

        ShowRenderer renderer(*file, timeline, {side, fps, {}});
        VideoFileSink sink;
        const QString out = dir.filePath(name);
        const std::atomic<bool> keepGoing{true};
        const ShowRenderer::Result result = renderer.render(sink, out, keepGoing);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.framesWritten, qint64(records.size()));

        VideoFile video;
        QVERIFY2(video.open(out), qPrintable(video.errorString()));
        QCOMPARE(video.fps(), double(fps));
        // The round pictures of the records the show lights, drawn the renderer's way.
        QMap<int, QImage> previews;
        for (int record : std::as_const(records))
            previews.insert(record, renderer.frameOf(record));
        int frame = 0;
        for (QImage image = video.read(); !image.isNull(); image = video.read(), ++frame) {
            QVERIFY2(frame < records.size(), "more frames than the show lasts");
            QCOMPARE(image.size(), QSize(side, side));
            const int expected = records[frame];
            const double near = difference(image, previews[expected]);
            // The writer's bit rate grows with the frame's pixels, so small frames blur the
            // dots more; a frame of another record is off by far more than this anyway.
            const double allowed = side >= 450 ? 6.0 : 16.0;
            QVERIFY2(near < allowed, qPrintable(QStringLiteral("frame %1 differs by %2")
                                                    .arg(frame).arg(near)));
            for (auto other = previews.cbegin(); other != previews.cend(); ++other) {
                if (other.key() != expected)
                    QVERIFY(difference(image, other.value()) > near);
            }
        }
        QCOMPARE(frame, records.size());
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");

        const QString good = colourShow();
        QFile file(good);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        QByteArray noEndMagic = whole;
        noEndMagic[3024] = 0;
        QByteArray badTable = whole;
        badTable[16 + 6 + 1] = 9;  // the second entry starts at record 9

        QTest::newRow("cut short by one block") << whole.left(whole.size() - 4096)
                                                << "damaged or of another geometry";
        QTest::newRow("one byte too many") << whole + QByteArray(1, '\0')
                                           << "damaged or of another geometry";
        QTest::newRow("end magic gone") << noEndMagic << "magic";
        QTest::newRow("segment table with a gap") << badTable << "record";
        QTest::newRow("shorter than a header") << QByteArray(100, '\x11') << "shorter";
        QTest::newRow("empty") << QByteArray() << "shorter";
    }

    void damagedFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString path = dir.filePath(QStringLiteral("damaged.bin"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        QString error;
        QVERIFY(!EffectRecordFile::open(path, kLeds, kLines, &error));
        QVERIFY2(error.contains(path) && error.contains(reason, Qt::CaseInsensitive),
                 qPrintable(error));
        QVERIFY(!error.contains(u'\n'));
    }

    void failuresLeaveNothing_data()
    {
        QTest::addColumn<int>("where");
        QTest::addColumn<int>("failFrame");
        QTest::addColumn<bool>("keepGoing");
        QTest::addColumn<int>("framesWritten");

        QTest::newRow("cannot open") << int(FakeSink::AtOpen) << 0 << true << 0;
        QTest::newRow("first frame fails") << int(FakeSink::AtFrame) << 0 << true << 0;
        QTest::newRow("fifth frame fails") << int(FakeSink::AtFrame) << 4 << true << 4;
        QTest::newRow("completing fails") << int(FakeSink::AtFinish) << 0 << true << 9;
        QTest::newRow("interrupted") << int(FakeSink::Nowhere) << 0 << false << 0;
    }

    void failuresLeaveNothing()
    {
        QFETCH(int, where);
        QFETCH(int, failFrame);
        QFETCH(bool, keepGoing);
        QFETCH(int, framesWritten);
        QString error;
        const auto file = EffectRecordFile::open(colourShow(), kLeds, kLines, &error);
        QVERIFY2(file, qPrintable(error));
        ShowRenderer renderer(*file, ShowTimeline::fromInfo(file->info()), {32, 10, {}});
        FakeSink sink;
        sink.failAt = FakeSink::Where(where);
        sink.failFrame = failFrame;
        const std::atomic<bool> going{keepGoing};
        const ShowRenderer::Result result = renderer.render(sink, QStringLiteral("x.mp4"), going);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(result.framesWritten, qint64(framesWritten));
        QCOMPARE(sink.frames, framesWritten);
        // An output that was opened is always taken away again.
        QCOMPARE(sink.discarded, where != FakeSink::AtOpen);
        QVERIFY(!sink.finished);
    }

    void fullDiskStopsAndRemovesTheVideo_data()
    {
        QTest::addColumn<bool>("realDisk");
        QTest::newRow("free space reported running out") << false;
        QTest::newRow("a small tmpfs fills up") << true;
    }

    void fullDiskStopsAndRemovesTheVideo()
    {
        QFETCH(bool, realDisk);
        if (realDisk && !isolated)
            QSKIP("no private mount namespace: a small disk cannot be simulated");
        const int frames = 200;
        QString error;
        const auto file = EffectRecordFile::open(noiseShow(frames), 112, 430, &error);
        QVERIFY2(file, qPrintable(error));
        const QString target = dir.filePath(realDisk ? QStringLiteral("small")
                                                     : QStringLiteral("roomy"));
        QVERIFY(QDir().mkpath(target));
        VideoFileSink::SpaceProbe probe;
        if (realDisk) {
            // Room for the reserve and half a megabyte of video.
            QVERIFY(PrivateMounts::mountTmpfs(target, QStringLiteral("smallcard"), "size=1536k"));
            mounted << target;
        } else {
            auto looks = std::make_shared<int>(0);
            probe = [looks](const QString &) -> qint64 {
                return ++*looks < 4 ? 100 * 1024 * 1024 : VideoFileSink::kReserveBytes - 1;
            };
        }
        ShowRenderer renderer(*file, ShowTimeline::fromInfo(file->info()), {450, 10, {}});
        VideoFileSink sink(probe);
        const QString out = target + QStringLiteral("/show.mp4");
        const std::atomic<bool> keepGoing{true};
        const ShowRenderer::Result result = renderer.render(sink, out, keepGoing);
        QVERIFY2(!result.ok, "the render claims success on a full disk");
        QVERIFY2(result.error.contains(QStringLiteral("disk is full"))
                     || result.error.contains(QStringLiteral("holds")),
                 qPrintable(result.error));
        QVERIFY(result.framesWritten < frames);
        QVERIFY(!QFile::exists(out));
        QVERIFY(QDir(target).entryList(QDir::Files).isEmpty());
    }
};

int main(int argc, char **argv)
{
    // The small disk is a mount in the test's own mount namespace.
    const bool isolated = PrivateMounts::enterNamespace();
    QGuiApplication app(argc, argv);
    TestShowRender test(isolated);
    return QTest::qExec(&test, argc, argv);
}

#include "test_show_render.moc"
