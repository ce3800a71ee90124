// The window across a restart: language, size and place, and the display geometry come
// back from the settings the last run stored; a damaged or hand-edited settings file starts
// the window as a first start does.

#include "MainWindowTestSupport.h"

#include "app/AppGlobals.h"
#include "app/AppSettings.h"
#include "ui/dialogs/GeometryNumberDialog.h"
#include "ui/main/WindowSession.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <memory>

class TestWindowSession : public QObject
{
    Q_OBJECT

    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    QString settingsFile() const
    {
        return settingsDir.filePath(QStringLiteral("HologramDisplay/HologramDisplay.conf"));
    }

    // A start as the program makes it: a new window, then its session.
    void start()
    {
        QVERIFY(openFreshWindow(tempDir, window));
        new WindowSession(window.get());
    }

    void quit()
    {
        window->close();
        closeFreshWindow(tempDir, window);
    }

    void forgetEverything()
    {
        QFile::remove(settingsFile());
        QFile::remove(settingsFile() + QStringLiteral(".damaged"));
    }

    // What a first start shows, to compare fallbacks with.
    QSize firstStartSize()
    {
        forgetEverything();
        start();
        const QSize size = window->size();
        closeFreshWindow(tempDir, window);
        forgetEverything();
        return size;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir.isValid());
        isolateSettings(settingsDir.path());
    }

    void cleanup()
    {
        closeFreshWindow(tempDir, window);
        forgetEverything();
    }

    void lastRunComesBack_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("language");
        QTest::addColumn<QRect>("placed");
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("lines");
        QTest::newRow("Japanese, small") << "btnJp" << 4 << QRect(40, 30, 700, 500) << 64 << 200;
        QTest::newRow("simplified Chinese, wide") << "btnZhCn" << 1 << QRect(0, 0, 780, 420) << 112
                                                  << 430;
        QTest::newRow("traditional Chinese") << "btnZhHk" << 2 << QRect(10, 20, 760, 560) << 500
                                             << 600;
        QTest::newRow("English") << "btnEnUs" << 3 << QRect(5, 5, 640, 480) << 1 << 1;
    }

    void lastRunComesBack()
    {
        QFETCH(QString, button);
        QFETCH(int, language);
        QFETCH(QRect, placed);
        QFETCH(int, leds);
        QFETCH(int, lines);
        forgetEverything();
        start();
        window->setGeometry(placed);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QSize shown = window->size();
        window->findChild<QPushButton *>(button)->click();
        QCOMPARE(languageCode.load(), language);
        ledCount = leds;
        lineNumber = lines;
        quit();

        // The geometry is what the program sets before the next window is made.
        const AppSettings stored;
        QCOMPARE(stored.ledCount(), leds);
        QCOMPARE(stored.lineNumber(), lines);
        start();
        QCOMPARE(languageCode.load(), language);
        QCOMPARE(window->size(), shown);
        const QStringList checked = [this] {
            QStringList names;
            for (QPushButton *b : window->findChildren<QPushButton *>()) {
                if (b->objectName().startsWith(QLatin1String("btn")) && b->isCheckable()
                    && b->isChecked())
                    names << b->objectName();
            }
            return names;
        }();
        QCOMPARE(checked, QStringList{button});
    }

    // A run killed with its window open starts the next with the choices made before.
    void choicesOutliveAKill_data()
    {
        QTest::addColumn<QString>("target");  // the window's child made to change (none: it)
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<int>("kept");  // 0 language, 1 LEDs, 2 lines, 3 smooth sampling
        QTest::addColumn<int>("value");
        QTest::newRow("language switched") << "btnJp" << QByteArray("click") << 0 << 4;
        QTest::newRow("LED count changed") << "" << QByteArray("onBtnLedCount") << 1 << 64;
        QTest::newRow("lines changed") << "" << QByteArray("onBtnLineNumber") << 2 << 200;
        QTest::newRow("sampling switched") << "actionSmoothSampling" << QByteArray("trigger") << 3
                                           << 1;
    }

    void choicesOutliveAKill()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, slot);
        QFETCH(int, kept);
        QFETCH(int, value);
        start();
        ModalWatcher typist([value](QWidget *modal) {
            if (auto *dialog = qobject_cast<GeometryNumberDialog *>(modal)) {
                dialog->field()->setText(QString::number(value));
                dialog->accept();
            }
        });
        QObject *changed = target.isEmpty() ? window.get() : window->findChild<QObject *>(target);
        QVERIFY(QMetaObject::invokeMethod(changed, slot.constData()));
        // Read from a copy of the file: this process's cache of it cannot answer for the copy.
        const QString copy = settingsDir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QFile::copy(settingsFile(), copy);
        const AppSettings next(copy);
        const int read[] = {next.languageCode(), next.ledCount(), next.lineNumber(),
                            int(next.smoothSampling())};
        QCOMPARE(read[kept], value);
    }

    void damagedSettingsStartAsAFirstStart_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("setAside");
        QTest::newRow("zero bytes") << QByteArray(64, '\0') << true;
        QTest::newRow("text that is no settings file")
            << QByteArray("hello world\nthis is not a settings file = at all [\n") << true;
        QTest::newRow("unknown language, garbage geometry")
            << QByteArray("[ui]\nlanguage=xx_YY\n[window]\ngeometry=@ByteArray(\\x1\\xd9\\xd0"
                          "\\xcbjunk)\nstate=@ByteArray(nonsense)\n")
            << false;
        QTest::newRow("geometry of the wrong type")
            << QByteArray("[window]\ngeometry=1280x720\nstate=3\n") << false;
        QTest::newRow("geometry cut short")
            << QByteArray("[window]\ngeometry=@ByteArray(\\0\\x1\\xd9\\xd0\\xcb\\0\\x3\\0\\0)\n")
            << false;
    }

    void damagedSettingsStartAsAFirstStart()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, setAside);
        const QSize first = firstStartSize();
        QVERIFY(QDir().mkpath(QFileInfo(settingsFile()).path()));
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();

        start();
        QCOMPARE(languageCode.load(), 3);
        QCOMPARE(window->size(), first);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->findChild<QPushButton *>(QStringLiteral("btnJp"))->click();
        quit();
        // The next run reads what this one stored, the damage gone.
        QCOMPARE(QFile::exists(settingsFile() + QStringLiteral(".damaged")), setAside);
        start();
        QCOMPARE(languageCode.load(), 4);
    }
};

QTEST_MAIN(TestWindowSession)
#include "test_window_session.moc"
