// The main window's worker: what each message code does on the loop thread and what
// reaches the window afterwards.
#include "app/AppGlobals.h"
#include "effect/EffectHost.h"
#include "effect/EffectPlaylist.h"
#include "effect/PlayMediaHandler.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <mutex>

namespace {

// Stands in for the window's read-back.
class FakeHost : public QObject, public EffectHost
{
    Q_OBJECT
public:
    std::atomic<bool> &previewPendingFlag() override { return pending; }
    QList<ImageObject *> &readImageList() override { return images; }
    QList<MediaObject *> &readMediaList() override { return medias; }

    ~FakeHost() override
    {
        qDeleteAll(images);
        qDeleteAll(medias);
    }

    std::atomic<bool> pending{true};
    QList<ImageObject *> images;
    QList<MediaObject *> medias;
};

// The worker with its write recorded instead of made.
class RecordingHandler : public PlayMediaHandler
{
public:
    using PlayMediaHandler::PlayMediaHandler;
    ~RecordingHandler() override { detachFromLoop(); }

    QStringList paths()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return writtenPaths;
    }

    std::mutex mutex;
    QStringList writtenPaths;
    QList<double> writtenTimes;
    QThread *writeThread = nullptr;
    QString failureReason;
    int delayMs = 0;

protected:
    QString downToUsb2(const EffectPlaylist &snapshot, const QString &path) override
    {
        if (delayMs > 0)
            QThread::msleep(delayMs);
        std::lock_guard<std::mutex> guard(mutex);
        writtenPaths << path;
        for (const EffectPlaylist::Picture &picture : snapshot.pictures)
            writtenTimes << picture.displayTime;
        writeThread = QThread::currentThread();
        return failureReason;
    }
};

// Stands in for the contrast dialog.
class ContrastTarget : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void addImageContract(int value)
    {
        std::lock_guard<std::mutex> guard(mutex);
        values << value;
        callThread = QThread::currentThread();
    }
    QList<int> snapshot()
    {
        std::lock_guard<std::mutex> guard(mutex);
        return values;
    }
    std::mutex mutex;
    QList<int> values;
    QThread *callThread = nullptr;
};

struct Received
{
    int code;
    QObject *object;
    QString text;
    QString detail;
    quintptr extra;
};

// Receives the worker's reports on the GUI thread, as the window does, each with the code it
// answers.
class Window : public QObject
{
    Q_OBJECT
public slots:
    void playFrameDue(QObject *clip, quintptr chain)
    {
        received.append({PlayMediaHandler::PlayFrameCode, clip, {}, {}, chain});
    }
    void rowStepDue(QObject *editor, int code, quintptr chain)
    {
        received.append({code, editor, {}, {}, chain});
    }
    void downloadFinished(const QString &path, const QString &error)
    {
        received.append({PlayMediaHandler::DownloadCode, nullptr, path, error, 0});
    }
    void contrastFinished(QObject *item, int value, quintptr serial, bool ok)
    {
        received.append({PlayMediaHandler::ContrastCode, item, QString::number(value),
                         ok ? QString() : QStringLiteral("failed"), serial});
    }
    void previewUsbOver() { ++previewOver; }
    void restoreFactoryOver() { ++restoreOver; }

public:
    QList<Received> received;
    int previewOver = 0;
    int restoreOver = 0;
};

} // namespace

class TestPlayMediaHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void echoesRepeatingCodes_data();
    void echoesRepeatingCodes();
    void unknownCodeHasNoEcho_data();
    void unknownCodeHasNoEcho();
    void downloadReportsOutcome_data();
    void downloadReportsOutcome();
    void downloadWithoutSnapshotIsAFailure_data();
    void downloadWithoutSnapshotIsAFailure();
    void contrastCallsTargetOnLoopThread();
    void contrastRefusesBadValueOrTarget();
    void readEndsWithItsSignal_data();
    void readEndsWithItsSignal();
    void longJobDelaysEcho();

private:
    Message *request(int code, QObject *object, const QString &text = QString());
    Message *downloadRequest(const QString &path);
    RecordingHandler *recorder() const { return static_cast<RecordingHandler *>(handler.get()); }

    QTemporaryDir tempDir;
    std::unique_ptr<HandlerThread> loop;
    std::unique_ptr<PlayMediaHandler> handler;
    std::unique_ptr<Window> window;
};

void TestPlayMediaHandler::initTestCase()
{
    QVERIFY(tempDir.isValid());
    initAppGlobals(tempDir.path());
}

