#include "TestEnvironment.h"
#include "DiyTestSupport.h"

#include "ui/diy/DiyForm.h"
#include "ui/diy/DiyPainter.h"
#include "ui/diy/DiyShape.h"
#include "ui/diy/DiyTextEdit.h"
#include "diy/DiyTool.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTranslator>
#include <QToolButton>
#include <QtTest>

namespace {

// Drags out a rectangle on the form's canvas; it floats until merged.
void floatRectangle(DiyForm &form)
{
    form.findChild<QToolButton *>("btnShapeRect")->click();
    dragAlong(form.painter(), QPoint(60, 60), QPoint(200, 160));
}

} // namespace

class TestDiyForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void finishing_data();
    void finishing();
    void closing_data();
    void closing();
    void enterInTheTextBoxPressesNoButton();
    void escapeDoesNotClose();
    void panelsFollowTheTool_data();
    void panelsFollowTheTool();
    void shortcutsReachTheCanvas();
    void eraserIsSolidWithItsOwnWidth_data();
    void eraserIsSolidWithItsOwnWidth();
};

void TestDiyForm::initTestCase()
{
    // The file dialog keeps its last directory in Qt's own settings: not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(TestEnvironment::installEnglishTexts());
}

void TestDiyForm::finishing_data()
{
    QTest::addColumn<int>("answer");        // to "save to the computer?"
    QTest::addColumn<QString>("savePath");  // chosen in the file dialog: "", "ok", "bad"
    QTest::addColumn<QString>("output");    // the form's output file: "", "ok", "bad"
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("boxes");
    QTest::newRow("no") << int(QMessageBox::No) << "" << "" << true << 1;
    QTest::newRow("no, output written") << int(QMessageBox::No) << "" << "ok" << true << 1;
    QTest::newRow("no, output cannot be written")
        << int(QMessageBox::No) << "" << "bad" << false << 2;
    QTest::newRow("yes, saved") << int(QMessageBox::Yes) << "ok" << "ok" << true << 1;
    QTest::newRow("yes, file dialog cancelled") << int(QMessageBox::Yes) << "" << "" << false << 1;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << "" << "" << false << 1;
}

void TestDiyForm::finishing()
{
    QFETCH(int, answer);
    QFETCH(QString, savePath);
    QFETCH(QString, output);
    QFETCH(bool, accepted);
    QFETCH(int, boxes);
    QTemporaryDir dir;
    auto pathFor = [&](const QString &kind, const QString &name) {
        if (kind == "ok")
            return dir.filePath(name);
        if (kind == "bad")
            return dir.filePath("missing/dir/" + name);
        return QString();
    };
    const QString chosen = pathFor(savePath, "saved.png");
    const QString outputPath = pathFor(output, "out.png");

    // The save dialog opens in the current directory and looks into every file there.
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(dir.path());
    auto restoreCurrent = qScopeGuard([&] { QDir::setCurrent(oldCurrent); });
    DiyForm form(QString(), 3);
    form.setOutputPath(outputPath);
    form.open();
    floatRectangle(form);
    QVERIFY(form.painter()->shapeWidget()->isVisible());

    // Typed as a user does (selectFile() fills the name in only later); the dialog may
    // still be reading the directory and ignore the first try, so it is tried again.
    std::function<void(QPointer<QFileDialog>, int)> choose = [&](QPointer<QFileDialog> files,
                                                                 int tries) {
        if (!files || !files->isVisible() || tries == 0)
            return;
        if (chosen.isEmpty()) {
            files->reject();
            return;
        }
        const QFileInfo info(chosen);
        files->setDirectory(info.absolutePath());
        files->findChild<QLineEdit *>("fileNameEdit")->setText(info.fileName());
        static_cast<QDialog *>(files)->accept();
        QTimer::singleShot(100, files, [&choose, files, tries] { choose(files, tries - 1); });
    };
    DiyModalDriver driver({QMessageBox::StandardButton(answer)}, [&](QDialog *dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(dialog))
            choose(files, 50);
    });
    form.findChild<QPushButton *>("okBut")->click();

    QCOMPARE(driver.texts.size(), boxes);
    QCOMPARE(form.result() == QDialog::Accepted, accepted);
    QCOMPARE(form.isVisible(), !accepted);
    if (!accepted)
        return;
    // The floating rectangle is part of the picture that is handed on.
    QVERIFY(form.painter()->shapeWidget()->isHidden());
    QCOMPARE(form.painter()->undoHistory().size(), 2);
    QCOMPARE(form.outputImage(), form.painter()->getImage());
    QVERIFY(form.outputImage().pixel(100, 60) != qRgb(0, 0, 0));
    QVERIFY(!form.painter()->isModified());
    if (!outputPath.isEmpty())
        QCOMPARE(QImage(outputPath).convertToFormat(QImage::Format_ARGB32), form.outputImage());
    QCOMPARE(form.savedPath(), chosen);
    if (!chosen.isEmpty())
        QCOMPARE(QImage(chosen).size(), form.painter()->picture().size());
}

