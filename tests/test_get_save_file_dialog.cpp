#include "ModalDriver.h"

#include "ui/dialogs/GetSaveFileDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestGetSaveFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void isUsableFileName_data();
    void isUsableFileName();
    void formMatchesLayout();
    void typedNameIsReturned();
    void refusedNameKeepsDialogOpen();
    void cancelRejects();
};

void TestGetSaveFileDialog::isUsableFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");

    QTest::newRow("plain") << "show" << true;
    QTest::newRow("with space inside") << "my show" << true;
    QTest::newRow("leading space") << " show" << true;
    QTest::newRow("dots inside") << "show.v2" << true;
    QTest::newRow("chinese") << QString::fromUtf8("效果一") << true;
    QTest::newRow("COM10 is no device") << "COM10" << true;
    QTest::newRow("device name inside a word") << "console" << true;
    QTest::newRow("hyphen, brackets, plus") << "a-b (1)+[2]" << true;
    QTest::newRow("longest") << QString(GetSaveFileDialog::kMaxNameLength, u'x') << true;

    QTest::newRow("empty") << "" << false;
    QTest::newRow("slash") << "/" << false;
    QTest::newRow("backslash") << "\\" << false;
    QTest::newRow("path") << "dir/show" << false;
    QTest::newRow("parent path") << "../show" << false;
    for (const char c : QByteArray("\"*:<>?|"))
        QTest::addRow("reserved %c", c) << QStringLiteral("a%1b").arg(QLatin1Char(c)) << false;
    QTest::newRow("tab") << "a\tb" << false;
    QTest::newRow("control 0x01") << QStringLiteral("a\x01") << false;
    QTest::newRow("newline") << "a\nb" << false;
    QTest::newRow("delete") << QStringLiteral("a\x7f") << false;
    QTest::newRow("trailing dot") << "show." << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("trailing space") << "show " << false;
    QTest::newRow("CON") << "CON" << false;
    QTest::newRow("con lower case") << "con" << false;
    QTest::newRow("Nul with extension") << "Nul.tar" << false;
    QTest::newRow("PRN") << "PRN" << false;
    QTest::newRow("AUX") << "aux" << false;
    QTest::newRow("COM1") << "COM1" << false;
    QTest::newRow("COM9") << "com9" << false;
    QTest::newRow("LPT1") << "LPT1" << false;
    QTest::newRow("LPT9 with extension") << "lpt9.x" << false;
    QTest::newRow("too long") << QString(GetSaveFileDialog::kMaxNameLength + 1, u'x') << false;
    // 126 three-byte characters are 378 bytes: more than ext4 allows in one name.
    QTest::newRow("too long in bytes") << QString(126, QChar(0x6548)) << false;
}

void TestGetSaveFileDialog::isUsableFileName()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);
    QCOMPARE(GetSaveFileDialog::isUsableFileName(name), usable);
}

void TestGetSaveFileDialog::formMatchesLayout()
{
    GetSaveFileDialog dialog;
    QCOMPARE(dialog.size(), QSize(513, 200));
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("请输入保存的文件名"));
    auto *label = dialog.findChild<QLabel *>("label");
    QVERIFY(label);
    QCOMPARE(label->text(), QString::fromUtf8("请输入保存的文件名！"));
    QCOMPARE(label->minimumHeight(), 25);
    QVERIFY(dialog.findChild<QLineEdit *>("txtFileName")->text().isEmpty());
    QCOMPARE(dialog.findChild<QPushButton *>("okBut")->text(), QString::fromUtf8("确定"));
    QCOMPARE(dialog.findChild<QPushButton *>("cancelBut")->text(), QString::fromUtf8("取消"));
}

void TestGetSaveFileDialog::typedNameIsReturned()
{
    GetSaveFileDialog dialog;
    ModalDriver::whenModal([](QWidget *modal) {
        auto *edit = modal->findChild<QLineEdit *>("txtFileName");
        if (!edit)
            return false;
        QTest::keyClicks(edit, "show");
        return ModalDriver::clickChild(modal, "okBut");
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.fileName(), "show");
}

void TestGetSaveFileDialog::refusedNameKeepsDialogOpen()
{
    GetSaveFileDialog dialog;
    QString title;
    QString text;
    bool boxSeen = false;
    ModalDriver::whenModal([](QWidget *modal) {
        auto *edit = modal->findChild<QLineEdit *>("txtFileName");
        if (!edit)
            return false;
        edit->setText("a:b");
        return ModalDriver::clickChild(modal, "okBut");
    });
    ModalDriver::closeMessageBox(&title, &text, &boxSeen);
    // After the box, the dialog is still open: correct the name and confirm.
    ModalDriver::whenModal([&](QWidget *modal) {
        auto *edit = modal->findChild<QLineEdit *>("txtFileName");
        if (!boxSeen || !edit)
            return false;
        edit->setText("ab");
        return ModalDriver::clickChild(modal, "okBut");
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(boxSeen);
    QCOMPARE(title, "dialog_title_tip");
    // No catalogue is loaded: the key shows, with the refused name in place of %1 if present.
    QVERIFY(text.startsWith("savefile_invalid_name"));
    QCOMPARE(dialog.fileName(), "ab");
}

void TestGetSaveFileDialog::cancelRejects()
{
    GetSaveFileDialog dialog;
    ModalDriver::clickIn<GetSaveFileDialog>("cancelBut");
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

QTEST_MAIN(TestGetSaveFileDialog)
#include "test_get_save_file_dialog.moc"
