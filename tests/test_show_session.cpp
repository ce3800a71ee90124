// The window's show file: saved and opened through the window's own session, the question
// before unsaved changes go, refused files, the lock while a save runs, the modified mark and
// the list of recent shows.

#include "MainWindowTestSupport.h"
#include "ShowFixtures.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/RecoveryWriter.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowSnapshot.h"
#include "ui/main/ContrastJobs.h"
#include "ui/main/FileMenu.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/RecentShows.h"
#include "ui/main/SamplingChoice.h"
#include "ui/main/SamplingSwitch.h"
#include "ui/main/ShowRecovery.h"
#include "ui/main/ShowSession.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAction>
#include <QMenu>
#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QToolBox>
#include <QUndoStack>
#include <QtTest>

namespace {

// What the session asked and was told, and the answers it gets.
struct Answers
{
    QMessageBox::StandardButton unsaved = QMessageBox::Cancel;
    QMessageBox::StandardButton geometry = QMessageBox::Yes;
    QString saveTo;
    QString openPath;
    int asked = 0;
    int geometryAsked = 0;
    QStringList told;
};

void answerWith(ShowSession *session, Answers &answers)
{
    session->prompts.unsaved = [&answers] {
        ++answers.asked;
        return answers.unsaved;
    };
    session->prompts.chooseSave = [&answers] { return ShowSession::withSuffix(answers.saveTo); };
    session->prompts.chooseOpen = [&answers] { return answers.openPath; };
    session->prompts.otherGeometry = [&answers](const ShowInfo &) {
        ++answers.geometryAsked;
        return answers.geometry;
    };
    session->prompts.tell = [&answers](const QString &text) { answers.told << text; };
}

bool tamper(const QString &path, const QStringList &statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("tamper"));
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        for (const QString &statement : statements)
            ok = ok && q.exec(statement);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
    return ok;
}

void clearSettings()
{
    QSettings settings(QStringLiteral("HologramDisplay"), QStringLiteral("HologramDisplay"));
    settings.remove(RecentShows::Key);
    settings.remove(QStringLiteral("conversion/sampling"));
}

} // namespace

class TestShowSession : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;
    Answers answers;

    ShowSession *session() const { return window->showSession(); }
    QString dir() const { return tempDir->path(); }
    QList<ImageObject *> pictures() const
    {
        return window->pictureModel()->itemsAs<ImageObject>();
    }
    QList<MediaObject *> clips() const { return window->clipModel()->itemsAs<MediaObject>(); }
    QByteArray effect() const { return ShowFixtures::effectBytes(dir(), pictures(), clips()); }

    // Items made as the window makes them, handed to its lists.
    void fill(const QStringList &recipe)
    {
        ShowFixtures::Playlist made;
        ShowFixtures::build(dir(), recipe, made);
        window->playlist()->replace(std::exchange(made.pictures, {}),
                                    std::exchange(made.clips, {}));
    }

    // A show file written without the window.
    void writeShow(const QString &path, const QStringList &recipe)
    {
        ShowFixtures::Playlist made;
        ShowFixtures::build(dir(), recipe, made);
        QVERIFY(ShowFile(path)
                    .save(ShowSnapshot::capture(made.pictures, made.clips, SamplingMode::Sharp))
                    .ok());
    }

    bool saveAs(const QString &path)
    {
        answers.saveTo = path;
        QSignalSpy finished(session(), &ShowSession::saveFinished);
        if (!session()->saveAs() || !finished.wait(60000))
            return false;
        return finished.constFirst().constFirst().toBool();
    }

    void selectPicture(int row)
    {
        auto *view = window->findChild<QTableView *>(QStringLiteral("tableView"));
        view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect
                                                    | QItemSelectionModel::Rows);
    }

    void chooseLanguage(int code)
    {
        switch (code) {
        case 1: window->onBtnZhCnClick(); break;
        case 2: window->onBtnZhHkClick(); break;
        case 3: window->onBtnEnUsClick(); break;
        default: window->onBtnJpClick(); break;
        }
    }

    QAction *smoothAction() const
    {
        return window->findChild<QAction *>(QStringLiteral("actionSmoothSampling"));
    }