void TestDiyForm::closing_data()
{
    QTest::addColumn<QString>("work");  // "", "rectangle", "typed text", "zoom"
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("boxes");
    QTest::newRow("nothing drawn") << "" << int(QMessageBox::Yes) << true << 0;
    QTest::newRow("drawn, give up") << "rectangle" << int(QMessageBox::Yes) << true << 1;
    QTest::newRow("drawn, keep drawing") << "rectangle" << int(QMessageBox::No) << false << 1;
    QTest::newRow("only typed text") << "typed text" << int(QMessageBox::No) << false << 1;
    QTest::newRow("only zoomed") << "zoom" << int(QMessageBox::No) << false << 1;
}

void TestDiyForm::closing()
{
    QFETCH(QString, work);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(int, boxes);
    DiyForm form(QString(), 3);
    form.open();
    if (work == "rectangle") {
        floatRectangle(form);
    } else if (work == "typed text") {
        form.findChild<QToolButton *>("btnShapeText")->click();
        pressAt(form.painter(), QPoint(50, 50));
        QTest::keyClicks(form.painter()->textEditor(), "Hello");
    } else if (work == "zoom") {
        form.findChild<QPushButton *>("btnZoomIn")->click();
    }
    DiyModalDriver driver({QMessageBox::StandardButton(answer)});
    form.findChild<QPushButton *>("cancelBut")->click();
    QCOMPARE(driver.texts.size(), boxes);
    QCOMPARE(form.isVisible(), !closes);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    if (!closes && work == "rectangle")
        QVERIFY(form.painter()->shapeWidget()->isVisible());  // the drawing is kept
}

void TestDiyForm::enterInTheTextBoxPressesNoButton()
{
    DiyForm form(QString(), 3);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QList<QSignalSpy *> spies;
    for (QPushButton *button : form.findChildren<QPushButton *>())
        spies.append(new QSignalSpy(button, &QPushButton::clicked));
    // The Revoke button had the focus last, as after a click on it.
    form.findChild<QPushButton *>("btnReset")->setFocus();
    form.findChild<QToolButton *>("btnShapeText")->click();
    pressAt(form.painter(), QPoint(80, 80));
    releaseAt(form.painter(), QPoint(80, 80));
    DiyTextEdit *edit = form.painter()->textEditor();
    QVERIFY(edit->isVisible());
    QTest::keyClicks(edit, "Hi");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    for (QSignalSpy *spy : spies)
        QCOMPARE(spy->count(), 0);
    qDeleteAll(spies);
    QVERIFY(form.isVisible());
    QVERIFY(edit->isHidden());
    QVERIFY(form.painter()->shapeWidget()->isVisible());
    QCOMPARE(form.painter()->undoHistory().size(), 1);
}

void TestDiyForm::escapeDoesNotClose()
{
    DiyForm form(QString(), 3);
    form.open();
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
}

void TestDiyForm::panelsFollowTheTool_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("pen");
    QTest::addColumn<bool>("brush");
    QTest::addColumn<bool>("text");
    QTest::newRow("pen") << "btnShapePen" << true << false << false;
    QTest::newRow("ellipse") << "btnShapeRound" << true << true << false;
    QTest::newRow("text") << "btnShapeText" << false << false << true;
    QTest::newRow("eraser") << "btnShapeDel" << false << false << false;
}

