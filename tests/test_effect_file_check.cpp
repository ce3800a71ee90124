// Whether an effect file may replace the playlist: decided from its kind and length before
// anything is read, for the geometry it is to be read with.
#include "EffectTestSupport.h"

#include "app/AppGlobals.h"
#include "effect/EffectFileCheck.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "effect/ReadRequest.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace effecttest;

class TestEffectFileCheck : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tempDir;

    QString file(const QString &name) const { return tempDir.filePath(name); }

    // An indexed file of two pictures written for 16 LEDs x 20 lines.
    QString indexedFile()
    {
        GeometryScope scope(16, 20);
        const QString path = file(QStringLiteral("indexed.bin"));
        QList<ImageObject *> pictures{pictureItem(1, 5.0, 1), pictureItem(2, 3.0, 2)};
        const bool written = EffectWriter::write(EffectPlaylist::capture(pictures, {}), path).ok;
        qDeleteAll(pictures);
        return written ? path : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tempDir.isValid());
        initAppGlobals(tempDir.path());
    }

    void checksKindAndLength_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("problem");
        QTest::newRow("slotted, exact") << "slotted" << 8 << 10 << int(EffectFileCheck::None);
        QTest::newRow("slotted, other geometry") << "slotted" << 10 << 8
                                                 << int(EffectFileCheck::None);
        QTest::newRow("slotted, read as 9 x 10") << "slotted" << 9 << 10
                                                 << int(EffectFileCheck::WrongLength);
        QTest::newRow("slotted, cut by a byte") << "slotted-1" << 8 << 10
                                                << int(EffectFileCheck::WrongLength);
        QTest::newRow("slotted, a byte over") << "slotted+1" << 8 << 10
                                              << int(EffectFileCheck::WrongLength);
        QTest::newRow("slotted, one record short") << "slotted-record" << 8 << 10
                                                   << int(EffectFileCheck::WrongLength);
        QTest::newRow("120 bytes of header only") << "header" << 8 << 10
                                                  << int(EffectFileCheck::WrongLength);
        QTest::newRow("119 bytes") << "119" << 8 << 10 << int(EffectFileCheck::TooShort);
        QTest::newRow("empty") << "empty" << 8 << 10 << int(EffectFileCheck::TooShort);
        QTest::newRow("indexed, its geometry") << "indexed" << 16 << 20
                                               << int(EffectFileCheck::None);
        QTest::newRow("indexed, another geometry") << "indexed" << 36 << 360
                                                   << int(EffectFileCheck::WrongLength);
        QTest::newRow("indexed, end magic lost") << "damaged" << 16 << 20
                                                 << int(EffectFileCheck::Unreadable);
        QTest::newRow("missing") << "missing" << 8 << 10 << int(EffectFileCheck::Missing);
        QTest::newRow("directory") << "directory" << 8 << 10
                                   << int(EffectFileCheck::CannotOpen);
        QTest::newRow("FIFO") << "FIFO" << 8 << 10 << int(EffectFileCheck::CannotOpen);
        QTest::newRow("no geometry") << "slotted" << 0 << 10
                                     << int(EffectFileCheck::WrongLength);
    }

    void checksKindAndLength()
    {
        QFETCH(QString, shape);
        QFETCH(int, leds);
        QFETCH(int, lines);
        QFETCH(int, problem);
        QByteArray slotted;
        {
            GeometryScope scope(8, 10);
            SlottedShape two;
            two.pictureCount = 2;
            two.frameCounts = {3, 0, 1, 0, 0};
            slotted = slottedFile(two);
        }
        QString path = file(shape);
        std::unique_ptr<SpecialFile> special;
        if (shape == QLatin1String("slotted"))
            QVERIFY(writeBytes(path, slotted));
        else if (shape == QLatin1String("slotted-1"))
            QVERIFY(writeBytes(path, slotted.chopped(1)));
        else if (shape == QLatin1String("slotted+1"))
            QVERIFY(writeBytes(path, slotted + '\0'));
        else if (shape == QLatin1String("slotted-record"))
            QVERIFY(writeBytes(path, slotted.chopped(3 * 8 * 10)));
        else if (shape == QLatin1String("header"))
            QVERIFY(writeBytes(path, slotted.left(120)));
        else if (shape == QLatin1String("119"))
            QVERIFY(writeBytes(path, slotted.left(119)));
        else if (shape == QLatin1String("empty"))
            QVERIFY(writeBytes(path, {}));
        else if (shape == QLatin1String("indexed"))
            path = indexedFile();
        else if (shape == QLatin1String("damaged")) {
            QByteArray bytes = fileBytes(indexedFile());
            bytes[3024] = char(bytes[3024] ^ 0xFF);
            QVERIFY(writeBytes(path, bytes));
        } else if (shape != QLatin1String("missing")) {
            special = std::make_unique<SpecialFile>(tempDir.path(), shape);
            path = special->path;
        }
        QVERIFY(!path.isEmpty());
        const EffectFileCheck::Outcome outcome = EffectFileCheck::check(path, leds, lines);
        QCOMPARE(int(outcome.problem), problem);
        QCOMPARE(outcome.ok(), problem == EffectFileCheck::None);
        QCOMPARE(outcome.detail.isEmpty(), problem == EffectFileCheck::None);
    }

    void requestHandsItsItemsToItsOwnThread()
    {
        // A read makes its items on the loop thread; the request takes them home.
        ReadRequest request(7, 14, QStringLiteral("x.bin"), QSize(8, 10));
        // The job is handed to the thread when it is created, so the hand-over is one
        // ThreadSanitizer can see (unlike a queued call through Qt's event queue).
        std::unique_ptr<QThread> loop(QThread::create([&request] {
            request.readFinished(EffectFileCheck::failure(EffectFileCheck::TooShort, "3 bytes"));
        }));
        auto *item = new ImageObject(1, QString(), 1.0, ImageObject::KindReadPicture);
        item->moveToThread(loop.get());
        request.readImageList().append(item);
        QVERIFY(!request.isFinished());
        loop->start();
        loop->wait();
        QVERIFY(request.isFinished());
        QCOMPARE(int(request.outcome().problem), int(EffectFileCheck::TooShort));
        const QList<ImageObject *> images = request.takeImages();
        QCOMPARE(images, QList<ImageObject *>{item});
        QCOMPARE(item->thread(), QThread::currentThread());
        delete item;
        request.cancel();
        QVERIFY(!request.isAwaited());
    }
};

QTEST_GUILESS_MAIN(TestEffectFileCheck)
#include "test_effect_file_check.moc"