void TestPlayMediaHandler::init()
{
    loop = std::make_unique<HandlerThread>();
    loop->start();
    handler = std::make_unique<RecordingHandler>(loop.get());
    window = std::make_unique<Window>();
    connect(handler.get(), &PlayMediaHandler::playFrameDue, window.get(), &Window::playFrameDue);
    connect(handler.get(), &PlayMediaHandler::rowStepDue, window.get(), &Window::rowStepDue);
    connect(handler.get(), &PlayMediaHandler::downloadFinished, window.get(),
            &Window::downloadFinished);
    connect(handler.get(), &PlayMediaHandler::contrastFinished, window.get(),
            &Window::contrastFinished);
    connect(handler.get(), &PlayMediaHandler::previewUsbOver, window.get(),
            &Window::previewUsbOver);
    connect(handler.get(), &PlayMediaHandler::restoreFactoryOver, window.get(),
            &Window::restoreFactoryOver);
}

void TestPlayMediaHandler::cleanup()
{
    handler.reset();
    QTest::ignoreMessage(QtDebugMsg, "#LOOP# exit!");
    loop.reset();
    QCoreApplication::processEvents();  // echoes still posted to the window
    window.reset();
}

Message *TestPlayMediaHandler::request(int code, QObject *object, const QString &text)
{
    auto *msg = new Message(handler.get(), code);
    msg->object = object;
    msg->text = text;
    return msg;
}

Message *TestPlayMediaHandler::downloadRequest(const QString &path)
{
    EffectPlaylist snapshot;
    snapshot.pictures.append({nullptr, 4.5});
    Message *msg = request(8, nullptr, path);
    msg->payload = QVariant::fromValue(snapshot);
    return msg;
}

void TestPlayMediaHandler::echoesRepeatingCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("7 preview frame") << 7;
    QTest::newRow("9 picture time up") << 9;
    QTest::newRow("10 picture time down") << 10;
    QTest::newRow("11 clip loops up") << 11;
    QTest::newRow("12 clip loops down") << 12;
}

void TestPlayMediaHandler::echoesRepeatingCodes()
{
    QFETCH(int, code);
    QObject row;
    Message *first = request(code, &row, QStringLiteral("ignored"));
    first->extra = 7;
    handler->sendHandlerMessage(first);
    QTRY_COMPARE(window->received.size(), 1);
    const Received &echo = window->received.first();
    QCOMPARE(echo.code, code);
    QCOMPARE(echo.object, &row);
    // The sender's chain number comes back with the echo.
    QCOMPARE(echo.extra, quintptr(7));

    // The window continues the repetition: the code sent again with a delay comes back.
    auto *again = request(code, &row);
    handler->sendHandlerMessageAfter(again, 20);
    QTRY_COMPARE(window->received.size(), 2);
    QCOMPARE(window->received.last().code, code);
}

void TestPlayMediaHandler::unknownCodeHasNoEcho_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0;
    QTest::newRow("5 belongs to the video import") << 5;
    QTest::newRow("13 unused") << 13;
    QTest::newRow("17 belongs to the video import") << 17;
    QTest::newRow("negative") << -1;
}

void TestPlayMediaHandler::unknownCodeHasNoEcho()
{
    QFETCH(int, code);
    FakeHost host;
    handler->sendHandlerMessage(request(code, &host, QStringLiteral("x")));
    // Messages run in order: once the marker's echo is back, the unknown one was handled.
    QObject marker;
    handler->sendHandlerMessage(request(7, &marker));
    QTRY_COMPARE(window->received.size(), 1);
    QCOMPARE(window->received.first().object, &marker);
    QVERIFY(recorder()->paths().isEmpty());
    QCOMPARE(window->previewOver + window->restoreOver, 0);
}

void TestPlayMediaHandler::downloadReportsOutcome_data()
{
    QTest::addColumn<QString>("reason");
    QTest::newRow("written") << QString();
    QTest::newRow("disk full") << QStringLiteral("not enough space on the disk");
}

