// Reading effects: the slotted layout of the display and the factory file, the indexed
// layout the writer produces, and files that are damaged or hostile.

#include "EffectTestSupport.h"

#include "effect/EffectFileInfo.h"
#include "effect/EffectFormat.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectReader.h"
#include "effect/EffectRecordSink.h"
#include "effect/EffectWriter.h"
#include "effect/IndexedHeader.h"
#include "effect/LedDataCodec.h"
#include "effect/ReadBudget.h"
#include "effect/ShowTimeline.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <thread>

using namespace effecttest;

namespace {

// The blue, green, red order a conversion codes, coded line by line and padded.
QByteArray codedLikeAConversion(const QByteArray &grb, int leds, int lines)
{
    QByteArray coded;
    for (int k = 0; k < lines; ++k) {
        QByteArray line(3 * leds, '\0');
        for (int i = 0; i < 3 * leds; i += 3) {
            const int at = k * 3 * leds + i;
            line[i] = grb[at + 2];
            line[i + 1] = grb[at];
            line[i + 2] = grb[at + 1];
        }
        coded += DataBitCalculation::codeLine(line);
    }
    DataBitCalculation::appendPadding(coded);
    return coded;
}

QByteArray uniformTriples(int leds, int lines, char g, char r, char b)
{
    QByteArray triples;
    for (int i = 0; i < leds * lines; ++i)
        triples.append(g).append(r).append(b);
    return triples;
}

// Everything a reader hands over, as one line per event, bytes included.
class RecordingSink final : public EffectRecordSink
{
public:
    QStringList events;

    void picture(const EffectRecord &record) override { events << describe("picture", record); }
    void clipStarted(int number, int loopCount) override
    {
        events << QStringLiteral("clip %1 loops %2").arg(number).arg(loopCount);
    }
    void clipFrame(const EffectRecord &record) override { events << describe("frame", record); }
    void clipEnded(bool keep) override { events << QStringLiteral("end %1").arg(keep); }

private:
    static QString describe(const char *what, const EffectRecord &record)
    {
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(QLatin1String(what)).arg(record.number).arg(record.displayTime)
            .arg(int(record.form))
            .arg(QString::fromLatin1(QCryptographicHash::hash(record.bytes,
                                                              QCryptographicHash::Sha1).toHex()));
    }
};

} // namespace

class TestEffectReader : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tempDir;
    QList<ImageObject *> images;
    QList<MediaObject *> medias;
    std::atomic<bool> keepGoing{true};

    QString path(const QString &name = QStringLiteral("T4.bin")) const
    {
        return tempDir.filePath(name);
    }

    EffectReader::Result read(const QString &file)
    {
        return EffectReader::readInto(file, keepGoing, images, medias);
    }

    EffectReader::Result readBytes(const QByteArray &bytes)
    {
        if (!writeBytes(path(), bytes))
            qFatal("cannot write the test file");
        return read(path());
    }

    QList<int> clipFrameCounts() const
    {
        QList<int> counts;
        for (const MediaObject *clip : medias)
            counts << int(clip->frames.size());
        return counts;
    }

    int clipFrameTotal() const
    {
        int total = 0;
        for (int count : clipFrameCounts())
            total += count;
        return total;
    }

    static int workFileCount()
    {
        return int(QDir(workDirectory()).entryList(QDir::Files).size());
    }

