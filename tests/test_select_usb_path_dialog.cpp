#include "ModalDriver.h"

#include "disk/DiskBackend.h"
#include "disk/DiskMonitor.h"
#include "ui/disk/SelectUsbPathDialog.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QListWidget *listOf(SelectUsbPathDialog &dialog)
{
    return dialog.findChild<QListWidget *>("listWidget");
}

QStringList rowsOf(SelectUsbPathDialog &dialog)
{
    QStringList rows;
    QListWidget *list = listOf(dialog);
    for (int row = 0; row < list->count(); ++row)
        rows.append(list->item(row)->text());
    return rows;
}

} // namespace

class TestSelectUsbPathDialog : public QObject
{
    Q_OBJECT

private slots:
    void formMatchesLayout();
    void firstDiskIsCurrentAndOkReturnsIt();
    void insertionIntoEmptyListBecomesCurrent();
    void insertionIntoFilledListKeepsCurrent();
    void removal_data();
    void removal();
    void removingLastDiskEmptiesSelection();
    void okWithoutSelectionShowsBoxAndStaysOpen();
    void cancelRejects();
    void followsDiskListWhileOpen();
};

void TestSelectUsbPathDialog::formMatchesLayout()
{
    SelectUsbPathDialog dialog({});
    QCOMPARE(dialog.size(), QSize(557, 306));
    // No catalogue is loaded: the source texts show.
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("选择U盘路径"));
    auto *label = dialog.findChild<QLabel *>("label");
    QVERIFY(label);
    QCOMPARE(label->text(), QString::fromUtf8("当前检测到的所有U盘："));
    QCOMPARE(label->minimumHeight(), 25);
    QCOMPARE(label->styleSheet(), "background-color: rgb(104, 104, 104);\ncolor: rgb(255, 255, 255);");
    QCOMPARE(dialog.findChild<QPushButton *>("okBut")->text(), QString::fromUtf8("确定"));
    QCOMPARE(dialog.findChild<QPushButton *>("cancelBut")->text(), QString::fromUtf8("取消"));
    QCOMPARE(listOf(dialog)->isWrapping(), false);
}

void TestSelectUsbPathDialog::firstDiskIsCurrentAndOkReturnsIt()
{
    SelectUsbPathDialog dialog({"E:", "G:"});
    QCOMPARE(rowsOf(dialog), (QStringList{"E:", "G:"}));
    QCOMPARE(listOf(dialog)->currentRow(), 0);
    QCOMPARE(dialog.selectedPath(), "E:");

    ModalDriver::clickIn<SelectUsbPathDialog>("okBut");
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.selectedPath(), "E:");
}

void TestSelectUsbPathDialog::insertionIntoEmptyListBecomesCurrent()
{
    SelectUsbPathDialog dialog({});
    QVERIFY(dialog.selectedPath().isEmpty());
    dialog.usbMountEvent("/media/user/STICK");
    QCOMPARE(listOf(dialog)->currentRow(), 0);
    QCOMPARE(dialog.selectedPath(), "/media/user/STICK");

    ModalDriver::clickIn<SelectUsbPathDialog>("okBut");
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.selectedPath(), "/media/user/STICK");
}

void TestSelectUsbPathDialog::insertionIntoFilledListKeepsCurrent()
{
    SelectUsbPathDialog dialog({"E:", "G:"});
    listOf(dialog)->setCurrentRow(1);
    dialog.usbMountEvent("H:");
    QCOMPARE(rowsOf(dialog), (QStringList{"E:", "G:", "H:"}));
    QCOMPARE(dialog.selectedPath(), "G:");
}

