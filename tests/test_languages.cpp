// Switching the language at run time: the checked button, the effect file's language byte,
// Qt's own texts, everything the window shows, and catalogues that fail to load.

#include "MainWindowTestSupport.h"

#include "app/AppGlobals.h"
#include "app/LanguageSwitcher.h"
#include "app/LanguageTable.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/FontFallbacks.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/playlist/MediaObjectWidget.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRawFont>
#include <QTableView>
#include <QToolBar>
#include <QTranslator>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

const QStringList kButtons{QStringLiteral("btnZhCn"), QStringLiteral("btnZhHk"),
                           QStringLiteral("btnEnUs"), QStringLiteral("btnJp")};

// How far the pixels lie from grey on average: a faded flag is close to grey.
double colourfulness(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            sum += std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
        }
    }
    return image.isNull() ? 0 : sum / (image.width() * image.height());
}

QString translated(const char *context, const char *key)
{
    return QCoreApplication::translate(context, key);
}

} // namespace

class TestLanguages : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    template <typename T>
    T *child(const QString &name) const
    {
        return window->findChild<T *>(name);
    }

    void click(const QString &button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    QStringList checkedButtons() const
    {
        QStringList checked;
        for (const QString &name : kButtons) {
            if (child<QPushButton>(name)->isChecked())
                checked << name;
        }
        return checked;
    }

    QAction *contrastEntry() const
    {
        // The picture list's context menu is the window's only menu of its own.
        const QList<QMenu *> menus = window->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
        return menus.size() == 1 && menus.first()->actions().size() == 1
                   ? menus.first()->actions().first()
                   : nullptr;
    }

private slots:
    void init() { QVERIFY(openFreshWindow(tempDir, window)); }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void buttonsSetTheLanguageAndTheFileByte_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("fileByte");
        QTest::newRow("simplified Chinese") << QStringList{"btnZhCn"} << 1 << 0x11;
        QTest::newRow("traditional Chinese") << QStringList{"btnZhHk"} << 2 << 0x11;
        QTest::newRow("English at start") << QStringList{} << 3 << 0x22;
        QTest::newRow("Japanese") << QStringList{"btnJp"} << 4 << 0x00;
        QTest::newRow("active button clicked again") << QStringList{"btnJp", "btnJp"} << 4 << 0x00;
        QTest::newRow("Japanese back to English") << QStringList{"btnJp", "btnEnUs"} << 3 << 0x22;
        QTest::newRow("through all four") << QStringList{"btnZhCn", "btnZhHk", "btnJp", "btnEnUs"}
                                          << 3 << 0x22;
    }

    void buttonsSetTheLanguageAndTheFileByte()
    {
        QFETCH(QStringList, clicks);
        QFETCH(int, code);
        QFETCH(int, fileByte);
        for (const QString &button : clicks)
            click(button);
        QCOMPARE(languageCode.load(), code);
        // Exactly one button, the active language's, stays checked.
        QCOMPARE(checkedButtons(), QStringList{kButtons.at(code - 1)});

        const QString path = tempDir->filePath(QStringLiteral("show.bin"));
        const DownloadResult result = EffectWriter::write(EffectPlaylist::capture({}, {}), path);
        QVERIFY2(result.ok, qPrintable(result.error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(quint8(file.read(1).at(0)), quint8(fileByte));
    }

    void activeFlagIsShownInFullColour_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("English to simplified Chinese") << "btnEnUs" << "btnZhCn";
        QTest::newRow("simplified to traditional Chinese") << "btnZhCn" << "btnZhHk";
        QTest::newRow("traditional Chinese to Japanese") << "btnZhHk" << "btnJp";
        QTest::newRow("Japanese to English") << "btnJp" << "btnEnUs";
    }

    void activeFlagIsShownInFullColour()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        click(from);
        QHash<QString, double> before;
        for (const QString &name : kButtons)
            before[name] = colourfulness(child<QPushButton>(name)->grab().toImage());
        click(to);
        for (const QString &name : kButtons) {
            const double now = colourfulness(child<QPushButton>(name)->grab().toImage());
            const QString change = QStringLiteral("%1: %2 -> %3").arg(name).arg(before[name]).arg(now);
            // The flag that became active gains its colour, the one left loses it; the
            // others stay as they were.
            if (name == to)
                QVERIFY2(now > before[name] * 1.5, qPrintable(change));
            else if (name == from)
                QVERIFY2(before[name] > now * 1.5, qPrintable(change));
            else
                QVERIFY2(qAbs(now - before[name]) < 1.0, qPrintable(change));
        }
    }

    void standardButtonsFollowQtsOwnTexts_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("English") << QStringList{} << "Cancel";
        QTest::newRow("English to Japanese") << QStringList{"btnJp"} << "キャンセル";
        QTest::newRow("Japanese back to English") << QStringList{"btnJp", "btnEnUs"} << "Cancel";
        QTest::newRow("simplified Chinese") << QStringList{"btnZhCn"} << "取消";
        QTest::newRow("traditional Chinese") << QStringList{"btnZhHk"} << "取消";
        QTest::newRow("Japanese to traditional Chinese") << QStringList{"btnJp", "btnZhHk"} << "取消";
    }

    void standardButtonsFollowQtsOwnTexts()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, cancel);
        // A box made before the switch follows it as well as one made after.
        QDialogButtonBox before(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        for (const QString &button : clicks)
            click(button);
        QMessageBox after(QMessageBox::Question, QString(), QString(),
                          QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(after.button(QMessageBox::Cancel)->text(), cancel);
        QTRY_COMPARE(before.button(QDialogButtonBox::Cancel)->text(), cancel);
    }

    void everythingShownFollowsTheLanguage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("pictureRow");
        QTest::addColumn<QString>("version");
        QTest::newRow("simplified Chinese") << "btnZhCn" << "第1张" << " 版本：T4S_20181127_0.03";
        QTest::newRow("traditional Chinese") << "btnZhHk" << "第1張" << " 版本：T4S_20181127_0.03";
        QTest::newRow("Japanese") << "btnJp" << "1枚目" << " バージョン：T4S_20181127_0.03";
        QTest::newRow("English") << "btnEnUs" << "1 " << " Ver: T4S_20181127_0.03";
    }

    void everythingShownFollowsTheLanguage()
    {
        QFETCH(QString, button);
        QFETCH(QString, pictureRow);
        QFETCH(QString, version);
        auto *picture = new ImageObject(1, QString(), 5.0, ImageObject::KindPictureFile);
        window->pictureModel()->addItem(picture);
        window->clipModel()->addItem(new MediaObject(1, QString()));
        window->show();
        auto *pictures = child<QTableView>("tableView");
        auto *clips = child<QTableView>("tableViewMedia");
        pictures->openPersistentEditor(window->pictureModel()->index(0, 0));
        clips->openPersistentEditor(window->clipModel()->index(0, 0));
        auto *pictureEditor = qobject_cast<ImageObjectWidget *>(
            pictures->indexWidget(window->pictureModel()->index(0, 0)));
        auto *clipEditor = qobject_cast<MediaObjectWidget *>(
            clips->indexWidget(window->clipModel()->index(0, 0)));
        QVERIFY(pictureEditor && clipEditor);
        // Start from another language, so that English is a change too.
        click(button == QLatin1String("btnJp") ? QStringLiteral("btnZhCn") : QStringLiteral("btnJp"));
        click(button);

        QCOMPARE(child<QLabel>("versionLabel")->text(), version);
        QVERIFY(contrastEntry());
        QCOMPARE(contrastEntry()->text(), translated("MainWindow", "调整对比度"));
        QCOMPARE(window->windowTitle(), translated("ShowSession", "Untitled")
                                            + QStringLiteral("[*] - ")
                                            + translated("MainWindow", "Hologram Display"));
        QCOMPARE(child<QMenu>("fileMenu")->title(), translated("FileMenu", "menu_title_file"));
        QCOMPARE(child<QMenu>("toolsMenu")->title(), translated("MainWindow", "menu_title_tools"));
        QCOMPARE(child<QToolBar>("toolBar")->windowTitle(), translated("MainWindow", "action_title_menu"));
        // Open row editors learn of the language by the event the application sends.
        QTRY_COMPARE(pictureEditor->orderBox()->itemText(0), pictureRow);
        QCOMPARE(pictureEditor->orderBox()->currentIndex(), 0);
        QTRY_COMPARE(clipEditor->loopLabel()->text(),
                     translated("MediaObjectWidget", "videowidget_lbl_loopcount"));
        QCOMPARE(clipEditor->textLabel()->text(),
                 QCoreApplication::translate("MediaObjectWidget", "videowidget_lbl_text", nullptr, 0)
                     .arg(QStringLiteral("0.0")));
        // The loop field moves with the width of the new label.
        QCOMPARE(clipEditor->loopField()->x(),
                 clipEditor->loopLabel()->x() + clipEditor->loopLabel()->width());
    }

    void windowFollowsATranslatorInstalledElsewhere()
    {
        QTranslator japanese;
        QVERIFY(japanese.load(QStringLiteral(":/ts/translate_jp.qm")));
        QCoreApplication::installTranslator(&japanese);
        QTRY_COMPARE(child<QToolBar>("toolBar")->actions().at(1)->text(),
                     QStringLiteral("画像を読み込む"));
        QCoreApplication::removeTranslator(&japanese);
        QTRY_COMPARE(child<QToolBar>("toolBar")->actions().at(1)->text(),
                     QStringLiteral("Import Picture"));
    }

    void catalogueThatFailsKeepsThePreviousLanguage_data()
    {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QByteArray>("toolkit");
        QFile real(QStringLiteral(":/ts/translate_jp.qm"));
        QVERIFY(real.open(QIODevice::ReadOnly));
        const QByteArray good = real.readAll();
        QTest::newRow("program catalogue missing") << QByteArray() << good;
        QTest::newRow("program catalogue empty file") << QByteArray("") << good;
        QTest::newRow("program catalogue garbage") << QByteArray(300, 'x') << good;
        QTest::newRow("program catalogue only its magic") << good.left(16) << good;
        QTest::newRow("Qt catalogue garbage") << good << QByteArray("\x3c\xb8\x64\x18garbage");
        QTest::newRow("Qt catalogue missing") << good << QByteArray();
    }

    void catalogueThatFailsKeepsThePreviousLanguage()
    {
        QFETCH(QByteArray, program);
        QFETCH(QByteArray, toolkit);
        // A null array stands for a file that does not exist.
        const auto write = [this](const QString &name, const QByteArray &bytes) {
            const QString path = tempDir->filePath(name);
            if (!bytes.isNull()) {
                QFile file(path);
                if (file.open(QIODevice::WriteOnly))
                    file.write(bytes);
            }
            return QFile::encodeName(path);
        };
        const QByteArray programPath = write(QStringLiteral("program.qm"), program);
        const QByteArray toolkitPath = write(QStringLiteral("qt.qm"), toolkit);
        // The window's own switcher has English installed; a second one stands in for it.
        LanguageSwitcher switcher;
        QVERIFY(switcher.switchTo(*LanguageTable::byName(u"zh_HK")));
        const Language broken{4, "jp", 0x00, programPath.constData(), toolkitPath.constData()};

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("catalogue failed to load")));
        QVERIFY(!switcher.switchTo(broken));
        QCOMPARE(switcher.activeCode(), 2);
        QCOMPARE(translated("MainWindow", "action_title_open_image"), QStringLiteral("匯入圖片"));
        QCOMPARE(translated("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }

    void catalogueLoadsFromAnyFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "catalogues";
        QTest::newRow("spaces") << "my catalogues";
        QTest::newRow("Chinese and Japanese name") << "語言 ファイル";
    }

    void catalogueLoadsFromAnyFolder()
    {
        QFETCH(QString, folder);
        QVERIFY(QDir(tempDir->path()).mkpath(folder));
        const QString dir = tempDir->filePath(folder);
        for (const QString &name : {QStringLiteral("translate_jp.qm"), QStringLiteral("qt_ja.qm")})
            QVERIFY(QFile::copy(QStringLiteral(":/ts/") + name, dir + u'/' + name));
        const QByteArray program = (dir + QStringLiteral("/translate_jp.qm")).toUtf8();
        const QByteArray toolkit = (dir + QStringLiteral("/qt_ja.qm")).toUtf8();
        LanguageSwitcher switcher;
        QVERIFY(switcher.switchTo({4, "jp", 0x00, program.constData(), toolkit.constData()}));
        QCOMPARE(switcher.activeCode(), 4);
        QCOMPARE(translated("MainWindow", "action_title_open_image"), QStringLiteral("画像を読み込む"));
        QCOMPARE(translated("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    }

    void namedFontsHaveCjkStandIns_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("text");
        for (const QString &family : FontFallbacks::namedFamilies()) {
            QTest::newRow(qPrintable(family + QStringLiteral(" simplified"))) << family << "导入图片列表";
            QTest::newRow(qPrintable(family + QStringLiteral(" traditional"))) << family << "匯入圖片檔案";
            QTest::newRow(qPrintable(family + QStringLiteral(" Japanese"))) << family << "画像を読み込む";
        }
    }

    void namedFontsHaveCjkStandIns()
    {
        QFETCH(QString, family);
        QFETCH(QString, text);
        FontFallbacks::install();
        const QRawFont font = QRawFont::fromFont(QFont(family, 10));
        QVERIFY2(font.isValid(), qPrintable(family));
        for (const QChar ch : text)
            QVERIFY2(font.supportsCharacter(ch), qPrintable(font.familyName() + u' ' + ch));
    }
};

QTEST_MAIN(TestLanguages)
#include "test_languages.moc"
