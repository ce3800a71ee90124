// Writing the indexed layout: header bytes, record order, timing, failures that must never
// look like success.

#include "EffectTestSupport.h"

#include "effect/EffectFormat.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "effect/IndexedHeader.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace effecttest;

class TestEffectWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tempDir;
    QList<ImageObject *> pictures;
    QList<MediaObject *> clips;

    QString target(const QString &name = QStringLiteral("show")) const
    {
        return tempDir.filePath(name + QStringLiteral(".bin"));
    }

    EffectPlaylist snapshot() const { return EffectPlaylist::capture(pictures, clips); }

    QByteArray writeAndRead(const EffectPlaylist &playlist)
    {
        const DownloadResult result = EffectWriter::write(playlist, target());
        if (!result.ok)
            qWarning() << result.error;
        return result.ok ? fileBytes(target()) : QByteArray();
    }

private slots:
    void init()
    {
        QVERIFY(tempDir.isValid());
        initAppGlobals(tempDir.path());
        languageCode = 3;
    }

    void cleanup()
    {
        qDeleteAll(pictures);
        qDeleteAll(clips);
        pictures.clear();
        clips.clear();
        QFile::remove(target());
    }

    // The writer reports every record it wrote, in order, ending at the total, slower clip
    // frames counted as the records they become.
    void progressCountsEveryRecord_data()
    {
        QTest::addColumn<int>("pictureCount");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("frameTenths");
        QTest::newRow("pictures only") << 3 << 0 << 1;
        QTest::newRow("a clip at a tenth") << 1 << 4 << 1;
        QTest::newRow("a read-back clip at 0.2 s") << 0 << 3 << 2;
    }

    void progressCountsEveryRecord()
    {
        QFETCH(int, pictureCount);
        QFETCH(int, frames);
        QFETCH(int, frameTenths);
        for (int i = 0; i < pictureCount; ++i)
            pictures << pictureItem(i + 1, 5.0, i);
        if (frames > 0) {
            clips << clipItem(frames, 1, 7);
            clips.last()->frameTenths = frameTenths;
        }
        QList<qint64> reported;
        qint64 totalSeen = -1;
        EffectWriter::Hooks hooks;
        hooks.progress = [&](qint64 done, qint64 total) {
            reported << done;
            totalSeen = total;
        };
        QVERIFY(EffectWriter::write(snapshot(), target(), hooks).ok);
        const qint64 records = pictureCount + qint64(frames) * frameTenths;
        QCOMPARE(totalSeen, records);
        QCOMPARE(reported.size(), records);
        for (int k = 0; k < reported.size(); ++k)
            QCOMPARE(reported[k], qint64(k + 1));
        QCOMPARE(QFileInfo(target()).size(), EffectWriter::expectedFileSize(snapshot()));
    }

    void emptyPlaylistIsOneHeader_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("languageByte");
        QTest::newRow("none") << 0 << 0x00;
        QTest::newRow("zh_CN") << 1 << 0x11;
        QTest::newRow("zh_HK") << 2 << 0x11;
        QTest::newRow("en_US") << 3 << 0x22;
        QTest::newRow("jp") << 4 << 0x00;
    }

    void emptyPlaylistIsOneHeader()
    {
        QFETCH(int, language);
        QFETCH(int, languageByte);
        languageCode = language;
        const QByteArray file = writeAndRead(snapshot());
        QCOMPARE(file.size(), 4096);
        QCOMPARE(quint8(file[0]), quint8(languageByte));
        QCOMPARE(file.mid(1, 7), QByteArray::fromHex("11223344556677"));
        QCOMPARE(bigEndian16(file, 8), 0);
        QCOMPARE(file.mid(10, 6), QByteArray(6, '\0'));
        QCOMPARE(file.mid(16, 3000), QByteArray(3000, '\0'));
        QCOMPARE(file.mid(3016, 8), QByteArray(8, '\0'));
        QCOMPARE(file.mid(3024, 8), QByteArray::fromHex("7766554433221100"));
        QCOMPARE(file.mid(3032), QByteArray(1064, '\0'));
    }

    void onePictureInEnglish()
    {
        pictures << pictureItem(1, 5.0, 7);
        const QByteArray file = writeAndRead(snapshot());
        QCOMPARE(file.left(10), QByteArray::fromHex("22112233445566770001"));
        QCOMPARE(file.mid(16, 6), QByteArray::fromHex("000100013201"));
        QCOMPARE(file.mid(22, 6), QByteArray(6, '\0'));
        QCOMPARE(file.size(), 4096 + 110592);
        QCOMPARE(file.mid(4096), pictures[0]->readLedData());
    }

    void recordsComeFromTheBufferFiles()
    {
        // Converted items keep their LED data only in their ".buf" files.
        pictures << pictureItem(1, 5.0, 1) << pictureItem(2, 5.0, 2);
        const QByteArray first = pictures[0]->ledData;
        const QByteArray second = pictures[1]->ledData;
        pictures[0]->writeLedDataFile();
        pictures[1]->writeLedDataFile();
        QVERIFY(pictures[0]->ledData.isEmpty());
        const QByteArray file = writeAndRead(snapshot());
        QCOMPARE(file.mid(4096), first + second);
    }

    void picturesThenClipFrames()
    {
        GeometryScope geometry(8, 16);
        pictures << pictureItem(1, 3.0, 1) << pictureItem(2, 7.5, 2);
        clips << clipItem(3, 2, 3);
        const QByteArray file = writeAndRead(snapshot());
        QCOMPARE(bigEndian16(file, 8), 5);
        QCOMPARE(file.mid(16, 18), QByteArray::fromHex("00010001" "1e01"
                                                       "00020002" "4b01"
                                                       "00030005" "0102"));
        QCOMPARE(file.mid(34, 6), QByteArray(6, '\0'));
        QByteArray records;
        for (ImageObject *item : pictures)
            records += item->readLedData();
        for (ImageObject *item : clips[0]->frames)
            records += item->readLedData();
        QCOMPARE(file.mid(4096), records);
    }

    void clipsNumberOnFromEachOther()
    {
        GeometryScope geometry(4, 4);
        pictures << pictureItem(1, 5.0, 1);
        clips << clipItem(2, 1, 2) << clipItem(0, 9, 3) << clipItem(4, 3, 4);
        const QByteArray file = writeAndRead(snapshot());
        QString error;
        const auto header = IndexedHeader::parse(file, &error);
        QVERIFY2(header, qPrintable(error));
        QCOMPARE(header->recordCount, 7);
        // The empty clip has no records, so it gets no entry.
        const QList<IndexedHeader::Segment> expected{
            {1, 1, 50, 1}, {2, 3, 1, 1}, {4, 7, 1, 3}};
        QCOMPARE(header->segments, expected);
        QCOMPARE(file.size(), 4096 + 7 * 4096);
    }

    void tableStopsAt500Entries()
    {
        GeometryScope geometry(4, 4);
        for (int i = 1; i <= 501; ++i)
            pictures << pictureItem(i, 5.0, i);
        clips << clipItem(2, 1, 9);
        const QByteArray file = writeAndRead(snapshot());
        QCOMPARE(bigEndian16(file, 8), 503);
        for (int i = 1; i <= 500; ++i) {
            const int at = 16 + (i - 1) * 6;
            QCOMPARE(bigEndian16(file, at), i);
            QCOMPARE(bigEndian16(file, at + 2), i);
        }
        QCOMPARE(file.mid(3016, 8), QByteArray(8, '\0'));
        QCOMPARE(file.size(), 4096 + 503 * 4096);
        QCOMPARE(file.mid(4096 + 500 * 4096, 4096), pictures[500]->readLedData());
        QCOMPARE(file.right(4096), clips[0]->frames[1]->readLedData());
    }

    void displayTimes_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("repeat");
        QTest::newRow("0.2 s") << 0.2 << 2 << 1;
        QTest::newRow("5 s") << 5.0 << 50 << 1;
        QTest::newRow("5.4 s") << 5.4 << 54 << 1;
        QTest::newRow("5.4 s from steps") << (0.2 * 27) << 54 << 1;
        QTest::newRow("5.3999999 s") << 5.3999999 << 54 << 1;
        QTest::newRow("25.4 s") << 25.4 << 254 << 1;
        QTest::newRow("25.5 s") << 25.5 << 255 << 1;
        QTest::newRow("0 s plays the shortest time") << 0.0 << 2 << 1;
        QTest::newRow("negative") << -3.0 << 2 << 1;
    }

    void displayTimes()
    {
        QFETCH(double, seconds);
        QFETCH(int, time);
        QFETCH(int, repeat);
        GeometryScope geometry(4, 4);
        pictures << pictureItem(1, seconds, 1);
        const QByteArray file = writeAndRead(snapshot());
        QCOMPARE(int(quint8(file[20])), time);
        QCOMPARE(int(quint8(file[21])), repeat);
    }

    void longTimesRepeatInsteadOfWrapping_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("tenths");
        QTest::newRow("25.6 s") << 25.6 << 256;
        QTest::newRow("30 s") << 30.0 << 300;
        QTest::newRow("51.2 s") << 51.2 << 512;
        QTest::newRow("99.6 s") << 99.6 << 996;
        QTest::newRow("100 s") << 100.0 << 1000;
    }

    void longTimesRepeatInsteadOfWrapping()
    {
        QFETCH(double, seconds);
        QFETCH(int, tenths);
        GeometryScope geometry(4, 4);
        pictures << pictureItem(1, seconds, 1);
        const QByteArray file = writeAndRead(snapshot());
        const int time = quint8(file[20]);
        const int repeat = quint8(file[21]);
        QVERIFY(time >= 2);
        QVERIFY(repeat >= 1);
        QCOMPARE(time * repeat, tenths);
    }

    void loopCounts_data()
    {
        QTest::addColumn<int>("loops");
        QTest::addColumn<int>("stored");
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("255") << 255 << 255;
        QTest::newRow("256 clamps") << 256 << 255;
        QTest::newRow("300 clamps") << 300 << 255;
        QTest::newRow("0 plays once") << 0 << 1;
        QTest::newRow("negative") << -4 << 1;
    }

    void loopCounts()
    {
        QFETCH(int, loops);
        QFETCH(int, stored);
        GeometryScope geometry(4, 4);
        clips << clipItem(1, loops, 1);
        const QByteArray file = writeAndRead(snapshot());
        QCOMPARE(int(quint8(file[20])), 1);
        QCOMPARE(int(quint8(file[21])), stored);
    }

    void writerReadsOnlyTheSnapshot()
    {
        GeometryScope geometry(4, 4);
        pictures << pictureItem(1, 5.0, 1);
        clips << clipItem(3, 2, 2);
        const EffectPlaylist playlist = snapshot();
        const QByteArray firstFrame = clips[0]->frames[0]->readLedData();

        // What the GUI may change after the request: times, loops, frame lists, language.
        pictures[0]->displayTime = 12.0;
        clips[0]->loopCount = 7;
        ImageObject *removed = clips[0]->frames.takeFirst();
        languageCode = 1;
        ledCount = 8;

        const QByteArray file = writeAndRead(playlist);
        delete removed;
        QCOMPARE(quint8(file[0]), quint8(0x22));
        QCOMPARE(bigEndian16(file, 8), 4);
        QCOMPARE(file.mid(16, 12), QByteArray::fromHex("000100013201" "000200040102"));
        QCOMPARE(file.size(), 4096 + 4 * 4096);
        QCOMPARE(file.mid(4096 + 4096, 4096), firstFrame);
    }

    void existingFileIsReplaced()
    {
        GeometryScope geometry(4, 4);
        QVERIFY(writeBytes(target(), QByteArray(100000, 'x')));
        pictures << pictureItem(1, 5.0, 1);
        const DownloadResult result = EffectWriter::write(snapshot(), target());
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.bytesWritten, 8192);
        QCOMPARE(QFileInfo(target()).size(), 8192);
        QVERIFY(!QFile::exists(EffectWriter::stagingPath(target())));
    }

    // Each way a write can fail: an earlier effect stays as it was, nothing is staged
    // behind, and the reason is reported.
    void failuresKeepTheEarlierFile_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << "full" << "not enough space: need 12288 bytes, 5000";
        QTest::newRow("cannot open") << "open" << "cannot open";
        QTest::newRow("commit fails") << "commit" << "write error";
        QTest::newRow("read back differs") << "mismatch" << "verification failed";
        QTest::newRow("file cut short") << "truncated" << "verification failed";
        QTest::newRow("record missing") << "norecord" << "record 2 holds 0 bytes";
        QTest::newRow("record of another geometry") << "badrecord" << "record 1 holds";
        QTest::newRow("no such directory") << "nodir" << "cannot open";
    }

    void failuresKeepTheEarlierFile()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        GeometryScope geometry(4, 4);
        const QByteArray earlier = pattern(5000, 42);
        QVERIFY(writeBytes(target(), earlier));
        pictures << pictureItem(1, 5.0, 1) << pictureItem(2, 5.0, 2);

        QString path = target();
        EffectWriter::Hooks hooks;
        if (failure == "full")
            hooks.bytesAvailable = [](const QString &) { return qint64(5000); };
        if (failure == "open")
            QVERIFY(QDir().mkpath(EffectWriter::stagingPath(target())));
        if (failure == "commit")
            hooks.commit = [](QSaveFile &file) {
                file.cancelWriting();
                return false;
            };
        if (failure == "mismatch")
            hooks.afterCommit = [](const QString &staged) {
                QFile file(staged);
                QVERIFY(file.open(QIODevice::ReadWrite));
                file.seek(4096 + 4096 + 17);
                file.write("!");
            };
        if (failure == "truncated")
            hooks.afterCommit = [](const QString &staged) { QFile::resize(staged, 4096 + 100); };
        if (failure == "norecord")
            pictures[1]->ledData.clear();
        if (failure == "badrecord")
            pictures[0]->ledData.chop(4096);
        if (failure == "nodir")
            path = tempDir.filePath(QStringLiteral("gone/show.bin"));

        const DownloadResult result = EffectWriter::write(snapshot(), path, hooks);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QCOMPARE(result.path, path);
        QCOMPARE(fileBytes(target()), earlier);
        QVERIFY(!QFileInfo(EffectWriter::stagingPath(target())).isFile());
        QDir(EffectWriter::stagingPath(target())).removeRecursively();
    }

    void readOnlyDirectory()
    {
        if (::geteuid() == 0)
            QSKIP("permissions do not bind the super-user");
        GeometryScope geometry(4, 4);
        QTemporaryDir locked;
        const QString path = locked.filePath(QStringLiteral("show.bin"));
        QVERIFY(writeBytes(path, QByteArray("earlier")));
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        pictures << pictureItem(1, 5.0, 1);
        const DownloadResult result = EffectWriter::write(snapshot(), path);
        QFile::setPermissions(locked.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.startsWith("cannot open"), qPrintable(result.error));
        QCOMPARE(fileBytes(path), QByteArray("earlier"));
    }

    void freeSpaceIsAskedForTheTargetDirectory()
    {
        GeometryScope geometry(4, 4);
        pictures << pictureItem(1, 5.0, 1);
        QString asked;
        EffectWriter::Hooks hooks;
        hooks.bytesAvailable = [&asked](const QString &directory) {
            asked = directory;
            return qint64(8192); // exactly enough
        };
        const DownloadResult result = EffectWriter::write(snapshot(), target(), hooks);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(QDir(asked), QDir(tempDir.path()));
    }

    void traceLines()
    {
        GeometryScope geometry(4, 4);
        pictures << pictureItem(1, 5.4, 1) << pictureItem(2, 30.0, 2);
        clips << clipItem(1, 1, 3);
        QTest::ignoreMessage(QtDebugMsg, "#MainWindow# downToUsb2 time =  54");
        QTest::ignoreMessage(QtDebugMsg, "#MainWindow# downToUsb2 time =  300");
        QTest::ignoreMessage(QtDebugMsg, "#MainWindow# downToUsb2 bytes length =  4096");
        for (int i = 0; i < 3; ++i)
            QTest::ignoreMessage(QtDebugMsg, "#MainWindow# downToUsb2 image bytes length =  4096");
        QVERIFY(EffectWriter::write(snapshot(), target()).ok);
    }

    void tooManyRecordsAreRefused()
    {
        GeometryScope geometry(4, 4);
        auto *item = pictureItem(1, 5.0, 1);
        pictures << item;
        EffectPlaylist playlist = snapshot();
        playlist.pictures = QList<EffectPlaylist::Picture>(65536, {item, 5.0});
        const DownloadResult result = EffectWriter::write(playlist, target());
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains("too many"), qPrintable(result.error));
        QVERIFY(!QFile::exists(target()));
    }

    void clipLengthIsBounded_data()
    {
        QTest::addColumn<QList<int>>("clipLengths");
        QTest::addColumn<QString>("error");
        QTest::newRow("longest") << QList<int>{3, EffectFormat::kMaxClipFrames} << "";
        QTest::newRow("one frame too long") << QList<int>{3, EffectFormat::kMaxClipFrames + 1}
                                            << "clip 2 has 1001 frames, at most 1000 fit";
    }

    void clipLengthIsBounded()
    {
        QFETCH(QList<int>, clipLengths);
        QFETCH(QString, error);
        GeometryScope geometry(4, 4);
        auto *frame = pictureItem(1, 5.0, 1);
        pictures << frame;
        EffectPlaylist playlist = EffectPlaylist::capture({}, {});
        for (int length : clipLengths)
            playlist.clips.append({QList<ImageObject *>(length, frame), 1});
        const DownloadResult result = EffectWriter::write(playlist, target());
        QCOMPARE(result.ok, error.isEmpty());
        QVERIFY2(result.error.contains(error), qPrintable(result.error));
        QCOMPARE(QFile::exists(target()), error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEffectWriter)
#include "test_effect_writer.moc"
