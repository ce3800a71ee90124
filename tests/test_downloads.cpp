#include "TestEnvironment.h"
#include "MainWindowTestSupport.h"
#include "PrivateMounts.h"

#include "app/AppGlobals.h"
#include "disk/DiskMonitor.h"
#include "ui/disk/SelectUsbPathDialog.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/dialogs/GetSaveFileDialog.h"
#include "ui/main/MainWindow.h"
#include "ui/dialogs/ProgressDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <unistd.h>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

} // namespace

class TestDownloads : public QObject
{
    Q_OBJECT
public:
    explicit TestDownloads(bool isolated)
        : isolated(isolated)
    {
    }

private slots:
    void init();
    void cleanup();

    void localDownloadWritesFileAndReportsSuccess();
    void emptyPlaylistWritesHeaderOnly();
    void localNamingAndReplacing_data();
    void localNamingAndReplacing();
    void cancelledDialogsSendNothing_data();
    void cancelledDialogsSendNothing();
    void readOnlyDirectoryFailsAndKeepsEarlierFile();
    void fullDiskFailsAndKeepsEarlierFile();
    void diskDownloadWritesToChosenDisk();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Answers the dialogs of one download (directory, disk, file name) and records the
    // message boxes.
    std::unique_ptr<ModalWatcher> answer(const QString &directory, const QString &name);
    void addPicture();
    qint64 expectedSize() const;

    bool isolated;
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;
    QStringList busyTexts;
    QStringList diskRowsSeen;
    bool cancelDirectory = false;
    bool cancelName = false;
    QStringList mounted;
};

void TestDownloads::init()
{
    QVERIFY(TestEnvironment::enterFreshDirectory(tempDir));
    window = std::make_unique<MainWindow>();
    window->onBtnEnUsClick();
    qApp->installEventFilter(this);
    busyTexts.clear();
    diskRowsSeen.clear();
    cancelDirectory = false;
    cancelName = false;
}

void TestDownloads::cleanup()
{
    qApp->removeEventFilter(this);
    window.reset();
    for (const QString &dir : std::as_const(mounted))
        PrivateMounts::unmount(dir);
    mounted.clear();
    tempDir.reset();
}

std::unique_ptr<ModalWatcher> TestDownloads::answer(const QString &directory, const QString &name)
{
    // Yes to the question before an existing file is replaced.
    return std::make_unique<ModalWatcher>(QMessageBox::Yes, [this, directory, name](QWidget *modal) {
        if (auto *chooser = qobject_cast<QFileDialog *>(modal)) {
            if (cancelDirectory) {
                chooser->reject();
                return;
            }
            chooser->setDirectory(directory);
            static_cast<QDialog *>(chooser)->accept();  // QFileDialog::accept() checks the choice
        } else if (auto *disks = qobject_cast<SelectUsbPathDialog *>(modal)) {
            // A stick inserted while the dialog is open shows up in it.
            window->disks()->AddDisk(tempDir->filePath("late-stick"));
            auto *list = disks->findChild<QListWidget *>("listWidget");
            for (int row = 0; row < list->count(); ++row)
                diskRowsSeen << list->item(row)->text();
            disks->findChild<QPushButton *>("okBut")->click();
        } else if (auto *naming = qobject_cast<GetSaveFileDialog *>(modal)) {
            if (cancelName) {
                naming->findChild<QPushButton *>("cancelBut")->click();
                return;
            }
            naming->findChild<QLineEdit *>("txtFileName")->setText(name);
            naming->findChild<QPushButton *>("okBut")->click();
        }
    });
}

bool TestDownloads::eventFilter(QObject *watched, QEvent *event)
{
    // The write may end before a polling look would see the busy dialog: catch its showing.
    if (event->type() == QEvent::Show) {
        if (auto *busy = qobject_cast<ProgressDialog *>(watched))
            busyTexts << busy->text();
    }
    return false;
}

void TestDownloads::addPicture()
{
    const QString picture = writePicture(tempDir->path(), "p.png", 300, 200);
    window->addPictureFile(picture);
    QCOMPARE(window->pictureModel()->itemCount(), 1);
}

qint64 TestDownloads::expectedSize() const
{
    return EffectWriter::expectedFileSize(
        EffectPlaylist::capture(window->pictureModel()->itemsAs<ImageObject>(),
                                window->clipModel()->itemsAs<MediaObject>()));
}