void TestPlayMediaHandler::downloadReportsOutcome()
{
    QFETCH(QString, reason);
    recorder()->failureReason = reason;
    const QString path = QStringLiteral("E:/show.bin");
    handler->sendHandlerMessage(downloadRequest(path));
    QTRY_COMPARE(window->received.size(), 1);
    const Received &done = window->received.first();
    QCOMPARE(done.code, 8);
    QCOMPARE(done.text, path);
    QCOMPARE(done.detail, reason);
    QCOMPARE(done.detail.isEmpty(), reason.isEmpty());
    QCOMPARE(recorder()->paths(), QStringList{path});
    // What is written is the snapshot the request carried.
    QCOMPARE(recorder()->writtenTimes, QList<double>{4.5});
    QCOMPARE(recorder()->writeThread, static_cast<QThread *>(loop.get()));
}

void TestPlayMediaHandler::downloadWithoutSnapshotIsAFailure_data()
{
    QTest::addColumn<bool>("withObject");
    QTest::newRow("no snapshot") << false;
    QTest::newRow("a payload that is no snapshot") << true;
}

void TestPlayMediaHandler::downloadWithoutSnapshotIsAFailure()
{
    QFETCH(bool, withObject);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("#PlayMediaHandler# download"));
    Message *msg = request(8, nullptr, QStringLiteral("E:/a.bin"));
    if (withObject)
        msg->payload = QStringLiteral("not a playlist");
    handler->sendHandlerMessage(msg);
    QTRY_COMPARE(window->received.size(), 1);
    QCOMPARE(window->received.first().code, 8);
    QCOMPARE(window->received.first().text, QStringLiteral("E:/a.bin"));
    QVERIFY(!window->received.first().detail.isEmpty());
    QVERIFY(recorder()->paths().isEmpty());
}

void TestPlayMediaHandler::contrastCallsTargetOnLoopThread()
{
    ContrastTarget dialog;
    handler->sendHandlerMessage(request(16, &dialog, QStringLiteral("37")));
    handler->sendHandlerMessage(request(16, &dialog, QStringLiteral("0")));
    QTRY_COMPARE(dialog.snapshot(), (QList<int>{37, 0}));
    QCOMPARE(dialog.callThread, static_cast<QThread *>(loop.get()));
    QCoreApplication::processEvents();
    QVERIFY(window->received.isEmpty());
}

void TestPlayMediaHandler::contrastRefusesBadValueOrTarget()
{
    ContrastTarget dialog;
    QObject plain;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("contrast change refused"));
    handler->sendHandlerMessage(request(16, &dialog, QStringLiteral("abc")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("contrast change refused"));
    handler->sendHandlerMessage(request(16, nullptr, QStringLiteral("20")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no addImageContract"));
    handler->sendHandlerMessage(request(16, &plain, QStringLiteral("20")));
    QObject marker;
    handler->sendHandlerMessage(request(7, &marker));
    QTRY_COMPARE(window->received.size(), 1);
    QVERIFY(dialog.snapshot().isEmpty());
}

void TestPlayMediaHandler::readEndsWithItsSignal_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("withHost");
    QTest::newRow("14 preview") << 14 << true;
    QTest::newRow("15 factory") << 15 << true;
    QTest::newRow("14 preview without window") << 14 << false;
    QTest::newRow("15 factory without window") << 15 << false;
}

void TestPlayMediaHandler::readEndsWithItsSignal()
{
    // The window's busy dialog waits for the signal, so it comes whatever the read found.
    QFETCH(int, code);
    QFETCH(bool, withHost);
    FakeHost host;
    const QString missing = tempDir.filePath(QStringLiteral("T4.bin"));
    if (!withHost)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("readEffectFile"));
    handler->sendHandlerMessage(request(code, withHost ? &host : nullptr, missing));
    QTRY_COMPARE(window->previewOver + window->restoreOver, 1);
    QCOMPARE(window->previewOver, code == 14 ? 1 : 0);
    QCOMPARE(window->restoreOver, code == 15 ? 1 : 0);
    QVERIFY(host.images.isEmpty());
    QVERIFY(host.medias.isEmpty());
    QVERIFY(window->received.isEmpty());
}

void TestPlayMediaHandler::longJobDelaysEcho()
{
    // A row button pressed during a download makes its first step only after the write.
    recorder()->delayMs = 150;
    QObject row;
    handler->sendHandlerMessage(downloadRequest(QStringLiteral("E:/a.bin")));
    QTest::qWait(20);
    handler->sendHandlerMessage(request(9, &row));
    QTRY_COMPARE(window->received.size(), 2);
    QCOMPARE(window->received.at(0).code, 8);
    QCOMPARE(window->received.at(1).code, 9);
}

QTEST_GUILESS_MAIN(TestPlayMediaHandler)
#include "test_play_media_handler.moc"
