#include "DiyTestSupport.h"
#include "MainWindowTestSupport.h"

#include "app/AppGlobals.h"
#include "ui/diy/DiyForm.h"
#include "ui/diy/DiyPainter.h"
#include "diy/DiyTool.h"
#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/diy/DiyPictureEditor.h"
#include "ui/main/MainWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {

// Draws a rectangle in the open form, keeps what getImage() gives, and finishes without
// saving to the computer.
struct DrawAndFinish
{
    QImage shown;
    bool opened = false;

    void operator()(QDialog *dialog)
    {
        auto *form = qobject_cast<DiyForm *>(dialog);
        if (!form)
            return;
        opened = true;
        form->findChild<QToolButton *>("btnShapeRect")->click();
        dragAlong(form->painter(), QPoint(60, 60), QPoint(260, 200));
        form->painter()->commitPending();
        shown = form->painter()->getImage();
        form->findChild<QPushButton *>("okBut")->click();
    }
};

QByteArray ledDataOf(const QImage &picture)
{
    ImageObject reference(1, QString(), 5.0, ImageObject::KindDiy);
    convertPicture(picture, &reference);
    return reference.readLedData();
}

} // namespace

class TestDiyMainWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    QTableView *pictureView() const { return window->findChild<QTableView *>("tableView"); }

private slots:
    void init() { QVERIFY(openFreshWindow(tempDir, window)); }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void newDrawingBecomesAPicture_data();
    void newDrawingBecomesAPicture();
    void editingReplacesThePictureInPlace_data();
    void editingReplacesThePictureInPlace();
};

void TestDiyMainWindow::newDrawingBecomesAPicture_data()
{
    QTest::addColumn<bool>("finish");
    QTest::newRow("finished") << true;
    QTest::newRow("given up before drawing") << false;
}

void TestDiyMainWindow::newDrawingBecomesAPicture()
{
    QFETCH(bool, finish);
    DrawAndFinish draw;
    DiyModalDriver driver({QMessageBox::No}, [&](QDialog *dialog) {
        if (finish)
            draw(dialog);
        else
            dialog->close();
    });
    window->onActionNewDiy();
    const QList<ImageObject *> items = window->pictureModel()->itemsAs<ImageObject>();
    if (!finish) {
        QVERIFY(items.isEmpty());
        QCOMPARE(diyCounter.load(), 1);
        return;
    }
    QCOMPARE(items.size(), 1);
    ImageObject *item = items.first();
    QCOMPARE(item->kind, int(ImageObject::KindDiy));
    QCOMPARE(item->displayTime, 5.0);
    QCOMPARE(QFileInfo(item->sourcePath).fileName(), QStringLiteral("diy_1.png"));
    QCOMPARE(diyCounter.load(), 2);
    QCOMPARE(QImage(item->sourcePath).convertToFormat(QImage::Format_ARGB32), draw.shown);
    // What goes to the display is exactly the square under the marker.
    QCOMPARE(item->readLedData(), ledDataOf(draw.shown));
    QVERIFY(QFile::exists(item->thumbnailPath()));
}

void TestDiyMainWindow::editingReplacesThePictureInPlace_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("removeFile");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<int>("boxes");
    QTest::newRow("jpeg picture")
        << "jpg" << int(ImageObject::KindPictureFile) << false << true << 1;
    QTest::newRow("png drawing") << "png" << int(ImageObject::KindDiy) << false << true << 1;
    QTest::newRow("file gone") << "png" << int(ImageObject::KindPictureFile) << true << false << 1;
    QTest::newRow("read back") << "png" << int(ImageObject::KindReadPicture) << false << false << 0;
}

void TestDiyMainWindow::editingReplacesThePictureInPlace()
{
    QFETCH(QString, suffix);
    QFETCH(int, kind);
    QFETCH(bool, removeFile);
    QFETCH(bool, edited);
    QFETCH(int, boxes);
    QVERIFY(ensureWorkDirectory());
    const QString source = writePicture(workDirectory(), "image_7." + suffix, 640, 480);
    QVERIFY(QFile::exists(source));
    auto *item = new ImageObject(1, source, 5.0, kind);
    convertPicture(QImage(source), item);
    const QByteArray before = item->readLedData();
    window->pictureModel()->addItem(item);
    pictureView()->setCurrentIndex(window->pictureModel()->index(0, 0));
    if (removeFile)
        QFile::remove(source);

    DrawAndFinish draw;
    // The one box is "save to the computer?" when the form opens, else the refusal.
    DiyModalDriver driver({edited ? QMessageBox::No : QMessageBox::Ok},
                          [&](QDialog *dialog) { draw(dialog); });
    window->onBtnEditDiy();

    QCOMPARE(draw.opened, edited);
    QCOMPARE(driver.texts.size(), boxes);
    if (!edited) {
        QCOMPARE(item->readLedData(), before);
        QCOMPARE(item->sourcePath, source);
        return;
    }
    const QString png = QFileInfo(source).dir().filePath("image_7.png");
    QCOMPARE(item->sourcePath, png);
    QCOMPARE(QImage(png).convertToFormat(QImage::Format_ARGB32), draw.shown);
    QCOMPARE(item->readLedData(), ledDataOf(draw.shown));
    QVERIFY(item->readLedData() != before);
}

QTEST_MAIN(TestDiyMainWindow)
#include "test_diy_main_window.moc"
