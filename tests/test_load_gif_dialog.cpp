// The GIF import dialog: the region chosen once, a clip of every frame in order, refusals
// instead of black or broken clips, cancel leaving nothing, and the same LED data as
// hologram-cli build for the same GIF.
#include "TestEnvironment.h"
#include "CliRun.h"
#include "GifFixtures.h"
#include "MainWindowTestSupport.h"

#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "import/FrameHandOver.h"
#include "RegionDialogDriver.h"
#include "ui/import/GetImgeLocationDialog.h"
#include "ui/import/LoadGifDialog.h"
#include "model/PictureLoader.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTranslator>
#include <QtTest>

namespace {

QStringList frameFiles()
{
    return QDir(workDirectory()).entryList({QStringLiteral("loadGif_*")}, QDir::Files);
}

// Confirms the region dialog as it opens, ticking the speed box first when asked.
std::function<void(QWidget *)> confirmRegion(bool keepSpeed = false)
{
    return [keepSpeed](QWidget *modal) {
        auto *region = qobject_cast<GetImgeLocationDialog *>(modal);
        if (region && keepSpeed)
            region->findChild<QCheckBox *>(QStringLiteral("chkKeepSpeed"))->setChecked(true);
        confirmRegionDialog(modal);
    };
}

void dispose(const QList<ImageObject *> &frames)
{
    for (ImageObject *item : frames)
        FrameHandOver::dispose(item);
}

} // namespace

class TestLoadGifDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    QTemporaryDir gifs;

    QString write(const QString &name, const QByteArray &bytes)
    {
        return GifFixtures::write(gifs.path(), name, bytes);
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("hologram.*=false"));
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(gifs.isValid());
        QVERIFY(TestEnvironment::installEnglishTexts());
    }

    void init()
    {
        QVERIFY(TestEnvironment::enterFreshDirectory(tempDir));
    }

    void cleanup() { tempDir.reset(); }

    // Accepted with one frame item per GIF frame (or per 100 ms when the speed is kept),
    // numbered 1..n, each with its file; what went wrong is said in one box.
    void imports_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("keepSpeed");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QString>("box");  // empty for none
        GifFixtures::Gif timed = GifFixtures::frames(3);
        timed.frames[0].delayMs = 40;
        timed.frames[1].delayMs = 40;
        timed.frames[2].delayMs = 300;
        QTest::newRow("one frame") << GifFixtures::encode(GifFixtures::frames(1)) << false << 1
                                   << QString();
        QTest::newRow("six frames, wide")
            << GifFixtures::encode(GifFixtures::frames(6, 600, 300)) << false << 6 << QString();
        QTest::newRow("speed kept") << GifFixtures::encode(timed) << true << 4 << QString();
        QTest::newRow("frame 4 damaged")
            << GifFixtures::withCorruptFrame(GifFixtures::frames(6), 3) << false << 3
            << QStringLiteral("Frame 4 of the GIF is damaged: the clip ends before it, with 3 "
                              "frames.");
    }

    void imports()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, keepSpeed);
        QFETCH(int, frames);
        QFETCH(QString, box);
        ModalWatcher watcher(confirmRegion(keepSpeed));
        LoadGifDialog dialog(write(QStringLiteral("import.gif"), bytes));
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.keepsSpeed(), keepSpeed);
        QCOMPARE(watcher.boxes.size(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty())
            QCOMPARE(watcher.boxes.first().text, box);
        const QList<ImageObject *> made = dialog.takeFrames();
        QCOMPARE(made.size(), frames);
        QCOMPARE(frameFiles().size(), frames);
        for (int k = 0; k < made.size(); ++k) {
            QCOMPARE(made[k]->number, k + 1);
            QCOMPARE(made[k]->kind, int(ImageObject::KindGifFrame));
            QCOMPARE(made[k]->displayTime, 10.0);
            QCOMPARE(PictureLoader::load(made[k]->sourcePath).size(), QSize(450, 450));
        }
        QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("thumbLabel"))->pixmap().isNull());
        dispose(made);
        QVERIFY(frameFiles().isEmpty());
    }

    // No black frame is ever taken for a clip: a file with no readable frame is refused.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = GifFixtures::encode(GifFixtures::frames(3));
        QTest::newRow("garbage") << QByteArray(2000, 'g');
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut before the first frame") << good.left(800);
    }

    void refusals()
    {
        QFETCH(QByteArray, bytes);
        ModalWatcher watcher(confirmRegion());
        LoadGifDialog dialog(write(QStringLiteral("bad.gif"), bytes));
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().title, QStringLiteral("Tip"));
        QCOMPARE(watcher.boxes.first().text,
                 QStringLiteral("This file cannot be read as a GIF picture; no clip was added."));
        QVERIFY(dialog.takeFrames().isEmpty());
        QVERIFY(frameFiles().isEmpty());
    }

    // A frame file that cannot be saved while other frames are being converted: the run
    // ends refused, with nothing left, instead of waiting for converters that stopped.
    void failedSaveEndsTheRun()
    {
        QVERIFY(QDir().mkpath(workFilePath(QStringLiteral("loadGif_3.frame"))));
        const QString path = write(QStringLiteral("unsaved.gif"),
                                   GifFixtures::encode(GifFixtures::frames(12, 450, 450)));
        ModalWatcher watcher(confirmRegion());
        LoadGifDialog dialog(path);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().text,
                 QStringLiteral("A frame picture could not be saved (is the disk full?); no clip "
                                "was added."));
        QVERIFY(frameFiles().isEmpty());
    }

    // Cancel while frames are being made: no item and no frame file is left.
    void cancelLeavesNothing()
    {
        const QString path = write(QStringLiteral("long.gif"),
                                   GifFixtures::encode(GifFixtures::frames(400, 450, 450)));
        ModalWatcher watcher(confirmRegion());
        {
            LoadGifDialog dialog(path);
            auto *thumb = dialog.findChild<QLabel *>(QStringLiteral("thumbLabel"));
            auto *poll = new QTimer(&dialog);
            connect(poll, &QTimer::timeout, &dialog, [&dialog, thumb] {
                if (!thumb->pixmap().isNull())
                    dialog.findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
            });
            poll->start(10);
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
            QVERIFY(dialog.takeFrames().isEmpty());
        }
        QVERIFY(watcher.boxes.isEmpty());
        QVERIFY(frameFiles().isEmpty());
    }

    // Cancel in the region dialog ends the import with nothing made.
    void regionCancelledImportsNothing()
    {
        const QString path = write(QStringLiteral("region.gif"),
                                   GifFixtures::encode(GifFixtures::frames(3)));
        ModalWatcher watcher([](QWidget *modal) {
            if (qobject_cast<GetImgeLocationDialog *>(modal))
                modal->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        });
        LoadGifDialog dialog(path);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(watcher.boxes.isEmpty());
        QVERIFY(dialog.takeFrames().isEmpty());
        QVERIFY(frameFiles().isEmpty());
    }

    // The window's import with the region untouched and hologram-cli build give the same
    // effect file for the same GIF, with and without the GIF's speed kept.
    void sameBytesAsTheCommandLine_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("keepSpeed");
        QTest::newRow("small") << QSize(40, 30) << false;
        QTest::newRow("tall, odd") << QSize(301, 551) << false;
        QTest::newRow("wide, speed kept") << QSize(600, 300) << true;
    }

    void sameBytesAsTheCommandLine()
    {
        QFETCH(QSize, size);
        QFETCH(bool, keepSpeed);
        GifFixtures::Gif gif = GifFixtures::frames(4, size.width(), size.height(), 40);
        gif.frames[1].rect = QRect(3, 2, size.width() / 2, size.height() / 2);
        gif.frames[2].delayMs = 250;
        gif.frames[2].holeColour = 7;
        const QString path = write(QStringLiteral("same.gif"), GifFixtures::encode(gif));
        ModalWatcher watcher(confirmRegion(keepSpeed));
        std::unique_ptr<MediaObject> clip(LoadGifDialog::importClip(nullptr, path, 0));
        QVERIFY(clip);
        QVERIFY(clip->isGif);
        languageCode = 3;
        const QString fromWindow = gifs.filePath(QStringLiteral("window.bin"));
        QVERIFY(EffectWriter::write(EffectPlaylist::capture({}, {clip.get()}), fromWindow).ok);
        const QString fromCli = gifs.filePath(QStringLiteral("cli.bin"));
        QStringList arguments{QStringLiteral("build"), QStringLiteral("-o"), fromCli, path};
        if (keepSpeed)
            arguments.insert(1, QStringLiteral("--gif-timing"));
        const CliRun run = CliRun::of(arguments);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QFile window(fromWindow), cli(fromCli);
        QVERIFY(window.open(QIODevice::ReadOnly) && cli.open(QIODevice::ReadOnly));
        QVERIFY(window.size() > 4096);
        QVERIFY(window.readAll() == cli.readAll());
    }
};

QTEST_MAIN(TestLoadGifDialog)
#include "test_load_gif_dialog.moc"
