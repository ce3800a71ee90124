// The show as the display plays it: record order, times as stored, clip loops, and where a
// video frame or a moment of the show lands.
#include "effect/EffectFileInfo.h"
#include "effect/EffectPlaylist.h"
#include "effect/IndexedHeader.h"
#include "effect/ShowTimeline.h"
#include "effect/SlottedHeader.h"

#include <QtTest>

using Shown = ShowTimeline::Shown;
using ShownList = QList<Shown>;
using ClipShapes = QList<QPair<int, int>>; // frames, loop count

namespace {

// The timeline only counts frames and reads times: the items are never looked at.
EffectPlaylist playlistOf(const QList<double> &pictureTimes, const ClipShapes &clips)
{
    EffectPlaylist playlist;
    for (double seconds : pictureTimes)
        playlist.pictures.append({nullptr, seconds});
    for (const auto &[frames, loops] : clips)
        playlist.clips.append({QList<ImageObject *>(frames, nullptr), loops});
    return playlist;
}

ShownList clipRun(int first, int frames, int loops, qint64 ms)
{
    ShownList shown;
    for (int pass = 0; pass < loops; ++pass)
        for (int k = 0; k < frames; ++k)
            shown.append({first + k, ms});
    return shown;
}

} // namespace

class TestShowTimeline : public QObject
{
    Q_OBJECT
private slots:
    void playlistPlaysAsWritten_data()
    {
        QTest::addColumn<QList<double>>("pictureTimes");
        QTest::addColumn<ClipShapes>("clips");
        QTest::addColumn<ShownList>("expected");
        QTest::addColumn<qint64>("totalMs");

        QTest::newRow("0.2 s, 5 s, 30 s (time x repeat), clip of 3 frames x 4")
            << QList<double>{0.2, 5.0, 30.0} << ClipShapes{{3, 4}}
            << (ShownList{{0, 200}, {1, 5000}, {2, 30000}} + clipRun(3, 3, 4, 100))
            << qint64(200 + 5000 + 30000 + 1200);
        QTest::newRow("257.9 s has no exact product: the stored 258 s plays")
            << QList<double>{257.9} << ClipShapes{} << ShownList{{0, 258000}}
            << qint64(258000);
        QTest::newRow("25.5 s fits one byte, 25.6 s needs a repeat")
            << QList<double>{25.5, 25.6} << ClipShapes{}
            << ShownList{{0, 25500}, {1, 25600}} << qint64(51100);
        QTest::newRow("a time under 0.2 s plays the shortest stored time")
            << QList<double>{0.05} << ClipShapes{} << ShownList{{0, 200}}
            << qint64(200);
        QTest::newRow("clips follow every picture; an empty clip takes no records")
            << QList<double>{1.0} << ClipShapes{{2, 1}, {0, 3}, {1, 2}}
            << (ShownList{{0, 1000}} + clipRun(1, 2, 1, 100) + clipRun(3, 1, 2, 100))
            << qint64(1000 + 200 + 200);
        QTest::newRow("loop count 0 is stored as 1, 300 as 255")
            << QList<double>{} << ClipShapes{{1, 0}, {1, 300}}
            << (clipRun(0, 1, 1, 100) + clipRun(1, 1, 255, 100)) << qint64(100 + 25500);
        QTest::newRow("nothing") << QList<double>{} << ClipShapes{} << ShownList{}
                                 << qint64(0);
    }

    void playlistPlaysAsWritten()
    {
        QFETCH(QList<double>, pictureTimes);
        QFETCH(ClipShapes, clips);
        QFETCH(ShownList, expected);
        QFETCH(qint64, totalMs);
        const EffectPlaylist playlist = playlistOf(pictureTimes, clips);
        const ShowTimeline timeline = ShowTimeline::fromPlaylist(playlist);
        QCOMPARE(timeline.expand(), expected);
        QCOMPARE(timeline.totalMs(), totalMs);

        // The file the download writes plays the same show once its header is read back.
        QString error;
        const auto header =
            IndexedHeader::parse(IndexedHeader::fromPlaylist(playlist).toBytes(), &error);
        QVERIFY2(header.has_value(), qPrintable(error));
        QCOMPARE(ShowTimeline::fromIndexed(*header).expand(), expected);
    }