void TestDownloads::localDownloadWritesFileAndReportsSuccess()
{
    addPicture();
    const QString dir = tempDir->filePath("effects");
    QVERIFY(QDir().mkpath(dir));
    const QString target = dir + "/show.bin";
    auto watcher = answer(dir, "show");
    window->onActionDownToLocal();

    QCOMPARE(watcher->boxes.size(), 1);
    QCOMPARE(watcher->boxes[0].title, "Tip");
    QCOMPARE(watcher->boxes[0].text, "Download success: " + target);
    QCOMPARE(busyTexts, QStringList{"Downloading the effect…"});
    QVERIFY(!window->currentBusyDialog());
    QVERIFY(!window->isDownloadPending());

    const QByteArray written = contentOf(target);
    QVERIFY(expectedSize() > 4096);
    QCOMPARE(written.size(), expectedSize());
    // The picture's LED data follows the 4096-byte header unchanged.
    const QByteArray led = window->pictureModel()->itemsAs<ImageObject>().first()->readLedData();
    QCOMPARE(written.mid(4096, led.size()), led);
    QVERIFY(!QFile::exists(EffectWriter::stagingPath(target)));
}

void TestDownloads::emptyPlaylistWritesHeaderOnly()
{
    const QString dir = tempDir->filePath("effects");
    QVERIFY(QDir().mkpath(dir));
    auto watcher = answer(dir, "a");
    window->onActionDownToLocal();
    QCOMPARE(contentOf(dir + "/a.bin").size(), 4096);
    QCOMPARE(watcher->boxes.size(), 1);
    QCOMPARE(watcher->boxes[0].text, "Download success: " + dir + "/a.bin");
}

void TestDownloads::localNamingAndReplacing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("earlierFile"); // a file of the resulting name exists before
    QTest::addColumn<int>("answer");       // to the replace question
    QTest::addColumn<QString>("written");  // the file that holds the effect afterwards
    QTest::addColumn<bool>("replaced");
    QTest::newRow("no suffix gets .bin") << "show" << false << int(QMessageBox::No) << "show.bin"
                                         << true;
    QTest::newRow("typed .bin kept once") << "show.bin" << false << int(QMessageBox::No)
                                          << "show.bin" << true;
    QTest::newRow("upper-case suffix kept") << "SHOW.BIN" << false << int(QMessageBox::No)
                                            << "SHOW.BIN" << true;
    QTest::newRow("existing, Yes replaces") << "show" << true << int(QMessageBox::Yes)
                                            << "show.bin" << true;
    QTest::newRow("existing, No keeps the old bytes") << "show" << true << int(QMessageBox::No)
                                                      << "show.bin" << false;
}

void TestDownloads::localNamingAndReplacing()
{
    QFETCH(QString, typed);
    QFETCH(bool, earlierFile);
    QFETCH(int, answer);
    QFETCH(QString, written);
    QFETCH(bool, replaced);
    addPicture();
    const QString dir = tempDir->filePath("effects");
    QVERIFY(QDir().mkpath(dir));
    const QString target = dir + u'/' + written;
    if (earlierFile)
        writeFile(target, "earlier effect");

    QStringList offeredNames;
    QStringList startFolders;
    ModalWatcher watcher(QMessageBox::StandardButton(answer), [&](QWidget *modal) {
        if (auto *chooser = qobject_cast<QFileDialog *>(modal)) {
            startFolders << chooser->directory().absolutePath();
            chooser->setDirectory(dir);
            static_cast<QDialog *>(chooser)->accept();
        } else if (auto *naming = qobject_cast<GetSaveFileDialog *>(modal)) {
            auto *edit = naming->findChild<QLineEdit *>("txtFileName");
            offeredNames << edit->text();
            edit->setText(typed);
            naming->findChild<QPushButton *>("okBut")->click();
        }
    });
    window->onActionDownToLocal();
    // The question, when asked, then the outcome unless the user declined.
    QCOMPARE(watcher.boxes.size(), int(earlierFile) + int(replaced));
    if (earlierFile)
        QVERIFY(watcher.boxes[0].text.contains(target));
    QCOMPARE(contentOf(target) == "earlier effect", !replaced);
    QCOMPARE(contentOf(target).size() == expectedSize(), replaced);
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{written});

    // The next download starts in the same folder and offers the name typed.
    window->onActionDownToLocal();
    QTRY_COMPARE(offeredNames.size(), 2);
    QCOMPARE(offeredNames[0], QStringLiteral("show"));
    QCOMPARE(offeredNames[1], typed);
    QCOMPARE(startFolders.size(), 2);
    QCOMPARE(startFolders[1], QDir(dir).absolutePath());
}