void TestDiyForm::panelsFollowTheTool()
{
    QFETCH(QString, button);
    QFETCH(bool, pen);
    QFETCH(bool, brush);
    QFETCH(bool, text);
    DiyForm form(QString(), 3);
    form.show();
    QCOMPARE(form.painter()->tool(), int(DiyTool::Move));
    QVERIFY(form.painter()->isMoveMode());
    form.findChild<QToolButton *>(button)->click();
    QCOMPARE(form.findChild<QWidget *>("penTypeWidget")->isVisible(), pen);
    QCOMPARE(form.findChild<QWidget *>("brushWidget")->isVisible(), brush);
    QCOMPARE(form.findChild<QWidget *>("textTypeWidget")->isVisible(), text);
    int checked = 0;
    for (QToolButton *b : form.findChildren<QToolButton *>())
        checked += b->isChecked() ? 1 : 0;
    QCOMPARE(checked, 1);
}

void TestDiyForm::shortcutsReachTheCanvas()
{
    DiyForm form(QString(), 3);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QTRY_VERIFY(form.isActiveWindow());
    // Zooming in move mode first switches to the pen.
    QTest::keyClick(&form, Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(form.painter()->currentZoomStep(), 1);
    QCOMPARE(form.painter()->tool(), int(DiyTool::Pen));
    QTest::keyClick(&form, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(form.painter()->currentZoomStep(), 0);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.painter()->currentZoomStep(), 1);
    QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(form.painter()->currentZoomStep(), 0);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(form.painter()->currentZoomStep(), 0);
}

void TestDiyForm::eraserIsSolidWithItsOwnWidth_data()
{
    QTest::addColumn<int>("penStyle");  // the pen's combo box item: 0 solid, 1 dotted
    QTest::addColumn<int>("penWidth");
    QTest::addColumn<int>("eraserWidth");
    QTest::newRow("dotted pen of 3, eraser of 8") << 1 << 3 << 8;
    QTest::newRow("solid pen of 3, eraser of 25") << 0 << 3 << 25;
    QTest::newRow("no pen outline, eraser of 12") << 0 << 0 << 12;
    QTest::newRow("dotted pen of 6, eraser of 1") << 1 << 6 << 1;
}

void TestDiyForm::eraserIsSolidWithItsOwnWidth()
{
    QFETCH(int, penStyle);
    QFETCH(int, penWidth);
    QFETCH(int, eraserWidth);
    DiyForm form(QString(), 3);
    form.show();
    form.findChild<QToolButton *>("btnShapePen")->click();
    form.findChild<QComboBox *>("penStyleComboBox")->setCurrentIndex(penStyle);
    form.findChild<QSpinBox *>("penWidthSpinBox")->setValue(penWidth);
    form.findChild<QToolButton *>("btnShapeDel")->click();
    auto *width = form.findChild<QSpinBox *>("eraserWidthSpinBox");
    QVERIFY(width->isVisible());
    width->setValue(eraserWidth);

    // The new drawing is transparent; erasing paints the opaque background into it.
    DiyPainter *canvas = form.painter();
    const QPoint o = canvas->pictureOrigin();
    dragAlong(canvas, o + QPoint(60, 200), o + QPoint(380, 200), 8);
    const QImage picture = canvas->picture();
    for (int x = 80; x <= 360; ++x) {
        // Every column is crossed once by a band of the background, the eraser's width.
        QList<int> erased;
        for (int y = 140; y <= 260; ++y) {
            if (qAlpha(picture.pixel(x, y)) != 0) {
                QCOMPARE(picture.pixelColor(x, y), QColor(Qt::black));
                erased.append(y);
            }
        }
        QVERIFY2(!erased.isEmpty() && qAbs(int(erased.size()) - eraserWidth) <= 1,
                 qPrintable(QString("%1 pixels at x = %2").arg(erased.size()).arg(x)));
        QCOMPARE(erased.last() - erased.first() + 1, erased.size());
    }
    QCOMPARE(canvas->undoHistory().size(), 2);
}

QTEST_MAIN(TestDiyForm)
#include "test_diy_form.moc"
