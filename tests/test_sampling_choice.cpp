// The window's sampling choice: remembered between runs, handed to the pictures added after
// it, and shown in the window's language.
#include "MainWindowTestSupport.h"

#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/main/SamplingChoice.h"
#include "ui/main/SamplingSwitch.h"

#include <QAction>
#include <QPushButton>
#include <QSettings>
#include <QTest>

class TestSamplingChoice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void choiceReachesNewPictures_data();
    void choiceReachesNewPictures();
    void importedPicturesFollowTheChoice_data();
    void importedPicturesFollowTheChoice();
    void actionFollowsTheLanguage_data();
    void actionFollowsTheLanguage();

private:
    QAction *smoothAction() const
    {
        return window->findChild<QAction *>(QStringLiteral("actionSmoothSampling"));
    }

    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;
};

void TestSamplingChoice::initTestCase()
{
    // Settings of this test alone: other tests running beside it must keep sampling sharp.
    QVERIFY(settingsDir.isValid());
    isolateSettings(settingsDir.path());
    // The pictures already in the list keep their sampling here.
    SamplingSwitch::setAnswerer([](const SamplingSwitch::Question &) {
        return SamplingSwitch::Answer::Keep;
    });
}

void TestSamplingChoice::cleanup()
{
    closeFreshWindow(tempDir, window);
    SamplingChoice::store(SamplingMode::Sharp);
}

void TestSamplingChoice::choiceReachesNewPictures_data()
{
    QTest::addColumn<SamplingMode>("stored");
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<SamplingMode>("expected");
    QTest::newRow("sharp by default") << SamplingMode::Sharp << false << SamplingMode::Sharp;
    QTest::newRow("smooth chosen") << SamplingMode::Sharp << true << SamplingMode::Smooth;
    QTest::newRow("smooth from the last run") << SamplingMode::Smooth << false << SamplingMode::Smooth;
    QTest::newRow("back to sharp") << SamplingMode::Smooth << true << SamplingMode::Sharp;
}

void TestSamplingChoice::choiceReachesNewPictures()
{
    QFETCH(SamplingMode, stored);
    QFETCH(bool, toggle);
    QFETCH(SamplingMode, expected);
    SamplingChoice::store(stored);
    QVERIFY(openFreshWindow(tempDir, window));
    QVERIFY(smoothAction());
    QCOMPARE(smoothAction()->isChecked(), stored == SamplingMode::Smooth);
    // A picture added before the change keeps the mode it was converted with.
    window->addPictureFile(writePicture(tempDir->path(), QStringLiteral("before.png"), 90, 70));
    if (toggle)
        smoothAction()->trigger();
    QCOMPARE(SamplingChoice::stored(), expected);
    const QString after = writePicture(tempDir->path(), QStringLiteral("after.png"), 90, 70);
    window->addPictureFile(after);
    const QList<ImageObject *> items = window->pictureModel()->itemsAs<ImageObject>();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0]->sampling, stored);
    QCOMPARE(items[1]->sampling, expected);

    ImageObject reference(0, QString(), 5.0, ImageObject::KindPictureFile);
    reference.sampling = expected;
    convertPicture(QImage(after), &reference, nullptr, ReadImageThread::SamplingPreview::Skip);
    QCOMPARE(items[1]->readLedData(), reference.readLedData());

    // The next run starts with the last choice.
    closeFreshWindow(tempDir, window);
    QVERIFY(openFreshWindow(tempDir, window));
    QCOMPARE(smoothAction()->isChecked(), expected == SamplingMode::Smooth);
}

void TestSamplingChoice::importedPicturesFollowTheChoice_data()
{
    QTest::addColumn<SamplingMode>("mode");
    QTest::addColumn<QSize>("size");
    QTest::newRow("sharp, large") << SamplingMode::Sharp << QSize(700, 520);
    QTest::newRow("smooth, large") << SamplingMode::Smooth << QSize(700, 520);
    QTest::newRow("smooth, small") << SamplingMode::Smooth << QSize(120, 90);
}

void TestSamplingChoice::importedPicturesFollowTheChoice()
{
    // The import workers scale the square themselves before converting it: the same way
    // the conversion of the whole picture would for the chosen mode.
    QFETCH(SamplingMode, mode);
    QFETCH(QSize, size);
    SamplingChoice::store(mode);
    QVERIFY(openFreshWindow(tempDir, window));
    const QString path = writePicture(tempDir->path(), QStringLiteral("import.png"), size.width(),
                                      size.height());
    LoadImagesDialog dialog({path});
    window->receiveImportsFrom(&dialog);
    dialog.show();
    QTRY_COMPARE_WITH_TIMEOUT(window->pictureModel()->itemCount(), 1, 10000);
    ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().first();
    QCOMPARE(item->sampling, mode);
    ImageObject reference(0, QString(), 5.0, ImageObject::KindPictureFile);
    reference.sampling = mode;
    convertPicture(QImage(path), &reference, nullptr, ReadImageThread::SamplingPreview::Skip);
    QCOMPARE(item->readLedData(), reference.readLedData());
}

void TestSamplingChoice::actionFollowsTheLanguage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("zh_CN") << QStringLiteral("btnZhCn") << QStringLiteral("平滑采样");
    QTest::newRow("zh_HK") << QStringLiteral("btnZhHk") << QStringLiteral("平滑取樣");
    QTest::newRow("en_US") << QStringLiteral("btnEnUs") << QStringLiteral("Smooth sampling");
    QTest::newRow("jp") << QStringLiteral("btnJp") << QStringLiteral("スムーズサンプリング");
}

void TestSamplingChoice::actionFollowsTheLanguage()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QVERIFY(openFreshWindow(tempDir, window));
    // From another language, so that every row really switches.
    window->onBtnZhCnClick();
    if (button == QLatin1String("btnZhCn"))
        window->onBtnJpClick();
    window->findChild<QPushButton *>(button)->click();
    QCOMPARE(smoothAction()->text(), text);
    QVERIFY(!smoothAction()->statusTip().isEmpty());
}

QTEST_MAIN(TestSamplingChoice)
#include "test_sampling_choice.moc"