void TestDownloads::cancelledDialogsSendNothing_data()
{
    QTest::addColumn<bool>("cancelDirectory");
    QTest::addColumn<bool>("cancelName");
    QTest::newRow("directory chooser cancelled") << true << false;
    QTest::newRow("name dialog cancelled") << false << true;
}

void TestDownloads::cancelledDialogsSendNothing()
{
    QFETCH(bool, cancelDirectory);
    QFETCH(bool, cancelName);
    this->cancelDirectory = cancelDirectory;
    this->cancelName = cancelName;
    const QString dir = tempDir->filePath("effects");
    QVERIFY(QDir().mkpath(dir));

    auto watcher = answer(dir, "show");
    window->onActionDownToLocal();
    QVERIFY(watcher->boxes.isEmpty());
    QVERIFY(busyTexts.isEmpty());
    QVERIFY(!window->isDownloadPending());
    QVERIFY(QDir(dir).isEmpty());
}

void TestDownloads::readOnlyDirectoryFailsAndKeepsEarlierFile()
{
    addPicture();
    const QString dir = tempDir->filePath("locked");
    QVERIFY(QDir().mkpath(dir));
    writeFile(dir + "/show.bin", "earlier effect");
    if (isolated) {
        QVERIFY(PrivateMounts::makeReadOnly(dir));
        mounted << dir;
    } else if (::geteuid() != 0) {
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
    } else {
        QSKIP("running as root without a mount namespace: no directory is read-only");
    }

    auto watcher = answer(dir, "show");
    window->onActionDownToLocal();
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // Replacing was confirmed; the write then fails.
    QCOMPARE(watcher->boxes.size(), 2);
    QCOMPARE(watcher->boxes[1].title, "Tip");
    QVERIFY2(watcher->boxes[1].text.startsWith("Download failed: "), qPrintable(watcher->boxes[1].text));
    QVERIFY(!window->isDownloadPending());
    QCOMPARE(contentOf(dir + "/show.bin"), QByteArray("earlier effect"));
}

void TestDownloads::fullDiskFailsAndKeepsEarlierFile()
{
    if (!isolated)
        QSKIP("no private mount namespace: a small disk cannot be simulated");
    addPicture();
    const QString dir = tempDir->filePath("small-stick");
    QVERIFY(QDir().mkpath(dir));
    // 64 KiB: room for the earlier file, not for one picture's LED data.
    QVERIFY(PrivateMounts::mountTmpfs(dir, "smallstick", "size=64k"));
    mounted << dir;
    writeFile(dir + "/show.bin", "earlier effect");
    QVERIFY(expectedSize() > 64 * 1024);

    window->disks()->AddDisk(dir);
    auto watcher = answer(dir, "show");
    window->onActionDownToUsb();

    QCOMPARE(watcher->boxes.size(), 2);
    QVERIFY2(watcher->boxes[1].text.startsWith("Download failed: "), qPrintable(watcher->boxes[1].text));
    QCOMPARE(contentOf(dir + "/show.bin"), QByteArray("earlier effect"));
    QVERIFY(!QFile::exists(EffectWriter::stagingPath(dir + "/show.bin")));
}

void TestDownloads::diskDownloadWritesToChosenDisk()
{
    const QString stick = tempDir->filePath("STICK ONE");
    QVERIFY(QDir().mkpath(stick));
    window->disks()->AddDisk(stick);

    auto watcher = answer(QString(), "show");
    window->onActionDownToUsb();

    QCOMPARE(diskRowsSeen, (QStringList{stick, tempDir->filePath("late-stick")}));
    QCOMPARE(contentOf(stick + "/show.bin").size(), 4096);
    QCOMPARE(watcher->boxes.size(), 1);
    QCOMPARE(watcher->boxes[0].text, "Download success: " + stick + "/show.bin");
}

int main(int argc, char **argv)
{
    // Full and read-only disks are mounts in the test's own mount namespace.
    const bool isolated = PrivateMounts::enterNamespace();
    QApplication app(argc, argv);
    TestDownloads test(isolated);
    return QTest::qExec(&test, argc, argv);
}

#include "test_downloads.moc"
