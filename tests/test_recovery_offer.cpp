// The window's side of recovery: the start's offer restores the newest copy a killed run left
// (at its geometry, sampling choice and language, to the same effect bytes), removes what it
// declined or could not read and offers the next, keeps other runs' copies when it restores
// one, and the playlist's destroying changes wait for a recovery save under way.
#include "MainWindowTestSupport.h"
#include "ShowFixtures.h"

#include "app/AppGlobals.h"
#include "app/LanguageTable.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/RecoveryStore.h"
#include "show/RecoveryWriter.h"
#include "show/ShowFile.h"
#include "show/ShowSnapshot.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/RecoveryOffer.h"
#include "ui/main/SamplingChoice.h"
#include "ui/main/ShowRecovery.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QSemaphore>
#include <QTest>
#include <QUuid>

#include <atomic>

class TestRecoveryOffer : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    QString copiesDir() const { return tempDir->filePath(QStringLiteral("recovery")); }

    // A copy without an owner (its lock gone), last saved at the given minutes ago with the
    // given sampling choice and language (0: none kept).
    QString leaveCopy(const QStringList &recipe, int minutesAgo, QByteArray *effect,
                      SamplingMode sampling, int language)
    {
        QDir().mkpath(copiesDir());
        const QString path = QDir(copiesDir()).filePath(
            QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".hdshow"));
        if (recipe == QStringList{QStringLiteral("damaged")}) {
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(5000, 'x'));
        } else {
            ShowFixtures::Playlist playlist;
            ShowFixtures::build(tempDir->path(), recipe, playlist);
            // The run that left the copy wrote its own language into the effect file.
            const int running = languageCode.exchange(language);
            if (effect) {
                if (language == 0)
                    languageCode = running;
                *effect = ShowFixtures::effectBytes(tempDir->path(), playlist.pictures,
                                                    playlist.clips);
                languageCode = language;
            }
            const bool saved = ShowFile(path).save(
                ShowSnapshot::capture(playlist.pictures, playlist.clips, sampling)).ok();
            languageCode = running;
            if (!saved)
                return {};
        }
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo),
                         QFileDevice::FileModificationTime);
        return path;
    }

    QByteArray windowEffect() const
    {
        return ShowFixtures::effectBytes(tempDir->path(),
                                         window->pictureModel()->itemsAs<ImageObject>(),
                                         window->clipModel()->itemsAs<MediaObject>());
    }

private slots:
    void init() { QVERIFY(openFreshWindow(tempDir, window)); }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void startOffersTheNewestCopy_data();
    void startOffersTheNewestCopy();
    void destroyingChangesWaitForTheSave_data();
    void destroyingChangesWaitForTheSave();
    void questionSaysWhenInTheRunningLanguage_data();
    void questionSaysWhenInTheRunningLanguage();
};

void TestRecoveryOffer::startOffersTheNewestCopy_data()
{
    QTest::addColumn<QString>("newest");
    QTest::addColumn<bool>("olderToo");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QString>("restored");  // which copy the playlist holds afterwards
    // The copies' sampling choice and language; the program runs with the other sampling,
    // in English (3).
    QTest::addColumn<bool>("copySmooth");
    QTest::addColumn<int>("copyLanguage");
    // The older copy is there afterwards (another run's show, waiting for a later start).
    QTest::addColumn<bool>("olderKept");
    // Restored smooth over sharp items: the choice comes back without offering to convert
    // them (that would be one more box).
    QTest::newRow("restored at its geometry, smooth, Japanese, older copy kept")
        << "picture diy video" << true << int(QMessageBox::Yes) << 1 << "newest" << true << 4
        << true;
    QTest::newRow("restored sharp into a smooth program, Chinese")
        << "smooth picture" << false << int(QMessageBox::Yes) << 1 << "newest" << false << 1
        << false;
    QTest::newRow("restored without a language: the running one stays")
        << "picture" << false << int(QMessageBox::Yes) << 1 << "newest" << true << 0 << false;
    QTest::newRow("declined: the older one offered next, declined too")
        << "picture gif" << true << int(QMessageBox::Discard) << 2 << "" << true << 4 << false;
    QTest::newRow("put off: every copy stays for the next start")
        << "picture" << true << int(QMessageBox::Cancel) << 1 << "" << false << 2 << true;
    QTest::newRow("damaged: told and removed, the older one offered next")
        << "damaged" << true << int(QMessageBox::Yes) << 3 << "older" << true << 2 << false;
    QTest::newRow("damaged alone: told and removed")
        << "damaged" << false << int(QMessageBox::Yes) << 2 << "" << true << 1 << false;
}

