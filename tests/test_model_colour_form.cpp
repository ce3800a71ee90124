// The colour form edits the table as the user types.
#include "ui/dialogs/SettingColorForm.h"
#include "model/TestColorUtil.h"

#include <QLineEdit>
#include <QScrollArea>
#include <QTest>

class TestModelColourForm : public QObject
{
    Q_OBJECT
private slots:
    void layout();
    void typingUpdatesTable();
    void clearingKeepsValue();
    void cleanup() { TestColorUtil::getInstance()->resetToDefaults(); }
};

void TestModelColourForm::layout()
{
    SettingColorForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("颜色参数设置"));
    QCOMPARE(form.size(), QSize(674, 368));
    QVERIFY(form.findChild<QScrollArea *>());
    QCOMPARE(form.findChildren<QLineEdit *>().size(), 96);
    for (int row = 1; row <= 32; ++row) {
        for (const char *channel : {"R", "G", "B"}) {
            auto *edit = form.findChild<QLineEdit *>(QStringLiteral("txt%1%2").arg(channel).arg(row));
            QVERIFY(edit);
            QVERIFY(edit->validator());
        }
    }
    QCOMPARE(form.findChild<QLineEdit *>("txtG32")->text(), QStringLiteral("220"));
    QCOMPARE(form.findChild<QLineEdit *>("txtR16")->text(), QStringLiteral("63"));
}

void TestModelColourForm::typingUpdatesTable()
{
    SettingColorForm form;
    form.show();
    auto *edit = form.findChild<QLineEdit *>("txtG16");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "40");
    QCOMPARE(TestColorUtil::getInstance()->getTestGValue(128), 40);
    QCOMPARE(TestColorUtil::getInstance()->getTestGValue(121), 40);
    // 400 gets past the validator while typing (intermediate input) but not into the table.
    QTest::keyClicks(edit, "0");
    QCOMPARE(TestColorUtil::getInstance()->getTestGValue(128), 40);
}

void TestModelColourForm::clearingKeepsValue()
{
    SettingColorForm form;
    form.show();
    auto *edit = form.findChild<QLineEdit *>("txtB8");
    edit->clear();
    QCOMPARE(edit->text(), QString());
    QCOMPARE(TestColorUtil::getInstance()->getTestBValue(64), 15);
}

QTEST_MAIN(TestModelColourForm)
#include "test_model_colour_form.moc"