private slots:
    void initTestCase()
    {
        // Closing the window is one of the things tried; the test goes on afterwards.
        QApplication::setQuitOnLastWindowClosed(false);
        // The sampling chosen here is the one the show keeps for later imports; the items
        // already in the list keep theirs.
        SamplingSwitch::setAnswerer(
            [](const SamplingSwitch::Question &) { return SamplingSwitch::Answer::Keep; });
    }

    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        clearSettings();
        QVERIFY(openFreshWindow(tempDir, window));
        answers = Answers();
        answerWith(session(), answers);
    }

    void cleanup()
    {
        closeFreshWindow(tempDir, window);
        clearSettings();
    }

    // Saved, emptied by New, opened again: the download writes the very bytes it wrote
    // before, with the language and the sampling choice the show was saved with.
    void roundTripThroughTheWindow_data()
    {
        QTest::addColumn<QStringList>("recipe");
        QTest::addColumn<bool>("smooth");
        QTest::addColumn<int>("language");
        QTest::newRow("pictures and a video clip")
            << QStringList{"picture", "picture", "video"} << false << 3;
        QTest::newRow("drawing and GIF, smooth, Japanese")
            << QStringList{"diy", "gif"} << true << 4;
        QTest::newRow("contrast and both samplings, Chinese")
            << QStringList{"contrast", "smooth", "twice"} << false << 1;
        QTest::newRow("read back and a bare clip")
            << QStringList{"readback", "picture", "bareclip"} << true << 2;
        QTest::newRow("clips alone") << QStringList{"video", "gif"} << false << 3;
    }

    void roundTripThroughTheWindow()
    {
        QFETCH(QStringList, recipe);
        QFETCH(bool, smooth);
        QFETCH(int, language);

        window->startRecovery(dir() + QStringLiteral("/recovery"));
        chooseLanguage(language);
        smoothAction()->setChecked(smooth);
        fill(recipe);
        const QByteArray before = effect();
        QVERIFY(!before.isEmpty());
        QVERIFY(session()->isModified());

        // Typed without the suffix: the session adds it.
        QVERIFY(saveAs(dir() + QStringLiteral("/evening")));
        const QString path = dir() + QStringLiteral("/evening.hdshow");
        QCOMPARE(session()->path(), path);
        QVERIFY(!session()->isModified());
        QVERIFY(!window->isWindowModified());
        QVERIFY(window->windowTitle().startsWith(QStringLiteral("evening[*]")));

        // Other choices meanwhile; New asks, and Discard drops them.
        chooseLanguage(language == 3 ? 4 : 3);
        smoothAction()->setChecked(!smooth);
        answers.unsaved = QMessageBox::Discard;
        QVERIFY(session()->newShow());
        QCOMPARE(answers.asked, 1);
        QVERIFY(pictures().isEmpty() && clips().isEmpty());
        QVERIFY(session()->path().isEmpty());

        QVERIFY(session()->openShow(path));
        QCOMPARE(answers.asked, 1);
        QVERIFY2(answers.told.isEmpty(), qPrintable(answers.told.join(u'\n')));
        QCOMPARE(languageCode.load(), language);
        QCOMPARE(SamplingChoice::stored() == SamplingMode::Smooth, smooth);
        QCOMPARE(effect(), before);
        QVERIFY(!session()->isModified());
        // It opens on a list that shows its items.
        QCOMPARE(window->findChild<QToolBox *>()->currentIndex(), pictures().isEmpty() ? 1 : 0);
        // The file is the copy of a show opened as it is: no recovery copy is written.
        QVERIFY(!window->recovery()->writer().hasPendingChange());
        QCOMPARE(session()->path(), path);
        QCOMPARE(session()->recent().paths().value(0), path);
    }

    // New, Open and closing the window with unsaved changes: Cancel keeps everything,
    // Discard goes on, Save writes the show and goes on, a save that fails or is cancelled
    // keeps everything. A show without changes is not asked about.
    void unsavedChangesAreAskedAbout_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("proceeds");
        QTest::addColumn<bool>("written");
        for (const char *action : {"new", "open", "close"}) {
            const QByteArray a(action);
            const QString name = QString::fromLatin1(a);
            QTest::newRow(a + ": cancel keeps") << name << true << "cancel" << false << false;
            QTest::newRow(a + ": discard goes on") << name << true << "discard" << true << false;
            QTest::newRow(a + ": save writes, goes on") << name << true << "save" << true << true;
            QTest::newRow(a + ": failing save keeps")
                << name << true << "save fails" << false << false;
            QTest::newRow(a + ": cancelled save keeps")
                << name << true << "save cancelled" << false << false;
            QTest::newRow(a + ": nothing to lose") << name << false << "cancel" << true << false;
        }
    }

    void unsavedChangesAreAskedAbout()
    {
        QFETCH(QString, action);
        QFETCH(bool, modified);
        QFETCH(QString, answer);
        QFETCH(bool, proceeds);
        QFETCH(bool, written);

        const QString other = dir() + QStringLiteral("/other.hdshow");
        writeShow(other, {"picture", "picture"});
        window->show();
        fill({"picture"});
        if (!modified)
            QVERIFY(saveAs(dir() + QStringLiteral("/kept.hdshow")));
        ImageObject *onScreen = pictures().value(0);
        const QString pathBefore = session()->path();
        const QString target = dir() + QStringLiteral("/saved.hdshow");
        answers.openPath = other;
        answers.unsaved = answer == QLatin1String("cancel")    ? QMessageBox::Cancel
                          : answer == QLatin1String("discard") ? QMessageBox::Discard
                                                               : QMessageBox::Save;
        answers.saveTo = answer == QLatin1String("save fails")
                             ? dir() + QStringLiteral("/no such folder/saved.hdshow")
                         : answer == QLatin1String("save cancelled") ? QString()
                                                                      : target;

        bool went = false;
        if (action == QLatin1String("new"))
            went = session()->newShow();
        else if (action == QLatin1String("open"))
            went = session()->open();
        else
            went = window->close();

        QCOMPARE(went, proceeds);
        QCOMPARE(answers.asked, modified ? 1 : 0);
        QCOMPARE(QFileInfo::exists(target), written);
        if (written) {
            ShowInfo info;
            QVERIFY(ShowFile::readInfo(target, &info).ok());
            QCOMPARE(info.pictures.size(), 1);
        }
        QCOMPARE(answers.told.isEmpty(), answer != QLatin1String("save fails"));
        if (!proceeds) {
            QCOMPARE(pictures(), QList<ImageObject *>{onScreen});
            QVERIFY(session()->isModified());
            QVERIFY(window->isVisible());
            QCOMPARE(session()->path(), pathBefore);
        } else if (action == QLatin1String("new")) {
            QVERIFY(pictures().isEmpty());
            QVERIFY(session()->path().isEmpty());
        } else if (action == QLatin1String("open")) {
            QCOMPARE(pictures().size(), 2);
            QCOMPARE(session()->path(), other);
            QVERIFY(!session()->isModified());
        } else {
            QVERIFY(!window->isVisible());
        }
    }

    // A file that cannot be opened leaves the lists, the geometry and the work directory as
    // they were, and says why (unless the user gave up).
    void refusedShowLeavesThePlaylist_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("otherGeometry");
        QTest::addColumn<QStringList>("sql");
        QTest::addColumn<bool>("told");
        QTest::newRow("not SQLite") << "text" << false << QStringList{} << true;
        QTest::newRow("truncated") << "truncate" << false << QStringList{} << true;
        QTest::newRow("missing file") << "missing" << false << QStringList{} << true;
        QTest::newRow("newer version")
            << "" << false << QStringList{"PRAGMA user_version = 99"} << true;
        QTest::newRow("geometry 100,000")
            << "" << false
            << QStringList{"UPDATE meta SET value = 100000 WHERE key = 'line_number'"} << true;
        // Found while converting, after the geometry was switched to the show's.
        QTest::newRow("source no picture, show of another geometry")
            << "" << true
            << QStringList{"UPDATE blob SET data = zeroblob(300), size = 300 WHERE id = "
                           "(SELECT source FROM item WHERE kind = 2)",
                           "UPDATE item SET led = NULL WHERE kind = 2"}
            << true;
        QTest::newRow("geometry question cancelled") << "cancel" << true << QStringList{} << false;
    }

    void refusedShowLeavesThePlaylist()
    {
        QFETCH(QString, damage);
        QFETCH(bool, otherGeometry);
        QFETCH(QStringList, sql);
        QFETCH(bool, told);

        const QString path = dir() + QStringLiteral("/hostile.hdshow");
        if (otherGeometry) {
            ledCount = 36;
            lineNumber = 360;
        }
        writeShow(path, {"picture", "diy", "video"});
        ledCount = kDefaultLedCount;
        lineNumber = kDefaultLineNumber;
        QFile file(path);
        if (damage == QLatin1String("text")) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("a note, not a show\n");
            file.close();
        } else if (damage == QLatin1String("truncate")) {
            QVERIFY(file.resize(file.size() / 2));
        } else if (damage == QLatin1String("missing")) {
            session()->recent().add(path);
            QVERIFY(file.remove());
        }
        if (!sql.isEmpty())
            QVERIFY(tamper(path, sql));
        answers.geometry =
            damage == QLatin1String("cancel") ? QMessageBox::Cancel : QMessageBox::Yes;
        // The unsaved lists may go: only the file stops the open.
        answers.unsaved = QMessageBox::Discard;

        fill({"picture", "video"});
        const QList<ImageObject *> picturesBefore = pictures();
        const QList<MediaObject *> clipsBefore = clips();
        const QByteArray effectBefore = effect();
        const QStringList filesBefore = ShowFixtures::workFiles();

        QVERIFY(!session()->openShow(path));
        QCOMPARE(answers.asked, 1);
        QCOMPARE(answers.geometryAsked, otherGeometry ? 1 : 0);
        QCOMPARE(!answers.told.isEmpty(), told);
        QCOMPARE(pictures(), picturesBefore);
        QCOMPARE(clips(), clipsBefore);
        QCOMPARE(ledCount.load(), kDefaultLedCount);
        QCOMPARE(lineNumber.load(), kDefaultLineNumber);
        QCOMPARE(effect(), effectBefore);
        QCOMPARE(ShowFixtures::workFiles(), filesBefore);
        QVERIFY(session()->path().isEmpty());
        QVERIFY(session()->isModified());
        QVERIFY(!session()->recent().paths().contains(path));
    }

    // While a save reads the items on its thread nothing may delete, redraw or convert them;
    // adding and reordering go on, and an edit made meanwhile stays unsaved.
    void saveHoldsTheItems_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("refused");
        QTest::newRow("delete a picture") << "delete" << true;
        QTest::newRow("undo") << "undo" << true;
        QTest::newRow("contrast or redraw") << "edit" << true;
        QTest::newRow("replace the lists") << "replace" << true;
        QTest::newRow("add a picture") << "add" << false;
        QTest::newRow("reorder") << "reorder" << false;
        QTest::newRow("display time") << "time" << false;
    }

    void saveHoldsTheItems()
    {
        QFETCH(QString, change);
        QFETCH(bool, refused);

        ModalWatcher boxes;
        fill({"picture", "picture", "picture"});
        window->playlist()->movePicture(pictures().at(2), 3, 2);  // something to undo
        // Shared with the saving thread, which may outlive this function when it fails.
        const auto entered = std::make_shared<QSemaphore>();
        const auto gate = std::make_shared<QSemaphore>();
        session()->beforeWrite = [entered, gate] {
            entered->release();
            gate->acquire();
        };
        const auto open = qScopeGuard([gate] { gate->release(); });
        answers.saveTo = dir() + QStringLiteral("/held.hdshow");
        QSignalSpy finished(session(), &ShowSession::saveFinished);
        QVERIFY(session()->saveAs());
        QTRY_VERIFY(entered->available() == 1);
        QVERIFY(window->playlistInUse());

        const QList<ImageObject *> before = pictures();
        bool changed = false;
        if (change == QLatin1String("delete")) {
            selectPicture(0);
            changed = window->playlist()->removeSelectedPicture();
        } else if (change == QLatin1String("undo")) {
            changed = window->playlist()->undo();
        } else if (change == QLatin1String("edit")) {
            changed = !window->playlist()->refuse(PlaylistController::Edit);
        } else if (change == QLatin1String("replace")) {
            changed = !window->playlist()->refuse(PlaylistController::Replace);
        } else if (change == QLatin1String("add")) {
            window->addPictureFile(ShowFixtures::writeSource(dir(), QStringLiteral("n.png"), 9));
            changed = pictures().size() == 4;
        } else if (change == QLatin1String("reorder")) {
            window->playlist()->movePicture(pictures().at(0), 1, 3);
            changed = pictures() != before;
        } else if (change == QLatin1String("time")) {
            pictures().at(1)->displayTime += 1.0;
            window->playlist()->noteValues();
            changed = true;
        }
        QCOMPARE(changed, !refused);
        if (refused) {
            QCOMPARE(pictures(), before);
            for (ImageObject *item : before)
                QVERIFY(QFileInfo::exists(item->bufPath()));
        }

        gate->release();
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.constFirst().constFirst().toBool());
        QVERIFY(!window->playlistInUse());
        QVERIFY(!window->playlist()->isLocked(PlaylistController::Remove));
        // What changed meanwhile is not in the file.
        QCOMPARE(session()->isModified(), !refused);
        ShowInfo info;
        QVERIFY(ShowFile::readInfo(session()->path(), &info).ok());
        QCOMPARE(info.pictures.size(), 3);
    }

    // The mark follows what the file keeps: each change sets it, and taking the change back
    // (undo, the old choice) clears it again.
    void modifiedMarkFollowsTheShow_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("backIsClean");
        QTest::newRow("add a picture") << "add" << true;
        QTest::newRow("delete a picture") << "delete" << true;
        QTest::newRow("reorder pictures") << "reorder" << true;
        QTest::newRow("display time") << "time" << true;
        QTest::newRow("loop count") << "loops" << true;
        // The edit after saving is not merged into the one before.
        QTest::newRow("loop count changed before and after saving") << "loops again" << true;
        QTest::newRow("sampling choice") << "sampling" << true;
        QTest::newRow("language") << "language" << true;
        // Undoing converts again: new LED data files, told as a change.
        QTest::newRow("contrast") << "contrast" << false;
    }

    void modifiedMarkFollowsTheShow()
    {
        QFETCH(QString, change);
        QFETCH(bool, backIsClean);

        fill({"picture", "picture", "video"});
        if (change == QLatin1String("loops again")) {
            clips().at(0)->loopCount += 1;
            window->playlist()->noteValues();
        }
        QVERIFY(saveAs(dir() + QStringLiteral("/marked.hdshow")));
        QVERIFY(!window->isWindowModified());
        QSignalSpy marks(session(), &ShowSession::modifiedChanged);

        const auto undo = [this] { QVERIFY(window->playlist()->undo()); };
        std::function<void()> back = undo;
        if (change == QLatin1String("add")) {
            window->addPictureFile(ShowFixtures::writeSource(dir(), QStringLiteral("n.png"), 9));
            back = [this] {
                selectPicture(2);
                QVERIFY(window->playlist()->removeSelectedPicture());
            };
        } else if (change == QLatin1String("delete")) {
            selectPicture(0);
            QVERIFY(window->playlist()->removeSelectedPicture());
        } else if (change == QLatin1String("reorder")) {
            window->playlist()->movePicture(pictures().at(0), 1, 2);
        } else if (change == QLatin1String("time")) {
            pictures().at(0)->displayTime += 0.5;
            window->playlist()->noteValues();
        } else if (change.startsWith(QLatin1String("loops"))) {
            clips().at(0)->loopCount += 2;
            window->playlist()->noteValues();
        } else if (change == QLatin1String("sampling")) {
            smoothAction()->setChecked(true);
            back = [this] { smoothAction()->setChecked(false); };
        } else if (change == QLatin1String("language")) {
            window->onBtnJpClick();
            back = [this] { window->onBtnEnUsClick(); };
        } else if (change == QLatin1String("contrast")) {
            ImageObject *item = pictures().at(0);
            QSignalSpy applied(window->contrastJobs(), &ContrastJobs::applied);
            window->contrastJobs()->post(
                item, 14, QImage(item->sourcePath).convertToFormat(QImage::Format_ARGB32));
            QVERIFY(applied.wait(30000));
            QTRY_VERIFY(!window->contrastJobs()->isBusy());
        }
        QVERIFY(session()->isModified());
        QVERIFY(window->isWindowModified());
        QCOMPARE(marks.size(), 1);

        back();
        if (change == QLatin1String("contrast"))
            QTRY_VERIFY(!window->contrastJobs()->isBusy());
        QCOMPARE(session()->isModified(), !backIsClean);
        QCOMPARE(window->isWindowModified(), !backIsClean);
    }

    // The recent list takes only what it can use from the settings, keeps ten, the newest
    // first, each once, and leaves out shows that are gone when it is written; the menu
    // greys those it still lists.
    void recentShowsKeepWhatExists_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("read");
        QTest::addColumn<QStringList>("afterAdding");
        const QStringList none;
        QTest::newRow("nothing stored") << QVariant() << none << none << none << none;
        QTest::newRow("damaged: a number") << QVariant(42) << none << none << none << none;
        QTest::newRow("damaged: a map")
            << QVariant(QVariantMap{{"a", "@/a.hdshow"}}) << QStringList{"a"} << none << none
            << none;
        QTest::newRow("damaged: not text among paths")
            << QVariant(QVariantList{"@/a.hdshow", QPoint(1, 2)}) << QStringList{"a"} << none
            << none << none;
        QTest::newRow("damaged: garbled in the file")
            << QVariant(QByteArray("@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5junk)"))
            << none << none << none << none;
        QTest::newRow("one path stored as text")
            << QVariant(QString("@/a.hdshow")) << QStringList{"a"} << none
            << QStringList{"a"} << none;
        QTest::newRow("relative, empty and repeated entries")
            << QVariant(QStringList{"", "b.hdshow", "@/a.hdshow", "@/./a.hdshow"})
            << QStringList{"a"} << QStringList{"c"} << QStringList{"a"}
            << QStringList{"c", "a"};
        QTest::newRow("a missing show is listed until the list is written")
            << QVariant(QStringList{"@/a.hdshow", "@/gone.hdshow", "@/b.hdshow"})
            << QStringList{"a", "b"} << QStringList{"c"}
            << QStringList{"a", "gone", "b"} << QStringList{"c", "a", "b"};
        QTest::newRow("opened again moves first")
            << QVariant(QStringList{"@/a.hdshow", "@/b.hdshow"}) << QStringList{"a", "b"}
            << QStringList{"b"} << QStringList{"a", "b"} << QStringList{"b", "a"};
        QStringList twelve;
        for (int i = 1; i <= 12; ++i)
            twelve << QStringLiteral("s%1").arg(i);
        QStringList newestTen;
        for (int i = 12; i >= 3; --i)
            newestTen << QStringLiteral("s%1").arg(i);
        QTest::newRow("ten at most") << QVariant() << twelve << twelve << none << newestTen;
    }

    void recentShowsKeepWhatExists()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, added);
        QFETCH(QStringList, read);
        QFETCH(QStringList, afterAdding);

        const auto pathOf = [this](const QString &name) {
            return dir() + u'/' + name + QStringLiteral(".hdshow");
        };
        const auto paths = [&](const QStringList &names) {
            QStringList result;
            for (const QString &name : names)
                result << pathOf(name);
            return result;
        };
        const auto placed = [this](QVariant value) {
            const auto fix = [this](QString text) {
                return text.replace(QStringLiteral("@"), dir());
            };
            if (value.typeId() == QMetaType::QString)
                return QVariant(fix(value.toString()));
            if (value.typeId() == QMetaType::QStringList) {
                QStringList list = value.toStringList();
                for (QString &entry : list)
                    entry = fix(entry);
                return QVariant(list);
            }
            if (value.typeId() == QMetaType::QVariantList) {
                QVariantList list = value.toList();
                for (QVariant &entry : list)
                    if (entry.typeId() == QMetaType::QString)
                        entry = fix(entry.toString());
                return QVariant(list);
            }
            return value;
        };
        for (const QString &name : existing) {
            QFile file(pathOf(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        {
            QSettings settings(QStringLiteral("HologramDisplay"), QStringLiteral("HologramDisplay"));
            if (stored.isValid() && stored.typeId() != QMetaType::QByteArray)
                settings.setValue(RecentShows::Key, placed(stored));
        }
        if (stored.typeId() == QMetaType::QByteArray) {
            // Text written into the settings file by hand, not through QSettings.
            const QString name = QSettings(QStringLiteral("HologramDisplay"),
                                           QStringLiteral("HologramDisplay"))
                                     .fileName();
            QDir().mkpath(QFileInfo(name).absolutePath());
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("[show]\nrecent=" + stored.toByteArray() + "\n");
        }

        RecentShows &recent = session()->recent();
        QCOMPARE(recent.paths(), paths(read));
        window->fileMenu()->fillRecent();
        QList<QAction *> entries;
        for (QAction *action : window->fileMenu()->recentMenu()->actions())
            if (action->data().isValid())
                entries << action;
        QCOMPARE(entries.size(), read.size());
        for (QAction *action : entries)
            QCOMPARE(action->isEnabled(), QFileInfo::exists(action->data().toString()));

        if (added.isEmpty())
            return;
        for (const QString &name : added)
            recent.add(pathOf(name));
        QCOMPARE(recent.paths(), paths(afterAdding));
    }
};

QTEST_MAIN(TestShowSession)
#include "test_show_session.moc"