void TestRecoveryOffer::startOffersTheNewestCopy()
{
    QFETCH(QString, newest);
    QFETCH(bool, olderToo);
    QFETCH(int, answer);
    QFETCH(int, boxes);
    QFETCH(QString, restored);
    QFETCH(bool, copySmooth);
    QFETCH(int, copyLanguage);
    QFETCH(bool, olderKept);
    const SamplingMode copySampling = copySmooth ? SamplingMode::Smooth : SamplingMode::Sharp;
    QAction *smooth = window->findChild<QAction *>(QStringLiteral("actionSmoothSampling"));
    QVERIFY(smooth);
    smooth->setChecked(!copySmooth);
    QCOMPARE(languageCode.load(), 3);
    // The copies were made at another geometry: restored, they bring it back.
    ledCount = 100;
    lineNumber = 300;
    QByteArray newestEffect;
    QByteArray olderEffect;
    const QString older =
        olderToo ? leaveCopy({QStringLiteral("smooth")}, 90, &olderEffect, copySampling,
                             copyLanguage)
                 : QString();
    const QString fresh =
        leaveCopy(newest.split(u' '), 5, &newestEffect, copySampling, copyLanguage);
    QVERIFY(!fresh.isEmpty());
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;

    const QString when = LanguageTable::locale(3).toString(
        QFileInfo(fresh).lastModified().time(), QLocale::ShortFormat);
    ModalWatcher watcher(QMessageBox::StandardButton(answer), {});
    window->startRecovery(copiesDir());
    QTRY_COMPARE(watcher.boxes.size(), boxes);
    // The question says from when, as the running language writes it.
    QVERIFY2(watcher.boxes.first().text.contains(when), qPrintable(watcher.boxes.first().text));
    const bool putOff = answer == QMessageBox::Cancel;
    QTRY_COMPARE(QFileInfo::exists(fresh), putOff);
    QCOMPARE(!older.isEmpty() && QFileInfo::exists(older), olderKept);
    if (restored.isEmpty()) {
        QCOMPARE(window->pictureModel()->rowCount() + window->clipModel()->rowCount(), 0);
        QCOMPARE(ledCount.load(), kDefaultLedCount);
    } else {
        QTRY_VERIFY(window->pictureModel()->rowCount() > 0);
        QCOMPARE(ledCount.load(), 100);
        QCOMPARE(lineNumber.load(), 300);
        QCOMPARE(windowEffect(), restored == QLatin1String("newest") ? newestEffect : olderEffect);
    }
    // Restored, the copy's choices are the program's, as after opening a show; otherwise
    // nothing changed.
    const bool smoothNow = restored.isEmpty() ? !copySmooth : copySmooth;
    QCOMPARE(SamplingChoice::stored() == SamplingMode::Smooth, smoothNow);
    QCOMPARE(smooth->isChecked(), smoothNow);
    QCOMPARE(languageCode.load(), restored.isEmpty() || copyLanguage == 0 ? 3 : copyLanguage);
    // Restored, the copy is this window's own at once: the show is never without one.
    const QString own = window->recovery()->store().copyPath();
    QCOMPARE(QFileInfo::exists(own), !restored.isEmpty());
    // Only this window's own copy (and its lock) may be left.
    QStringList left = QDir(copiesDir()).entryList(QDir::Files);
    left.removeAll(QFileInfo(window->recovery()->store().copyPath()).fileName());
    left.removeAll(QFileInfo(window->recovery()->store().copyPath()).fileName()
                   + QLatin1String(RecoveryStore::LockSuffix));
    // Each copy left is held, with its lock, by this start till its end.
    QCOMPARE(left.size(), 2 * (int(putOff) + int(olderKept)));
    // Its next save knows every item already: nothing is read again.
    if (!restored.isEmpty()) {
        RecoveryWriter &writer = window->recovery()->writer();
        QTRY_VERIFY_WITH_TIMEOUT(writer.savesEnded() > 0 && !writer.isSaving(), 10000);
        QCOMPARE(writer.file().lastSave().itemsRead, 0);
        QCOMPARE(writer.file().lastSave().replaced, false);
        QVERIFY(QFileInfo::exists(own));
    }
}