private slots:
    void init()
    {
        QVERIFY(tempDir.isValid());
        initAppGlobals(tempDir.path());
        ledCount = 8;
        lineNumber = 16;
        keepGoing = true;
    }

    void cleanup()
    {
        qDeleteAll(images);
        qDeleteAll(medias);
        images.clear();
        medias.clear();
        ledCount = kDefaultLedCount;
        lineNumber = kDefaultLineNumber;
    }

    void slottedSections_data()
    {
        QTest::addColumn<int>("pictureCount");
        QTest::addColumn<int>("slotsWritten");
        QTest::addColumn<QList<int>>("frameCounts");
        QTest::addColumn<int>("frameRecords");
        QTest::addColumn<int>("extraBytes");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QList<int>>("clips");
        QTest::newRow("3 pictures, clip of 2")
            << 3 << 100 << QList<int>{2, 0, 0, 0, 0} << -1 << 0 << 3 << QList<int>{2};
        QTest::newRow("60 pictures give 50")
            << 60 << 100 << QList<int>{0, 0, 0, 0, 0} << -1 << 0 << 50 << QList<int>{};
        QTest::newRow("255 pictures give 50")
            << 255 << 100 << QList<int>{1, 0, 0, 0, 0} << -1 << 0 << 50 << QList<int>{1};
        QTest::newRow("only clips")
            << 0 << 100 << QList<int>{0, 3, 0, 1, 0} << -1 << 0 << 0 << QList<int>{3, 1};
        QTest::newRow("five clips")
            << 1 << 100 << QList<int>{1, 2, 3, 4, 5} << -1 << 0 << 1 << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("slot area cut after two")
            << 5 << 2 << QList<int>{2, 0, 0, 0, 0} << 0 << 0 << 2 << QList<int>{};
        QTest::newRow("slot area cut inside the third")
            << 5 << 2 << QList<int>{2, 0, 0, 0, 0} << 0 << 100 << 2 << QList<int>{};
        QTest::newRow("header only")
            << 5 << 0 << QList<int>{2, 0, 0, 0, 0} << 0 << 0 << 0 << QList<int>{};
        QTest::newRow("fewer frames than counted")
            << 0 << 100 << QList<int>{4, 2, 0, 0, 0} << 3 << 0 << 0 << QList<int>{3};
        QTest::newRow("last frame cut short")
            << 0 << 100 << QList<int>{1, 2, 0, 0, 0} << 2 << 50 << 0 << QList<int>{1, 1};
        QTest::newRow("counts far beyond the data")
            << 255 << 100 << QList<int>{255, 255, 255, 255, 255} << 4 << 0 << 50
            << QList<int>{4};
    }

    void slottedSections()
    {
        QFETCH(int, pictureCount);
        QFETCH(int, slotsWritten);
        QFETCH(QList<int>, frameCounts);
        QFETCH(int, frameRecords);
        QFETCH(int, extraBytes);
        QFETCH(int, pictures);
        QFETCH(QList<int>, clips);
        SlottedShape shape;
        shape.pictureCount = pictureCount;
        shape.slotsWritten = slotsWritten;
        shape.frameRecords = frameRecords;
        for (int j = 0; j < 5; ++j) {
            shape.frameCounts[j] = frameCounts[j];
            shape.loopCounts[j] = 10 + j;
        }
        const EffectReader::Result result =
            readBytes(slottedFile(shape) + QByteArray(extraBytes, '\x5a'));
        QVERIFY(result.ok);
        QCOMPARE(images.size(), pictures);
        QCOMPARE(clipFrameCounts(), clips);
        for (int i = 0; i < images.size(); ++i) {
            QCOMPARE(images[i]->number, i + 1);
            QCOMPARE(images[i]->kind, int(ImageObject::KindReadPicture));
            QCOMPARE(images[i]->displayTime, (shape.timeBase + i + 1) * 0.2);
            QVERIFY(images[i]->sourcePath.isEmpty());
        }
        for (const MediaObject *clip : medias) {
            QVERIFY(clip->number >= 0 && clip->number < 5);
            QCOMPARE(clip->loopCount, 10 + clip->number);
            QVERIFY(!clip->isGif);
            for (int k = 0; k < clip->frames.size(); ++k) {
                QCOMPARE(clip->frames[k]->number, k + 1);
                QCOMPARE(clip->frames[k]->kind, int(ImageObject::KindReadClipFrame));
                QCOMPARE(clip->frames[k]->displayTime, 0.2);
            }
        }
    }

    void slottedRecordsBecomeLedData()
    {
        SlottedShape shape;
        shape.pictureCount = 2;
        shape.frameCounts = {0, 0, 1, 0, 0};
        QVERIFY(readBytes(slottedFile(shape)).ok);
        QCOMPARE(images.size(), 2);
        QCOMPARE(images[0]->thread(), QThread::currentThread());
        QCOMPARE(images[1]->readLedData(), codedLikeAConversion(tripleRecord(2), 8, 16));
        QCOMPARE(medias.size(), 1);
        QCOMPARE(medias[0]->number, 2);
        QCOMPARE(medias[0]->frames[0]->readLedData(),
                 codedLikeAConversion(tripleRecord(1000), 8, 16));
        for (ImageObject *item : {images[0], images[1], medias[0]->frames[0]}) {
            QCOMPARE(item->loadSamplingPreview().size(), QSize(450, 450));
            QCOMPARE(item->loadThumbnail().size(), QSize(60, 60));
        }
    }

    void previewShowsTheSlottedColourOrder()
    {
        // Bytes (0, 255, 0) are green 0, red 255, blue 0: a red disc.
        SlottedShape shape;
        shape.pictureCount = 1;
        QByteArray bytes = slottedHeader(shape) + uniformTriples(8, 16, 0, char(255), 0);
        QVERIFY(readBytes(bytes).ok);
        QCOMPARE(images.size(), 1);
        QCOMPARE(QColor(images[0]->loadSamplingPreview().pixel(225, 225)), QColor(Qt::red));
        const QImage thumbnail = images[0]->loadThumbnail();
        int red = 0;
        for (int y = 0; y < thumbnail.height(); ++y)
            for (int x = 0; x < thumbnail.width(); ++x) {
                const QColor colour(thumbnail.pixel(x, y));
                QVERIFY(colour == Qt::red || colour == Qt::black);
                red += colour == Qt::red;
            }
        QVERIFY(red > 0);
        QCOMPARE(QColor(images[0]->loadSamplingPreview().pixel(2, 448)), QColor(Qt::black));
    }

    void traceLines()
    {
        SlottedShape shape;
        shape.pictureCount = 1;
        shape.frameCounts = {0, 2, 0, 0, 1};
        QTest::ignoreMessage(QtDebugMsg, "read media image.  5");
        QTest::ignoreMessage(QtDebugMsg, "read media image. image count  0");
        QTest::ignoreMessage(QtDebugMsg, "read media image. image count  2");
        QTest::ignoreMessage(QtDebugMsg, "read media image. image count  0");
        QTest::ignoreMessage(QtDebugMsg, "read media image. image count  0");
        QTest::ignoreMessage(QtDebugMsg, "read media image. image count  1");
        QVERIFY(readBytes(slottedFile(shape)).ok);
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("1 byte") << QByteArray(1, '\x01');
        QTest::newRow("119 bytes") << QByteArray(119, '\x03');
    }

    void unreadableFiles()
    {
        QFETCH(QByteArray, bytes);
        const EffectReader::Result result = readBytes(bytes);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(images.isEmpty());
        QVERIFY(medias.isEmpty());
    }

    void missingFileAndDirectory()
    {
        EffectReader::Result result = read(path(QStringLiteral("none.bin")));
        QVERIFY(!result.ok);
        QVERIFY(result.error.contains("cannot open"));
        QVERIFY(QDir(tempDir.path()).mkdir(QStringLiteral("dir.bin")));
        result = read(path(QStringLiteral("dir.bin")));
        QVERIFY(!result.ok);
        QVERIFY(result.error.contains("directory"));
        QVERIFY(images.isEmpty() && medias.isEmpty());
    }

    void specialFilesAreRefusedUnopened_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing" << "no such file";
        QTest::newRow("directory") << "directory" << "is a directory";
        QTest::newRow("FIFO") << "FIFO" << "is not a regular file (a FIFO)";
        QTest::newRow("socket") << "socket" << "is not a regular file (a socket)";
        QTest::newRow("/dev/zero") << "device" << "is not a regular file (a character device)";
    }

    void specialFilesAreRefusedUnopened()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir scratch;
        const SpecialFile special(scratch.path(), kind);
        const QString expected = QStringLiteral("cannot open %1: %2").arg(special.path, reason);
        const EffectReader::Result result = read(special.path);
        QVERIFY(!result.ok);
        QCOMPARE(result.error, expected);
        QVERIFY(images.isEmpty() && medias.isEmpty());
        QString error;
        QVERIFY(!EffectFileInfo::inspect(special.path, 8, 16, &error));
        QCOMPARE(error, expected);
    }

    void damagedIndexedHeaderIsNotReadAsSlotted_data()
    {
        QTest::addColumn<int>("zeroFrom");
        QTest::addColumn<int>("zeroCount");
        QTest::addColumn<int>("cutTo"); // -1: whole file
        QTest::addColumn<QString>("reason");
        QTest::newRow("end magic damaged") << 3025 << 1 << -1 << "end magic at byte 3024 is not";
        QTest::newRow("end magic gone") << 3024 << 8 << -1 << "end magic at byte 3024 is not";
        QTest::newRow("start magic damaged") << 7 << 1 << -1 << "start magic at byte 1 is not";
        QTest::newRow("cut before the end magic") << 0 << 0 << 3000 << "ends at byte 3000";
        QTest::newRow("cut inside the end magic") << 0 << 0 << 3028 << "ends at byte 3028";
    }

    void damagedIndexedHeaderIsNotReadAsSlotted()
    {
        QFETCH(int, zeroFrom);
        QFETCH(int, zeroCount);
        QFETCH(int, cutTo);
        QFETCH(QString, reason);
        QByteArray bytes = clipsHeader({2}).toBytes() + ledDataFor(1) + ledDataFor(2);
        bytes.replace(zeroFrom, zeroCount, QByteArray(zeroCount, '\0'));
        if (cutTo >= 0)
            bytes.truncate(cutTo);
        const EffectReader::Result result = readBytes(bytes);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.startsWith("damaged indexed header: "), qPrintable(result.error));
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QVERIFY(images.isEmpty() && medias.isEmpty());
        QString error;
        QVERIFY(!EffectFileInfo::inspect(path(), 8, 16, &error));
        QCOMPARE(error, path() + ": " + result.error);
    }

    void readsOverTheBudgetAreRefused_data()
    {
        QTest::addColumn<QList<int>>("clips"); // indexed clips at 1 x 1; empty: 3 slotted pictures
        QTest::addColumn<qint64>("spare");     // free bytes beyond what the read needs
        QTest::addColumn<bool>("spaceKnown");
        QTest::addColumn<QString>("reason");   // empty: the read goes ahead
        const QList<int> longest(5, EffectFormat::kMaxClipFrames);
        QTest::newRow("clip of 65535 frames") << QList<int>{65535} << qint64(0) << false
                                              << "clip 1 claims 65535 frames, more than the 1000";
        QTest::newRow("clip one frame too long") << QList<int>{3, 1001} << qint64(0) << false
                                                 << "clip 2 claims 1001 frames";
        QTest::newRow("six of the longest clips") << (longest + QList<int>{1000}) << qint64(0)
                                                  << false << "6000 frames in all, more than the 5000";
        QTest::newRow("five of the longest clips") << longest << qint64(0) << false << "";
        QTest::newRow("one byte short") << QList<int>{3} << qint64(-1) << true
                                        << "not enough space in the work directory";
        QTest::newRow("slotted, one byte short") << QList<int>{} << qint64(-1) << true
                                                 << "not enough space in the work directory";
        QTest::newRow("just enough space") << QList<int>{3} << qint64(0) << true << "";
        QTest::newRow("slotted, just enough space") << QList<int>{} << qint64(0) << true << "";
        QTest::newRow("space unknown") << QList<int>{3} << qint64(0) << false << "";
    }

    void readsOverTheBudgetAreRefused()
    {
        QFETCH(QList<int>, clips);
        QFETCH(qint64, spare);
        QFETCH(bool, spaceKnown);
        QFETCH(QString, reason);
        ReadBudget budget;
        if (clips.isEmpty()) {
            SlottedShape shape;
            shape.pictureCount = 3;
            QVERIFY(writeBytes(path(), slottedFile(shape)));
            budget.pictures = 3;
        } else {
            ledCount = 1;
            lineNumber = 1;
            const IndexedHeader header = clipsHeader(clips);
            QVERIFY(writeZeroRecords(path(), header.toBytes(), header.recordCount,
                                     DataBitCalculation::ledDataLength(1, 1)));
            budget.clipFrames = clips;
        }
        const qint64 needed = budget.bytesNeeded(ledCount, lineNumber);
        QString askedFor;
        EffectReader::Hooks hooks;
        hooks.bytesAvailable = [&](const QString &directory) {
            askedFor = directory;
            return spaceKnown ? needed + spare : qint64(-1);
        };
        // The longest clips the budget admits are not read in full: the read stops at once.
        keepGoing = clips.size() < 5;
        const int filesBefore = workFileCount();
        const EffectReader::Result result =
            EffectReader::readInto(path(), keepGoing, images, medias, hooks);
        QCOMPARE(askedFor, workDirectory());
        if (reason.isEmpty()) {
            QVERIFY2(result.ok, qPrintable(result.error));
            QCOMPARE(images.size(), budget.pictures);
            int frames = 0;
            for (int count : clips)
                frames += keepGoing ? count : 0;
            QCOMPARE(clipFrameTotal(), frames);
            return;
        }
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QVERIFY(images.isEmpty() && medias.isEmpty());
        QCOMPARE(workFileCount(), filesBefore);
    }

    void missingRecordsAreCounted_data()
    {
        QTest::addColumn<bool>("indexed");
        QTest::addColumn<int>("frameRecords"); // frame records in the file of a 100-frame clip
        QTest::addColumn<bool>("truncateWhileReading");
        QTest::addColumn<int>("missing");      // -1: as many as the cut leaves out
        QTest::newRow("slotted, whole") << false << 100 << false << 0;
        QTest::newRow("slotted, four frames short") << false << 96 << false << 4;
        QTest::newRow("slotted, truncated while read") << false << 100 << true << -1;
        QTest::newRow("indexed, whole") << true << 100 << false << 0;
        QTest::newRow("indexed, truncated while read") << true << 100 << true << -1;
    }

    void missingRecordsAreCounted()
    {
        QFETCH(bool, indexed);
        QFETCH(int, frameRecords);
        QFETCH(bool, truncateWhileReading);
        QFETCH(int, missing);
        ledCount = 1;
        lineNumber = 1;
        constexpr int kFrames = 100;
        QByteArray bytes;
        qint64 headerEnd = 0;
        if (indexed) {
            bytes = clipsHeader({kFrames}).toBytes();
            headerEnd = bytes.size();
            for (int k = 0; k < frameRecords; ++k)
                bytes += ledDataFor(k);
        } else {
            SlottedShape shape;
            shape.frameCounts = {kFrames, 0, 0, 0, 0};
            shape.frameRecords = frameRecords;
            bytes = slottedFile(shape);
            headerEnd = 120 + 100 * 3;
        }
        QVERIFY(writeBytes(path(), bytes));
        // Cut the file back to its header from another thread once the third item exists,
        // as a medium pulled out or a file rewritten during the read would.
        const int firstId = nextItemId;
        std::atomic<bool> done{false};
        std::thread cutter([&] {
            while (truncateWhileReading && !done && nextItemId < firstId + 3)
                std::this_thread::yield();
            if (truncateWhileReading && !done)
                QFile::resize(path(), headerEnd);
        });
        const EffectReader::Result result = read(path());
        done = true;
        cutter.join();
        QVERIFY(result.ok);
        if (missing >= 0)
            QCOMPARE(result.missingRecords, missing);
        else
            QVERIFY(result.missingRecords > 0);
        // What was read stays; together with the missing records it is the whole clip.
        QCOMPARE(clipFrameTotal() + result.missingRecords, kFrames);
        const int promised = indexed ? kFrames : 100 + kFrames;
        QCOMPARE(result.error.contains(QStringLiteral("the file ended early: %1 of %2 records "
                                                      "are missing")
                                           .arg(result.missingRecords).arg(promised)),
                 result.missingRecords > 0);
    }

    void lengthOfAnotherGeometryIsReported()
    {
        SlottedShape shape;
        shape.pictureCount = 3;
        const QByteArray bytes = slottedFile(shape);
        ledCount = 9;
        const EffectReader::Result result = readBytes(bytes);
        QVERIFY(result.ok);
        QVERIFY2(result.error.contains("does not fit"), qPrintable(result.error));
    }

    void randomBytesNeverCrash()
    {
        QRandomGenerator random(20240607);
        for (int round = 0; round < 60; ++round) {
            const int size = random.bounded(round < 30 ? 600 : 30000);
            QByteArray bytes(size, Qt::Uninitialized);
            for (int i = 0; i < size; ++i)
                bytes[i] = char(random.bounded(256));
            if (round % 3 == 0 && size >= 4096) {
                // Make it look indexed so that path is shaken too.
                bytes.replace(1, 7, QByteArray::fromHex("11223344556677"));
                bytes.replace(3024, 8, QByteArray::fromHex("7766554433221100"));
            }
            readBytes(bytes);
            QVERIFY(images.size() <= 50);
            qDeleteAll(images);
            qDeleteAll(medias);
            images.clear();
            medias.clear();
        }
    }

    void hostileIndexedHeaders_data()
    {
        QTest::addColumn<int>("recordCount");
        QTest::addColumn<QList<IndexedHeader::Segment>>("segments");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("reason");
        using S = IndexedHeader::Segment;
        QTest::newRow("count beyond the data") << 65535 << QList<S>{{1, 65535, 1, 1}} << 1
                                               << "does not fit";
        QTest::newRow("segment beyond the count") << 2 << QList<S>{{1, 9, 1, 1}} << 2
                                                  << "segment";
        QTest::newRow("record missing") << 3 << QList<S>{{1, 3, 50, 1}} << 2 << "does not fit";
        QTest::newRow("record too many") << 1 << QList<S>{{1, 1, 50, 1}} << 2 << "does not fit";
    }

    void hostileIndexedHeaders()
    {
        QFETCH(int, recordCount);
        QFETCH(QList<IndexedHeader::Segment>, segments);
        QFETCH(int, records);
        QFETCH(QString, reason);
        IndexedHeader header;
        header.recordCount = recordCount;
        header.segments = segments;
        QByteArray bytes = header.toBytes();
        for (int r = 0; r < records; ++r)
            bytes += ledDataFor(r);
        const EffectReader::Result result = readBytes(bytes);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QVERIFY(images.isEmpty() && medias.isEmpty());
    }

    void stopFlagEndsTheRead()
    {
        SlottedShape shape;
        shape.pictureCount = 40;
        shape.frameCounts = {5, 5, 0, 0, 0};
        QVERIFY(writeBytes(path(), slottedFile(shape)));
        // Clear the flag from another thread as soon as the third item exists, the way the
        // GUI does when the busy dialog is cancelled.
        const int firstId = nextItemId;
        std::atomic<bool> done{false};
        std::thread canceller([&] {
            while (!done && nextItemId < firstId + 3)
                std::this_thread::yield();
            keepGoing = false;
        });
        read(path());
        done = true;
        canceller.join();
        // Items already being made when the flag turns are finished: one per core at most.
        QVERIFY(images.size() >= 3);
        QVERIFY(images.size() <= 4 + 2 * QThread::idealThreadCount());
        QVERIFY(images.size() < 40);
        QVERIFY(medias.isEmpty());
    }

    void clearedFlagReadsNothing()
    {
        SlottedShape shape;
        shape.pictureCount = 3;
        shape.frameCounts = {2, 0, 0, 0, 0};
        keepGoing = false;
        QVERIFY(readBytes(slottedFile(shape)).ok);
        QVERIFY(images.isEmpty() && medias.isEmpty());
    }

    void readBackItemsWriteAValidIndexedFile()
    {
        SlottedShape shape;
        shape.pictureCount = 2;
        shape.frameCounts = {0, 3, 0, 0, 0};
        shape.loopCounts = {0, 4, 0, 0, 0};
        QVERIFY(readBytes(slottedFile(shape)).ok);
        const QString out = path(QStringLiteral("out.bin"));
        const DownloadResult result =
            EffectWriter::write(EffectPlaylist::capture(images, medias), out);
        QVERIFY2(result.ok, qPrintable(result.error));

        const QByteArray file = fileBytes(out);
        QString error;
        const auto header = IndexedHeader::parse(file, &error);
        QVERIFY2(header, qPrintable(error));
        // Each 0.2 s frame is two records of a tenth.
        QCOMPARE(header->recordCount, 8);
        const QList<IndexedHeader::Segment> segments{
            {1, 1, (shape.timeBase + 1) * 2, 1}, {2, 2, (shape.timeBase + 2) * 2, 1}, {3, 8, 1, 4}};
        QCOMPARE(header->segments, segments);
        const qint64 length = DataBitCalculation::ledDataLength(8, 16);
        QCOMPARE(file.size(), 4096 + 8 * length);
        const QList<int> seeds{1, 2, 1000, 1000, 1001, 1001, 1002, 1002};
        for (int r = 0; r < 8; ++r)
            QCOMPARE(file.mid(4096 + r * length, length),
                     codedLikeAConversion(tripleRecord(seeds[r]), 8, 16));
    }

    // A file and the same bytes in memory are read alike: the reader depends on nothing but
    // the device.
    void memoryReadsAsAFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("events"); // events the file gives
        const GeometryScope geometry(8, 16); // the rows are made before init()
        SlottedShape full;
        full.pictureCount = 3;
        full.frameCounts = {2, 0, 1, 0, 0};
        full.loopCounts = {3, 0, 7, 0, 0};
        QTest::newRow("slotted") << slottedFile(full) << 3 + 5 * 2 + 3;
        SlottedShape cut = full;
        cut.frameRecords = 1;
        QTest::newRow("slotted, frames missing") << slottedFile(cut) + QByteArray(7, 'x')
                                                 << 3 + 3;
        cut.slotsWritten = 2;
        cut.frameRecords = 0;
        QTest::newRow("slotted, slots cut") << slottedFile(cut) << 2;
        IndexedHeader header = clipsHeader({2, 1});
        QTest::newRow("indexed")
            << header.toBytes() + ledDataFor(1) + ledDataFor(2) + ledDataFor(3) << 2 * 2 + 3;
        QTest::newRow("indexed, length wrong") << header.toBytes() + ledDataFor(1) << 0;
        QTest::newRow("too short") << QByteArray(119, '\1') << 0;
    }

    void memoryReadsAsAFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, events);
        QVERIFY(writeBytes(path(), bytes));
        EffectReader::Hooks hooks;
        hooks.bytesAvailable = [](const QString &) { return qint64(-1); };
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        RecordingSink fromFile;
        const EffectReader::Report fileReport = EffectReader::read(file, keepGoing, fromFile, hooks);
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        RecordingSink fromMemory;
        const EffectReader::Report memoryReport =
            EffectReader::read(buffer, keepGoing, fromMemory, hooks);
        QCOMPARE(fromFile.events.size(), events);
        QCOMPARE(fromMemory.events, fromFile.events);
        QCOMPARE(memoryReport.outcome.ok(), fileReport.outcome.ok());
        QCOMPARE(memoryReport.outcome.error(), fileReport.outcome.error());
        QCOMPARE(memoryReport.outcome.warnings(), fileReport.outcome.warnings());
        QCOMPARE(memoryReport.missingRecords, fileReport.missingRecords);
        // The items made from a file are the records handed over.
        const EffectReader::Result result = read(path());
        QCOMPARE(result.ok, fileReport.outcome.ok());
        QCOMPARE(images.size() + clipFrameTotal(),
                 int(fromFile.events.filter(QRegularExpression("^(picture|frame) ")).size()));
    }

    // Picture and clip segments in any order: pictures keep counting across segments and
    // clips up to the picture list's limit, and everything comes in file order.
    void indexedSectionsInFileOrder_data()
    {
        QTest::addColumn<QList<IndexedHeader::Segment>>("segments");
        QTest::addColumn<QString>("expected"); // picture runs as first-last@tenths, clips as c:frames
        using S = IndexedHeader::Segment;
        QTest::newRow("one segment over the limit") << QList<S>{{1, 60, 20, 1}} << "1-50@20";
        QTest::newRow("limit inside the second segment")
            << QList<S>{{1, 30, 20, 1}, {31, 60, 30, 2}} << "1-30@20 31-50@60";
        QTest::newRow("pictures around a clip")
            << QList<S>{{1, 20, 20, 1}, {21, 22, 1, 4}, {23, 62, 50, 1}, {63, 63, 1, 1}}
            << "1-20@20 c:2 21-50@50 c:1";
        QTest::newRow("clips only") << QList<S>{{1, 3, 1, 1}, {4, 4, 1, 9}} << "c:3 c:1";
    }

    void indexedSectionsInFileOrder()
    {
        QFETCH(QList<IndexedHeader::Segment>, segments);
        QFETCH(QString, expected);
        ledCount = 1;
        lineNumber = 1;
        IndexedHeader header;
        header.segments = segments;
        header.recordCount = segments.last().last;
        QByteArray bytes = header.toBytes();
        for (int r = 0; r < header.recordCount; ++r)
            bytes += ledDataFor(r);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        RecordingSink sink;
        EffectReader::Hooks hooks;
        hooks.bytesAvailable = [](const QString &) { return qint64(-1); };
        const EffectReader::Report report = EffectReader::read(buffer, keepGoing, sink, hooks);
        QVERIFY2(report.outcome.ok(), qPrintable(report.outcome.error()));
        // Runs of pictures with consecutive numbers and one time, and clips with their frames.
        QStringList runs;
        int first = 0, last = 0, frames = 0;
        QString time;
        auto closeRun = [&] {
            if (first > 0)
                runs << QStringLiteral("%1-%2@%3").arg(first).arg(last).arg(time);
            first = 0;
        };
        for (const QString &event : sink.events) {
            const QStringList parts = event.split(QLatin1Char(' '));
            if (parts[0] == QLatin1String("picture")) {
                const int number = parts[1].toInt();
                const QString tenths = QString::number(qRound(parts[2].toDouble() * 10));
                if (first > 0 && number == last + 1 && tenths == time) {
                    last = number;
                    continue;
                }
                closeRun();
                first = last = number;
                time = tenths;
            } else if (parts[0] == QLatin1String("clip")) {
                closeRun();
                frames = 0;
            } else if (parts[0] == QLatin1String("frame")) {
                ++frames;
            } else {
                runs << QStringLiteral("c:%1").arg(frames);
            }
        }
        closeRun();
        QCOMPARE(runs.join(QLatin1Char(' ')), expected);
    }

    void indexedRoundTrip()
    {
        const QList<double> times{5.0, 0.2, 30.0, 25.5, 99.6};
        QList<ImageObject *> pictures;
        for (int i = 0; i < times.size(); ++i)
            pictures << pictureItem(i + 1, times[i], 50 + i);
        QList<MediaObject *> clips{clipItem(3, 2, 1), clipItem(1, 255, 2)};
        const QString file = path(QStringLiteral("show.bin"));
        const DownloadResult written =
            EffectWriter::write(EffectPlaylist::capture(pictures, clips), file);
        QVERIFY2(written.ok, qPrintable(written.error));

        const EffectReader::Result result = read(file);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(images.size(), pictures.size());
        for (int i = 0; i < images.size(); ++i) {
            QCOMPARE(images[i]->number, i + 1);
            QCOMPARE(images[i]->kind, int(ImageObject::KindReadPicture));
            QCOMPARE(images[i]->displayTime, times[i]);
            QCOMPARE(images[i]->readLedData(), pictures[i]->readLedData());
            QCOMPARE(images[i]->loadThumbnail().size(), QSize(60, 60));
        }
        QCOMPARE(clipFrameCounts(), (QList<int>{3, 1}));
        QCOMPARE(medias[0]->loopCount, 2);
        QCOMPARE(medias[1]->loopCount, 255);
        QCOMPARE(medias[1]->number, 1);
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(medias[0]->frames[k]->kind, int(ImageObject::KindReadClipFrame));
            QCOMPARE(medias[0]->frames[k]->readLedData(), clips[0]->frames[k]->readLedData());
        }
        qDeleteAll(pictures);
        qDeleteAll(clips);
    }

    // A clip read back keeps its pace when written again: the show the written file plays
    // lasts as long as the show of the file read.
    void clipTimingSurvivesWritingAgain_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("records"); // records after it, made in the test's geometry
        QTest::addColumn<bool>("triples"); // colour triples (slotted) or LED data (indexed)
        QTest::addColumn<qint64>("showMs");
        SlottedShape factory;
        factory.pictureCount = 1;
        factory.timeBase = 4; // the picture: 5 x 0.2 s
        factory.frameCounts = {5, 0, 0, 0, 0};
        factory.loopCounts = {10, 0, 0, 0, 0};
        QTest::newRow("slotted clip, 0.2 s frames")
            << slottedHeader(factory) << 105 << true << qint64(1000 + 5 * 200 * 10);
        SlottedShape clips;
        clips.frameCounts = {2, 0, 3, 0, 0};
        clips.loopCounts = {1, 0, 3, 0, 0};
        QTest::newRow("slotted clips only")
            << slottedHeader(clips) << 105 << true << qint64(2 * 200 + 3 * 200 * 3);
        IndexedHeader indexed = clipsHeader({4, 2});
        indexed.segments[1].repeat = 5;
        QTest::newRow("indexed clips, 0.1 s frames")
            << indexed.toBytes() << 6 << false << qint64(400 + 2 * 100 * 5);
    }

    void clipTimingSurvivesWritingAgain()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, records);
        QFETCH(bool, triples);
        QFETCH(qint64, showMs);
        QByteArray source = header;
        for (int r = 0; r < records; ++r)
            source += triples ? tripleRecord(r) : ledDataFor(r);
        QVERIFY(writeBytes(path(QStringLiteral("source.bin")), source));
        std::optional<EffectFileInfo> info =
            EffectFileInfo::inspect(path(QStringLiteral("source.bin")), ledCount, lineNumber,
                                    nullptr);
        QVERIFY(info);
        QCOMPARE(ShowTimeline::fromInfo(*info).totalMs(), showMs);

        const EffectReader::Result firstRead = read(path(QStringLiteral("source.bin")));
        QVERIFY2(firstRead.ok, qPrintable(firstRead.error));
        const EffectPlaylist playlist = EffectPlaylist::capture(images, medias);
        QCOMPARE(ShowTimeline::fromPlaylist(playlist).totalMs(), showMs);
        const QString again = path(QStringLiteral("again.bin"));
        const DownloadResult written = EffectWriter::write(playlist, again);
        QVERIFY2(written.ok, qPrintable(written.error));
        info = EffectFileInfo::inspect(again, ledCount, lineNumber, nullptr);
        QVERIFY(info);
        QVERIFY(info->lengthAgrees());
        QCOMPARE(ShowTimeline::fromInfo(*info).totalMs(), showMs);
    }

    void indexedPreviewDecodesTheColours()
    {
        auto *picture = new ImageObject(1, QString(), 5.0, ImageObject::KindPictureFile);
        picture->ledData =
            LedDataCodec::codeSlottedRecord(uniformTriples(8, 16, char(255), 0, 0), 8, 16);
        const QString file = path(QStringLiteral("green.bin"));
        QVERIFY(EffectWriter::write(EffectPlaylist::capture({picture}, {}), file).ok);
        delete picture;
        QVERIFY(read(file).ok);
        QCOMPARE(images.size(), 1);
        // Bits 1 and 0 are not stored: 255 comes back as 252, which the display shows as the
        // brightest green there is.
        QCOMPARE(QColor(images[0]->loadSamplingPreview().pixel(225, 225)),
                 QColor(0, 255, 0));
    }

    void indexedFileOfAnotherGeometryIsRefused()
    {
        QList<ImageObject *> pictures{pictureItem(1, 5.0, 1), pictureItem(2, 5.0, 2)};
        const QString file = path(QStringLiteral("show.bin"));
        QVERIFY(EffectWriter::write(EffectPlaylist::capture(pictures, {}), file).ok);
        qDeleteAll(pictures);
        ledCount = 112;
        lineNumber = 430;
        const EffectReader::Result result = read(file);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains("does not fit"), qPrintable(result.error));
        QVERIFY(images.isEmpty());
    }

    void indexedKeepsFiftyPictures()
    {
        ledCount = 4;
        lineNumber = 4;
        QList<ImageObject *> pictures;
        for (int i = 1; i <= 52; ++i)
            pictures << pictureItem(i, 1.0 + i, i);
        QList<MediaObject *> clips{clipItem(2, 3, 1)};
        const QString file = path(QStringLiteral("many.bin"));
        QVERIFY(EffectWriter::write(EffectPlaylist::capture(pictures, clips), file).ok);
        const EffectReader::Result result = read(file);
        QVERIFY(result.ok);
        QVERIFY2(result.error.contains("50 of 52"), qPrintable(result.error));
        QCOMPARE(images.size(), 50);
        QCOMPARE(images[49]->readLedData(), pictures[49]->readLedData());
        QCOMPARE(clipFrameCounts(), QList<int>{2});
        QCOMPARE(medias[0]->frames[1]->readLedData(), clips[0]->frames[1]->readLedData());
        qDeleteAll(pictures);
        qDeleteAll(clips);
    }
};

QTEST_GUILESS_MAIN(TestEffectReader)
#include "test_effect_reader.moc"