    void hostileTablesCostNoMemory_data()
    {
        QTest::addColumn<QList<IndexedHeader::Segment>>("segments");
        QTest::addColumn<qint64>("totalMs");
        QTest::addColumn<int>("records");

        QTest::newRow("500 clips of 131 frames x 255")
            << QList<IndexedHeader::Segment>(500, IndexedHeader::Segment{1, 131, 1, 255})
            << qint64(500) * 131 * 255 * 100 << 131;
        QTest::newRow("a picture of time 0 and one of repeat 0 last no time")
            << QList<IndexedHeader::Segment>{{1, 1, 0, 1}, {2, 2, 50, 0}, {3, 3, 2, 1}}
            << qint64(200) << 3;
        QTest::newRow("the longest picture: 255 x 255 tenths")
            << QList<IndexedHeader::Segment>{{1, 1, 255, 255}} << qint64(255 * 255 * 100) << 1;
    }

    void hostileTablesCostNoMemory()
    {
        QFETCH(QList<IndexedHeader::Segment>, segments);
        QFETCH(qint64, totalMs);
        QFETCH(int, records);
        IndexedHeader header;
        header.segments = segments;
        const ShowTimeline timeline = ShowTimeline::fromIndexed(header);
        QCOMPARE(timeline.totalMs(), totalMs);
        QCOMPARE(timeline.recordsUsed(), records);
        QVERIFY(timeline.runs().size() <= segments.size());
        QCOMPARE(timeline.recordAt(totalMs - 1) >= 0, totalMs > 0);
        QCOMPARE(timeline.recordAt(totalMs), -1);
    }

    void slottedShowUsesItsUnits()
    {
        SlottedHeader header;
        header.pictureCount = 2;
        header.timeBytes[0] = 1;   // 0.2 s
        header.timeBytes[1] = 25;  // 5 s
        header.timeBytes[2] = 99;  // slot 3 is not in the show
        header.frameCounts = {2, 0, 1, 0, 0};
        header.loopCounts = {3, 7, 0, 0, 0};  // the third clip's loop count 0: never shown
        const ShowTimeline timeline = ShowTimeline::fromSlotted(header);
        // Clip frames come after all 100 picture slots, 0.2 s each.
        QCOMPARE(timeline.expand(),
                 (ShownList{{0, 200}, {1, 5000}} + clipRun(100, 2, 3, 200)));
    }

    void frameAtMoment_data()
    {
        QTest::addColumn<int>("fps");
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<QList<int>>("records");

        // The show: record 0 for 0.2 s, then records 1, 2 at 100 ms, twice (0.6 s in all).
        QTest::newRow("10 fps: one frame per clip frame") << 10 << qint64(6)
                                                          << QList<int>{0, 0, 1, 2, 1, 2};
        QTest::newRow("25 fps") << 25 << qint64(15)
                                << QList<int>{0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 1, 1, 1, 2, 2};
        QTest::newRow("3 fps: frames fall between changes")
            << 3 << qint64(2) << QList<int>{0, 2};
        QTest::newRow("7 fps: the last frame covers the end") << 7 << qint64(5)
                                                              << QList<int>{0, 0, 1, 1, 2};
    }

    void frameAtMoment()
    {
        QFETCH(int, fps);
        QFETCH(qint64, frames);
        QFETCH(QList<int>, records);
        IndexedHeader header;
        header.segments = {{1, 1, 2, 1}, {2, 3, 1, 2}};
        const ShowTimeline timeline = ShowTimeline::fromIndexed(header);
        QCOMPARE(timeline.totalMs(), qint64(600));
        QCOMPARE(timeline.frameCount(fps), frames);
        QList<int> seen;
        for (qint64 i = 0; i < frames; ++i)
            seen << timeline.recordOfFrame(i, fps);
        QCOMPARE(seen, records);
    }

    void lengthText_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0:00.0";
        QTest::newRow("tenths are cut, not rounded") << qint64(65399) << "1:05.3";
        QTest::newRow("an hour") << qint64(3723400) << "1:02:03.4";
    }

    void lengthText()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, text);
        QCOMPARE(ShowTimeline::lengthText(ms), text);
    }
};

QTEST_APPLESS_MAIN(TestShowTimeline)
#include "test_show_timeline.moc"