void TestSelectUsbPathDialog::removal_data()
{
    QTest::addColumn<QStringList>("disks");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QStringList>("rowsAfter");
    QTest::addColumn<QString>("selectedAfter");

    QTest::newRow("current middle row") << QStringList{"E:", "F:", "G:"} << 1 << "F:"
                                        << QStringList{"E:", "G:"} << "E:";
    QTest::newRow("current first row") << QStringList{"E:", "F:", "G:"} << 0 << "E:"
                                       << QStringList{"F:", "G:"} << "F:";
    QTest::newRow("other row: first row becomes current") << QStringList{"E:", "F:", "G:"} << 2 << "E:"
                                                           << QStringList{"F:", "G:"} << "F:";
    QTest::newRow("every equal row goes") << QStringList{"E:", "F:", "E:"} << 2 << "E:"
                                          << QStringList{"F:"} << "F:";
    QTest::newRow("unknown path") << QStringList{"E:", "F:"} << 1 << "X:"
                                  << QStringList{"E:", "F:"} << "E:";
    QTest::newRow("exact comparison") << QStringList{"/media/a", "/media/A"} << 1 << "/media/a"
                                      << QStringList{"/media/A"} << "/media/A";
}

void TestSelectUsbPathDialog::removal()
{
    QFETCH(QStringList, disks);
    QFETCH(int, currentRow);
    QFETCH(QString, removed);
    QFETCH(QStringList, rowsAfter);
    QFETCH(QString, selectedAfter);

    SelectUsbPathDialog dialog(disks);
    listOf(dialog)->setCurrentRow(currentRow);
    dialog.usbUMountEvent(removed);
    QCOMPARE(rowsOf(dialog), rowsAfter);
    QCOMPARE(listOf(dialog)->currentRow(), 0);
    QCOMPARE(dialog.selectedPath(), selectedAfter);
}

void TestSelectUsbPathDialog::removingLastDiskEmptiesSelection()
{
    SelectUsbPathDialog dialog({"E:"});
    dialog.usbUMountEvent("E:");
    QVERIFY(rowsOf(dialog).isEmpty());
    QVERIFY(dialog.selectedPath().isEmpty());
}

void TestSelectUsbPathDialog::okWithoutSelectionShowsBoxAndStaysOpen()
{
    SelectUsbPathDialog dialog({});
    QString title;
    QString text;
    bool boxSeen = false;
    bool stillOpenAfterBox = false;

    ModalDriver::clickIn<SelectUsbPathDialog>("okBut");
    ModalDriver::closeMessageBox(&title, &text, &boxSeen);
    // Once the box is gone the dialog must still be there; then leave it with Cancel.
    ModalDriver::whenModal([&](QWidget *modal) {
        if (!boxSeen || !qobject_cast<SelectUsbPathDialog *>(modal))
            return false;
        stillOpenAfterBox = modal->isVisible();
        return ModalDriver::clickChild(modal, "cancelBut");
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(boxSeen);
    QVERIFY(stillOpenAfterBox);
    QCOMPARE(title, "dialog_title_tip");
    QCOMPARE(text, "selectusb_title");
}

void TestSelectUsbPathDialog::cancelRejects()
{
    SelectUsbPathDialog dialog({"E:"});
    ModalDriver::clickIn<SelectUsbPathDialog>("cancelBut");
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

void TestSelectUsbPathDialog::followsDiskListWhileOpen()
{
    DiskMonitor monitor(std::make_unique<DiskBackend>());
    monitor.AddDisk("E:");
    SelectUsbPathDialog dialog(monitor.knownDisks());
    connect(&monitor, &DiskMonitor::usbMountEvent, &dialog, &SelectUsbPathDialog::usbMountEvent);
    connect(&monitor, &DiskMonitor::usbUMountEvent, &dialog, &SelectUsbPathDialog::usbUMountEvent);

    ModalDriver::whenModal([&](QWidget *modal) {
        if (modal != &dialog)
            return false;
        monitor.AddDisk("G:");
        monitor.DeleteDisk("E:");
        return ModalDriver::clickChild(modal, "okBut");
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(rowsOf(dialog), QStringList{"G:"});
    QCOMPARE(dialog.selectedPath(), "G:");
}

QTEST_MAIN(TestSelectUsbPathDialog)
#include "test_select_usb_path_dialog.moc"