void TestRecoveryOffer::destroyingChangesWaitForTheSave_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("emptying the lists") << "clear";
    QTest::newRow("undoing an edit") << "undo";
}

void TestRecoveryOffer::destroyingChangesWaitForTheSave()
{
    QFETCH(QString, change);
    window->startRecovery(copiesDir());
    RecoveryWriter &writer = window->recovery()->writer();
    writer.setDelay(0);
    ShowFixtures::Playlist playlist;
    ShowFixtures::build(tempDir->path(), {"picture", "picture"}, playlist);
    window->playlist()->addPicture(playlist.pictures.takeFirst());
    window->playlist()->addPicture(playlist.pictures.takeFirst());
    QTRY_VERIFY(QFileInfo::exists(window->recovery()->store().copyPath()));
    QTRY_VERIFY(!writer.isSaving());
    QTRY_VERIFY(!writer.hasPendingChange());

    ImageObject *first = window->pictureModel()->itemsAs<ImageObject>().first();
    const double before = first->displayTime;
    first->displayTime = 8.0;
    window->playlist()->noteValues();
    QSemaphore release;
    std::atomic<bool> inCommit{false};
    writer.file().setBeforeCommit([&] {
        inCommit = true;
        release.acquire();
    });
    const auto cleanUp = qScopeGuard([&] { release.release(100); });
    QTRY_VERIFY(inCommit.load());

    // The save ends a moment after the change asked for the items.
    int rowsWhenSaveEnded = -1;
    QTimer::singleShot(30, window.get(), [&] {
        rowsWhenSaveEnded = window->pictureModel()->rowCount();
        release.release();
    });
    if (change == QLatin1String("clear")) {
        window->clearPlaylists();
        QCOMPARE(rowsWhenSaveEnded, 2);
        QCOMPARE(window->pictureModel()->rowCount(), 0);
    } else {
        QVERIFY(window->playlist()->undo());
        QCOMPARE(rowsWhenSaveEnded, 2);
        QCOMPARE(first->displayTime, before);
    }
    QVERIFY(!writer.isSaving() || rowsWhenSaveEnded == 2);
}

// The date and time stand in the question as its language writes them, whatever the system's
// locale: a Japanese question carried an English weekday and month.
void TestRecoveryOffer::questionSaysWhenInTheRunningLanguage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("locale");
    QTest::newRow("simplified Chinese") << "btnZhCn" << "zh_CN";
    QTest::newRow("traditional Chinese") << "btnZhHk" << "zh_HK";
    QTest::newRow("English") << "btnEnUs" << "en_US";
    QTest::newRow("Japanese") << "btnJp" << "ja_JP";
}

void TestRecoveryOffer::questionSaysWhenInTheRunningLanguage()
{
    QFETCH(QString, button);
    QFETCH(QString, locale);
    auto *choose = window->findChild<QPushButton *>(button);
    QVERIFY(choose);
    choose->click();
    const QDateTime savedAt(QDate(2026, 12, 8), QTime(19, 5, 7));
    const QString question = RecoveryOffer::question(savedAt);
    const QLocale expected{locale};
    QVERIFY2(question.contains(expected.toString(savedAt.date(), QLocale::LongFormat)),
             qPrintable(question));
    QVERIFY2(question.contains(expected.toString(savedAt.time(), QLocale::ShortFormat)),
             qPrintable(question));
    if (expected.language() != QLocale::English)
        QVERIFY2(!question.contains(QLatin1String("December")), qPrintable(question));
    window->findChild<QPushButton *>(QStringLiteral("btnEnUs"))->click();
}

QTEST_MAIN(TestRecoveryOffer)
#include "test_recovery_offer.moc"
