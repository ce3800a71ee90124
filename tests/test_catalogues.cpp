// The catalogues follow the code: the keys are extracted afresh from every library's sources
// by lupdate, and each of the four catalogues must hold a finished text for every one of them,
// both in its .ts source and in the compiled .qm the program loads.

#include "app/LanguageTable.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Entry
{
    QString context;
    QString source;
    QString comment;
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete" or empty for a finished text
    bool numerus = false;
    QStringList forms;  // the plural forms of a numerus message, fewest items first
    QString name() const { return context + QStringLiteral(" / ") + source; }
};

// Every message of a .ts file; an unreadable file gives no entries and sets *error.
QList<Entry> readTs(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<Entry> entries;
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QStringView tag = xml.name();
        if (tag == u"name") {
            context = xml.readElementText();
        } else if (tag == u"message") {
            entry = Entry{context, {}, {}, {}, {}, false, {}};
            entry.numerus = xml.attributes().value(QStringLiteral("numerus")) == u"yes";
        } else if (tag == u"source") {
            entry.source = xml.readElementText();
        } else if (tag == u"comment") {
            entry.comment = xml.readElementText();
        } else if (tag == u"translation") {
            entry.type = xml.attributes().value(QStringLiteral("type")).toString();
            if (entry.numerus) {
                while (xml.readNextStartElement())
                    entry.forms << xml.readElementText();
                entry.translation = entry.forms.join(u'\n');
            } else {
                entry.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
            entries << entry;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return entries;
}

// One item takes the first plural form, two the last (languages without plurals have one).
bool numerusCompiled(const QTranslator &compiled, const Entry &key, const Entry &entry)
{
    const auto translate = [&](int n) {
        return compiled.translate(key.context.toUtf8().constData(), key.source.toUtf8().constData(),
                                  key.comment.isEmpty() ? nullptr : key.comment.toUtf8().constData(), n);
    };
    return !entry.forms.isEmpty() && translate(1) == entry.forms.first()
           && translate(2) == entry.forms.last();
}

QSet<QString> placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%L?\\d+"));
    QSet<QString> found;
    for (const QRegularExpressionMatch &match : marker.globalMatch(text))
        found << match.captured().remove(u'L');
    return found;
}

QString catalogueSource(const Language &language)
{
    return QStringLiteral(HD_SOURCE_DIR "/resources/translations/translate_%1.ts")
        .arg(QLatin1String(language.name));
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

    QTemporaryDir tempDir;
    // The keys the sources use, as lupdate finds them now.
    QList<Entry> keys;

    void addLanguageRows()
    {
        QTest::addColumn<QString>("name");
        for (const Language &language : LanguageTable::all())
            QTest::newRow(language.name) << QString::fromLatin1(language.name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tempDir.isValid());
        const QString extracted = tempDir.filePath(QStringLiteral("keys.ts"));
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(HD_LUPDATE),
                      {QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral("-no-ui-lines"), QStringLiteral("-I"),
                       QStringLiteral(HD_SOURCE_DIR),
                       QLatin1Char('@') + QStringLiteral(HD_TRANSLATED_SOURCES_LIST),
                       QStringLiteral("-ts"), extracted});
        QVERIFY2(lupdate.waitForFinished(90000), qPrintable(lupdate.errorString()));
        const QByteArray output = lupdate.readAll();
        QVERIFY2(lupdate.exitCode() == 0, output.constData());
        QString error;
        keys = readTs(extracted, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // A library missing from the list would shrink this far below what the program shows.
        QVERIFY2(keys.size() > 100, qPrintable(QString::number(keys.size())));
    }

    void extractionSeesEveryLibrary_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("key");
        // One key from each library that shows texts, and the contexts named by a macro.
        QTest::newRow("ui") << "LoadImagesDialog" << "loadimg_loading_tip";
        QTest::newRow("import") << "LoadMediaDialog" << "loadvideo_tip";
        QTest::newRow("disk") << "SelectUsbPathDialog" << "selectusb_title";
        QTest::newRow("diy, by QT_TRANSLATE_NOOP") << "DiyForm" << "画笔";
        QTest::newRow("model") << "SettingColorForm" << "颜色参数设置";
        QTest::newRow("form, by Q_DECLARE_TR_FUNCTIONS") << "MainWindow" << "action_title_menu";
        QTest::newRow("read failure, window's context") << "MainWindow" << "dialog_title_read_damaged";
    }

    void extractionSeesEveryLibrary()
    {
        QFETCH(QString, context);
        QFETCH(QString, key);
        const bool found = std::any_of(keys.cbegin(), keys.cend(), [&](const Entry &entry) {
            return entry.context == context && entry.source == key;
        });
        QVERIFY2(found, qPrintable(context + u'/' + key));
    }

    void everyKeyHasAFinishedText_data() { addLanguageRows(); }

    void everyKeyHasAFinishedText()
    {
        QFETCH(QString, name);
        const Language *language = LanguageTable::byName(name);
        QString error;
        QHash<QString, Entry> catalogue;
        for (const Entry &entry : readTs(catalogueSource(*language), &error))
            catalogue.insert(entry.name() + entry.comment, entry);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        QTranslator compiled;
        QVERIFY(compiled.load(QLatin1String(language->catalogue)));
        QStringList lacking;
        for (const Entry &key : std::as_const(keys)) {
            const Entry entry = catalogue.value(key.name() + key.comment);
            const QString text = compiled.translate(key.context.toUtf8().constData(),
                                                    key.source.toUtf8().constData(),
                                                    key.comment.isEmpty()
                                                        ? nullptr
                                                        : key.comment.toUtf8().constData());
            if (entry.source.isEmpty())
                lacking << key.name() + QStringLiteral(" (missing)");
            else if (!entry.type.isEmpty())
                lacking << key.name() + QStringLiteral(" (%1)").arg(entry.type);
            else if (entry.translation.isEmpty())
                lacking << key.name() + QStringLiteral(" (empty)");
            else if (entry.numerus ? !numerusCompiled(compiled, key, entry) : text != entry.translation)
                lacking << key.name() + QStringLiteral(" (not in the compiled catalogue)");
        }
        QVERIFY2(lacking.isEmpty(), qPrintable(QStringLiteral("translate_%1 lacks:\n  ").arg(name)
                                               + lacking.join(QStringLiteral("\n  "))));
    }

    void textsKeepTheEnglishPlaceholders_data() { addLanguageRows(); }

    void textsKeepTheEnglishPlaceholders()
    {
        // A text that drops or invents a %n shows a raw marker or loses a value on screen.
        QFETCH(QString, name);
        QString error;
        QHash<QString, QString> english;
        for (const Entry &entry : readTs(catalogueSource(*LanguageTable::byName(u"en_US")), &error))
            english.insert(entry.name(), entry.translation);
        QStringList differing;
        for (const Entry &entry : readTs(catalogueSource(*LanguageTable::byName(name)), &error)) {
            if (english.contains(entry.name())
                && placeholders(entry.translation) != placeholders(english.value(entry.name())))
                differing << entry.name() + QStringLiteral(": ") + entry.translation;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(differing.isEmpty(), qPrintable(differing.join(u'\n')));
    }

    void catalogueLoadsWhole_data()
    {
        QTest::addColumn<QString>("path");
        for (const Language &language : LanguageTable::all()) {
            QTest::newRow(language.catalogue) << QString::fromLatin1(language.catalogue);
            if (*language.qtCatalogue)
                QTest::newRow(language.qtCatalogue) << QString::fromLatin1(language.qtCatalogue);
        }
    }

    void catalogueLoadsWhole()
    {
        // Qt's own catalogues are the qtbase ones: the Qt 4 names are only meta catalogues
        // in Qt 6 and do not load alone.
        QFETCH(QString, path);
        QTranslator translator;
        QVERIFY2(translator.load(path), qPrintable(path));
        QVERIFY(!translator.isEmpty());
        if (path.contains(QLatin1String("/qt_")))
            QVERIFY(!translator.translate("QPlatformTheme", "Cancel").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "test_catalogues.moc"
