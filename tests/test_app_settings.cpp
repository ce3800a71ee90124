// The settings kept between runs: every value read back by a second reader of the same bytes
// (a restart), and each value falling back to its default on its own when the file is damaged
// or hand-edited.

#include "app/AppGlobals.h"
#include "app/AppSettings.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A blob laid out as QWidget::saveGeometry() lays it out (version 3).
QByteArray geometryBlob(const QRect &frame)
{
    QByteArray blob;
    QDataStream stream(&blob, QIODevice::WriteOnly);
    stream << quint32(0x1D9D0CB) << quint16(3) << quint16(0) << frame << frame << qint32(0)
           << quint8(0) << quint8(0) << qint32(1280) << frame;
    return blob;
}

// A blob laid out as QMainWindow::saveState() begins it.
QByteArray stateBlob()
{
    QByteArray blob;
    QDataStream stream(&blob, QIODevice::WriteOnly);
    stream << qint32(0xff) << qint32(0) << quint8(0xfc) << qint32(7);
    return blob;
}

// Bytes no INI parser makes sense of, the same on every run.
QByteArray noise(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (char &c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x & 0xff);
    }
    return bytes;
}

enum What { Language, Leds, Lines, Smooth, Geometry, State, PictureFolder, VideoFolder,
            GifFolder, DownloadFolder, DiyFolder };

AppSettings::Folder folderOf(What what)
{
    switch (what) {
    case VideoFolder:
        return AppSettings::Folder::Video;
    case GifFolder:
        return AppSettings::Folder::Gif;
    case DownloadFolder:
        return AppSettings::Folder::DownloadLocal;
    case DiyFolder:
        return AppSettings::Folder::DiySave;
    default:
        return AppSettings::Folder::Pictures;
    }
}

} // namespace

class TestAppSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int copies = 0;

    QString path(const QString &name) const { return dir.filePath(name); }

    static bool writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile out(file);
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate)
               && out.write(bytes) == bytes.size();
    }

    static QByteArray contentOf(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
    }

    // The file a second process would read: a copy at a path never used before, so that
    // nothing this process keeps of an earlier file can answer in its place. QSettings keeps
    // what it parsed by path and reads again only when size or time differ, and two copies
    // of equal size made within one clock tick share a time.
    QString restarted(const QString &file, const QString &name)
    {
        const QString copy = path(QStringLiteral("%1-%2").arg(++copies).arg(name));
        QFile::remove(copy);
        if (QFile::exists(file) && !QFile::copy(file, copy))
            return QString();
        return copy;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(writeFile(path(QStringLiteral("plain-file")), "not a folder"));
    }

    void eachValueFallsBackOnItsOwn_data()
    {
        QTest::addColumn<QByteArray>("text");      // the file as a person or a fault left it
        QTest::addColumn<QVariantMap>("written");  // values written by QSettings on top
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("smooth");
        QTest::addColumn<bool>("geometryKept");
        QTest::addColumn<bool>("stateKept");
        QTest::addColumn<bool>("folderKept");

        const QString folder = dir.path();
        QVariantMap good{{"ui/language", "jp"},
                         {"display/led_count", 200},
                         {"display/line_number", 300},
                         {"conversion/sampling", "smooth"},
                         {"window/geometry", geometryBlob(QRect(10, 20, 1200, 680))},
                         {"window/state", stateBlob()},
                         {"folders/pictures", folder}};
        QTest::newRow("every value sound") << QByteArray() << good << false << 4 << 200 << 300
                                           << true << true << true << true;
        QTest::newRow("missing file") << QByteArray("<none>") << QVariantMap() << false << 3
                                      << 112 << 430 << false << false << false << false;
        QTest::newRow("empty file") << QByteArray() << QVariantMap() << false << 3 << 112 << 430
                                    << false << false << false << false;
        QTest::newRow("other keys only")
            << QByteArray("[ui]\ntheme=dark\n[show]\nrecent=a.hdshow\n") << QVariantMap()
            << false << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("garbage file") << noise(3000) << QVariantMap() << true << 3 << 112 << 430
                                      << false << false << false << false;
        QTest::newRow("zero bytes") << QByteArray(200, '\0') << QVariantMap() << true << 3 << 112
                                    << 430 << false << false << false << false;
        QTest::newRow("a picture instead")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20) << QVariantMap() << true
            << 3 << 112 << 430 << false << false << false << false;
        // A sound line in a file that does not parse is not trusted either.
        QTest::newRow("unclosed section")
            << QByteArray("[ui\nlanguage=jp\n[display]\nled_count=200\n") << QVariantMap() << true
            << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("wrong types")
            << QByteArray("[ui]\nlanguage=@ByteArray(jp)\n[display]\nled_count=abc\n"
                          "line_number=300, 301\n[conversion]\nsampling=@ByteArray(smooth)\n"
                          "[window]\ngeometry=1200x680\nstate=true\n"
                          "[folders]\npictures=@ByteArray(/tmp)\n")
            << QVariantMap() << false << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("numbers with fractions or words")
            << QByteArray("[display]\nled_count=112.5\nline_number=430 lines\n") << QVariantMap()
            << false << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("out-of-range geometry")
            << QByteArray("[display]\nled_count=0\nline_number=601\n") << QVariantMap() << false
            << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("negative and overflowing geometry")
            << QByteArray("[display]\nled_count=-112\nline_number=4294967726\n") << QVariantMap()
            << false << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("geometry at its limits")
            << QByteArray("[display]\nled_count=500\nline_number=1\n") << QVariantMap() << false
            << 3 << 500 << 1 << false << false << false << false;
        QTest::newRow("one number bad, the other kept")
            << QByteArray("[display]\nled_count=501\nline_number=600\n") << QVariantMap() << false
            << 3 << 112 << 600 << false << false << false << false;
        QTest::newRow("unknown language") << QByteArray("[ui]\nlanguage=fr_FR\n") << QVariantMap()
                                          << false << 3 << 112 << 430 << false << false << false
                                          << false;
        QTest::newRow("language by number") << QByteArray("[ui]\nlanguage=4\n") << QVariantMap()
                                            << false << 3 << 112 << 430 << false << false << false
                                            << false;
        QTest::newRow("language in other letter case")
            << QByteArray("[ui]\nlanguage=JP\n") << QVariantMap() << false << 3 << 112 << 430
            << false << false << false << false;
        QTest::newRow("zh_HK kept") << QByteArray("[ui]\nlanguage=zh_HK\n") << QVariantMap()
                                    << false << 2 << 112 << 430 << false << false << false << false;
        QTest::newRow("garbage geometry bytes")
            << QByteArray() << QVariantMap{{"window/geometry", noise(66)}, {"window/state", noise(40)}}
            << false << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("blobs cut short")
            << QByteArray()
            << QVariantMap{{"window/geometry", geometryBlob(QRect(0, 0, 9, 9)).left(5)},
                           {"window/state", stateBlob().left(3)}}
            << false << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("geometry of an unknown version")
            << QByteArray() << QVariantMap{{"window/geometry", [] {
                   QByteArray blob = geometryBlob(QRect(0, 0, 800, 600));
                   blob[5] = 9;
                   return blob;
               }()}}
            << false << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("folder gone")
            << QByteArray() << QVariantMap{{"folders/pictures", folder + "/gone"}} << false << 3
            << 112 << 430 << false << false << false << false;
        QTest::newRow("folder relative") << QByteArray("[folders]\npictures=pictures\n")
                                         << QVariantMap() << false << 3 << 112 << 430 << false
                                         << false << false << false;
        QTest::newRow("folder is a file")
            << QByteArray() << QVariantMap{{"folders/pictures", folder + "/plain-file"}} << false
            << 3 << 112 << 430 << false << false << false << false;
        QTest::newRow("folder that blocks a dialog")
            << QByteArray("[folders]\npictures=/proc/self\n") << QVariantMap() << false << 3 << 112
            << 430 << false << false << false << false;
        QTest::newRow("sampling in other words") << QByteArray("[conversion]\nsampling=SMOOTH\n")
                                                 << QVariantMap() << false << 3 << 112 << 430
                                                 << false << false << false << false;
    }

    void eachValueFallsBackOnItsOwn()
    {
        QFETCH(QByteArray, text);
        QFETCH(QVariantMap, written);
        QFETCH(bool, damaged);
        QFETCH(int, language);
        QFETCH(int, leds);
        QFETCH(int, lines);
        QFETCH(bool, smooth);
        QFETCH(bool, geometryKept);
        QFETCH(bool, stateKept);
        QFETCH(bool, folderKept);

        // A fresh name for every row: nothing of an earlier row is remembered.
        const QString file = path(QStringLiteral("settings-%1.ini").arg(QTest::currentDataTag())
                                      .replace(u' ', u'_'));
        QFile::remove(file);
        if (text != "<none>")
            QVERIFY(writeFile(file, text));
        if (!written.isEmpty()) {
            QSettings writer(file, QSettings::IniFormat);
            for (auto it = written.cbegin(); it != written.cend(); ++it)
                writer.setValue(it.key(), it.value());
        }

        const QString fallback = QStringLiteral("/fallback");
        const QString copy = restarted(file, QStringLiteral("read.ini"));
        QVERIFY(!copy.isEmpty());
        const AppSettings settings(copy);
        QCOMPARE(settings.isDamaged(), damaged);
        QCOMPARE(settings.languageCode(), language);
        QCOMPARE(settings.ledCount(), leds);
        QCOMPARE(settings.lineNumber(), lines);
        QCOMPARE(settings.smoothSampling(), smooth);
        QCOMPARE(settings.windowGeometry().isEmpty(), !geometryKept);
        if (geometryKept)
            QCOMPARE(settings.windowGeometry(), written.value("window/geometry").toByteArray());
        QCOMPARE(settings.windowState().isEmpty(), !stateKept);
        QCOMPARE(settings.lastFolder(AppSettings::Folder::Pictures, fallback),
                 folderKept ? QDir::cleanPath(dir.path()) : fallback);
        // Folders never stored read as the fallback whatever else the file holds.
        QCOMPARE(settings.lastFolder(AppSettings::Folder::Gif, fallback), fallback);
    }

    void eachValueSurvivesARestart_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<QVariant>("value");     // what is set
        QTest::addColumn<QVariant>("expected");  // what the next run reads

        for (int code = 1; code <= 4; ++code)
            QTest::addRow("language %d", code) << int(Language) << QVariant(code) << QVariant(code);
        QTest::newRow("language unknown: not stored") << int(Language) << QVariant(7) << QVariant(3);
        QTest::newRow("language none: not stored") << int(Language) << QVariant(0) << QVariant(3);
        QTest::newRow("LED count") << int(Leds) << QVariant(64) << QVariant(64);
        QTest::newRow("LED count at most") << int(Leds) << QVariant(500) << QVariant(500);
        // A value refused leaves the one stored before it.
        QTest::newRow("LED count too many: not stored") << int(Leds) << QVariant(501) << QVariant(99);
        QTest::newRow("lines") << int(Lines) << QVariant(1) << QVariant(1);
        QTest::newRow("lines at most") << int(Lines) << QVariant(600) << QVariant(600);
        QTest::newRow("lines none: not stored") << int(Lines) << QVariant(0) << QVariant(98);
        QTest::newRow("smooth") << int(Smooth) << QVariant(true) << QVariant(true);
        QTest::newRow("sharp") << int(Smooth) << QVariant(false) << QVariant(false);
        const QByteArray geometry = geometryBlob(QRect(-30, 40, 1900, 1000));
        QTest::newRow("window geometry") << int(Geometry) << QVariant(geometry) << QVariant(geometry);
        QTest::newRow("window geometry garbage: not stored")
            << int(Geometry) << QVariant(noise(66)) << QVariant(QByteArray());
        QTest::newRow("window state") << int(State) << QVariant(stateBlob()) << QVariant(stateBlob());
        const QString folder = QDir::cleanPath(dir.path());
        const QString sub = folder + QStringLiteral("/sub dir");
        QTest::newRow("picture folder") << int(PictureFolder) << QVariant(folder) << QVariant(folder);
        QTest::newRow("video folder of a file") << int(VideoFolder) << QVariant(sub + "/clip.mp4")
                                                << QVariant(sub);
        QTest::newRow("GIF folder, not ASCII") << int(GifFolder)
                                               << QVariant(sub + QStringLiteral("/动画 ü")) << QVariant(sub + QStringLiteral("/动画 ü"));
        QTest::newRow("download folder") << int(DownloadFolder) << QVariant(sub) << QVariant(sub);
        QTest::newRow("DIY save folder, unclean")
            << int(DiyFolder) << QVariant(sub + "/../sub dir/./drawing.png") << QVariant(sub);
    }

    void eachValueSurvivesARestart()
    {
        QFETCH(int, what);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("sub dir/动画 ü"))));
        const QString file = path(QStringLiteral("run.ini"));
        QFile::remove(file);
        {
            AppSettings first(file);
            // Another value beside it must not disturb it, nor be disturbed.
            first.setDisplayGeometry(99, 98);
            switch (What(what)) {
            case Language:
                first.setLanguageCode(value.toInt());
                break;
            case Leds:
                first.setDisplayGeometry(value.toInt(), 98);
                break;
            case Lines:
                first.setDisplayGeometry(99, value.toInt());
                break;
            case Smooth:
                first.setSmoothSampling(value.toBool());
                break;
            case Geometry:
                first.setWindowGeometry(value.toByteArray());
                break;
            case State:
                first.setWindowState(value.toByteArray());
                break;
            default:
                first.setLastFolder(folderOf(What(what)), value.toString());
                break;
            }
        }
        const QString copy = restarted(file, QStringLiteral("next.ini"));
        QVERIFY(!copy.isEmpty());
        const AppSettings next(copy);
        QVERIFY(!next.isDamaged());
        switch (What(what)) {
        case Language:
            QCOMPARE(next.languageCode(), expected.toInt());
            break;
        case Leds:
            QCOMPARE(next.ledCount(), expected.toInt());
            QCOMPARE(next.lineNumber(), 98);
            break;
        case Lines:
            QCOMPARE(next.lineNumber(), expected.toInt());
            QCOMPARE(next.ledCount(), 99);
            break;
        case Smooth:
            QCOMPARE(next.smoothSampling(), expected.toBool());
            break;
        case Geometry:
            QCOMPARE(next.windowGeometry(), expected.toByteArray());
            break;
        case State:
            QCOMPARE(next.windowState(), expected.toByteArray());
            break;
        default:
            QCOMPARE(next.lastFolder(folderOf(What(what)), QStringLiteral("/fallback")),
                     expected.toString());
            // One key per dialog: the others have not moved.
            for (What other : {PictureFolder, VideoFolder, GifFolder, DownloadFolder, DiyFolder}) {
                if (other != what)
                    QCOMPARE(next.lastFolder(folderOf(other), QStringLiteral("/fallback")),
                             QStringLiteral("/fallback"));
            }
            break;
        }
        if (what != Leds && what != Lines) {
            QCOMPARE(next.ledCount(), 99);
            QCOMPARE(next.lineNumber(), 98);
        }
    }

    void aDamagedFileIsKeptAsideAndReplaced_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::newRow("noise") << noise(5000);
        QTest::newRow("zero bytes") << QByteArray(64, '\0');
        QTest::newRow("text without sections")
            << QByteArray("hello world\nthis is not a settings file = at all [\n");
        QTest::newRow("unclosed section with a sound value")
            << QByteArray("[display\nled_count=33\n");
    }

    void aDamagedFileIsKeptAsideAndReplaced()
    {
        QFETCH(QByteArray, damage);
        const QString file = path(QStringLiteral("damaged-%1.ini").arg(QTest::currentDataTag())
                                      .replace(u' ', u'_'));
        QFile::remove(file);
        QFile::remove(file + QStringLiteral(".damaged"));
        QVERIFY(writeFile(file, damage));
        {
            const AppSettings first(file);
            QVERIFY(first.isDamaged());
            // Reading alone changes nothing on disk.
            QCOMPARE(first.ledCount(), kDefaultLedCount);
            QCOMPARE(contentOf(file), damage);
            // Every later reader in the process knows it too, though QSettings parses a
            // file once and tells only the first.
            AppSettings settings(file);
            QVERIFY(settings.isDamaged());
            QCOMPARE(settings.languageCode(), 3);
            settings.setLanguageCode(4);
            QVERIFY(!settings.isDamaged());
            // Nothing of the damaged file comes back once it is replaced.
            QCOMPARE(settings.ledCount(), kDefaultLedCount);
        }
        QCOMPARE(contentOf(file + QStringLiteral(".damaged")), damage);
        const AppSettings next(restarted(file, QStringLiteral("after-damage.ini")));
        QVERIFY(!next.isDamaged());
        QCOMPARE(next.languageCode(), 4);
        QCOMPARE(next.ledCount(), kDefaultLedCount);
        QSettings plain(file, QSettings::IniFormat);
        QCOMPARE(plain.allKeys(), QStringList{QStringLiteral("ui/language")});
        // And so does a reader after the replacement, in this process.
        const AppSettings later(file);
        QVERIFY(!later.isDamaged());
        QCOMPARE(later.languageCode(), 4);
    }

    void aFileMendedByHandIsReadAgain_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<QByteArray>("mended");
        QTest::addColumn<int>("language");
        QTest::newRow("noise, then sound") << noise(700) << QByteArray("[ui]\nlanguage=jp\n") << 4;
        QTest::newRow("zero bytes, then empty") << QByteArray(30, '\0') << QByteArray() << 3;
        QTest::newRow("unclosed section, then closed")
            << QByteArray("[ui\nlanguage=zh_HK\n") << QByteArray("[ui]\nlanguage=zh_HK\n") << 2;
    }

    void aFileMendedByHandIsReadAgain()
    {
        QFETCH(QByteArray, damage);
        QFETCH(QByteArray, mended);
        QFETCH(int, language);
        const QString file = path(QStringLiteral("mended-%1.ini").arg(QTest::currentDataTag())
                                      .replace(u' ', u'_').replace(u',', u'_'));
        QVERIFY(writeFile(file, damage));
        QVERIFY(AppSettings(file).isDamaged());
        QVERIFY(writeFile(file, mended));
        const AppSettings settings(file);
        QVERIFY(!settings.isDamaged());
        QCOMPARE(settings.languageCode(), language);
    }
};

QTEST_APPLESS_MAIN(TestAppSettings)
#include "test_app_settings.moc"
