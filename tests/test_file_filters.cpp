// The file dialogs' filters offer exactly what the program reads: every name of a picture
// format the reader takes, in lower and upper case (Qt on Linux matches by case), and none of
// a format it refuses; the video and GIF dialogs the same for theirs; "All files" last.
#include "GifFixtures.h"

#include "model/PictureFile.h"
#include "ui/dialogs/FileFilters.h"

#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The patterns of one "Name (*.a *.b)" entry.
QStringList patternsOf(const QString &entry)
{
    static const QRegularExpression inParentheses(QStringLiteral("\\(([^()]*)\\)$"));
    const QRegularExpressionMatch match = inParentheses.match(entry);
    if (!match.hasMatch())
        return {};
    return match.captured(1).split(u' ', Qt::SkipEmptyParts);
}

// Whether the dialog would list the name under the entry: glob patterns, letter case kept,
// as Qt's file system model matches on Linux.
bool listedUnder(const QString &entry, const QString &name)
{
    for (const QString &pattern : patternsOf(entry)) {
        const QRegularExpression glob(QRegularExpression::wildcardToRegularExpression(pattern));
        if (glob.match(name).hasMatch())
            return true;
    }
    return false;
}

// The first entry of a QFileDialog filter argument, after checking "All files" ends it.
QString firstEntryBeforeAllFiles(const QString &filters)
{
    const QStringList entries = filters.split(QStringLiteral(";;"));
    if (entries.size() != 2 || patternsOf(entries.last()) != QStringList{QStringLiteral("*")})
        return QString();
    return entries.first();
}

} // namespace

class TestFileFilters : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    // A small picture of the format in a file of the given name; GIF has no Qt writer.
    QString writePicture(const QString &name, const QByteArray &format)
    {
        const QString path = dir.filePath(name);
        if (format == "gif")
            return GifFixtures::write(dir.path(), name,
                                      GifFixtures::encode(GifFixtures::frames(1, 8, 8)));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(qRgb(200, 40, 10));
        QImageWriter writer(path, format);
        return writer.write(image) ? path : QString();
    }

private slots:
    void picturesListedAsTheReaderTakesThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");  // a format to write, or empty for none
        QTest::addColumn<bool>("taken");

        const struct { const char *suffix; const char *format; } readable[] = {
            {"png", "png"}, {"jpg", "jpeg"}, {"jpeg", "jpeg"}, {"jpe", "jpeg"},
            {"bmp", "bmp"}, {"gif", "gif"},  {"pbm", "pbm"},   {"pgm", "pgm"},
            {"ppm", "ppm"}};
        for (const auto &[suffix, format] : readable) {
            const QString lower = QStringLiteral("photo.") + QLatin1String(suffix);
            const QString upper = QStringLiteral("PHOTO.") + QString::fromLatin1(suffix).toUpper();
            QTest::addRow("%s", qPrintable(lower)) << lower << QByteArray(format) << true;
            QTest::addRow("%s", qPrintable(upper)) << upper << QByteArray(format) << true;
        }
        // Formats Qt decodes but the picture reader refuses: not offered.
        QTest::newRow("xpm") << "icon.xpm" << QByteArray("xpm") << false;
        QTest::newRow("XBM") << "ICON.XBM" << QByteArray("xbm") << false;
        QTest::newRow("ico") << "icon.ico" << QByteArray("ico") << false;
        QTest::newRow("cur") << "pointer.cur" << QByteArray("cur") << false;
        QTest::newRow("svg") << "drawing.svg" << QByteArray() << false;
        // Not pictures at all, or a picture's name hidden inside another.
        QTest::newRow("effect") << "show.bin" << QByteArray() << false;
        QTest::newRow("LED data") << "image_1.buf" << QByteArray() << false;
        QTest::newRow("video") << "clip.mp4" << QByteArray() << false;
        QTest::newRow("text after png") << "photo.png.txt" << QByteArray() << false;
        QTest::newRow("no dot") << "photopng" << QByteArray() << false;
    }

    void picturesListedAsTheReaderTakesThem()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, taken);
        if (!content.isEmpty() && content != "gif" &&
            !QImageWriter::supportedImageFormats().contains(content))
            QSKIP("Qt cannot write this format here");

        const QString entry = firstEntryBeforeAllFiles(
            FileFilters::withAllFiles(QStringLiteral("Pictures"), FileFilters::pictureSuffixes()));
        QVERIFY2(!entry.isEmpty(), "the picture filters do not end with All files (*)");
        QCOMPARE(listedUnder(entry, name), taken);

        // The name's content is what the reader takes exactly when the name is offered.
        if (!content.isEmpty()) {
            const QString path = writePicture(name, content);
            QVERIFY(!path.isEmpty());
            PictureFile file(path);
            QCOMPARE(file.open(), taken);
        }
    }

    void videosAndGifsListedInEitherCase_data()
    {
        QTest::addColumn<bool>("gifDialog");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");

        for (const char *name : {"clip.mp4", "CLIP.MP4", "clip.avi", "CLIP.AVI", "clip.mkv",
                                 "CLIP.MKV", "clip.rmvb", "CLIP.RMVB", "clip.mov", "CLIP.MOV",
                                 "clip.webm", "clip.mpeg"})
            QTest::addRow("video %s", name) << false << QString::fromLatin1(name) << true;
        for (const char *name : {"photo.png", "anim.gif", "show.bin", "clip.mp4.part"})
            QTest::addRow("video %s", name) << false << QString::fromLatin1(name) << false;
        QTest::newRow("gif lower") << true << "anim.gif" << true;
        QTest::newRow("gif upper") << true << "ANIM.GIF" << true;
        QTest::newRow("gif png") << true << "photo.png" << false;
        QTest::newRow("gif mp4") << true << "clip.mp4" << false;
    }

    void videosAndGifsListedInEitherCase()
    {
        QFETCH(bool, gifDialog);
        QFETCH(QString, name);
        QFETCH(bool, listed);
        const QString filters =
            gifDialog ? FileFilters::withAllFiles(QStringLiteral("gif"), {QStringLiteral("gif")})
                      : FileFilters::withAllFiles(QStringLiteral("Videos"),
                                                  FileFilters::videoSuffixes());
        const QString entry = firstEntryBeforeAllFiles(filters);
        QVERIFY2(!entry.isEmpty(), qPrintable(filters));
        QCOMPARE(listedUnder(entry, name), listed);
    }

    void translatedNameKeepsOnlyTheMadePatterns_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("entry");

        QTest::newRow("key")
            << "image Files (*.png *.jpg)" << "png" << "image Files (*.png *.PNG)";
        QTest::newRow("chinese") << "图片文件 (*.png *.jpg)" << "png" << "图片文件 (*.png *.PNG)";
        QTest::newRow("no patterns") << "gif" << "gif" << "gif (*.gif *.GIF)";
        QTest::newRow("space after") << "Videos (*.avi)  " << "mp4" << "Videos (*.mp4 *.MP4)";
        QTest::newRow("inner brackets kept")
            << "Images (raw) of it" << "png" << "Images (raw) of it (*.png *.PNG)";
        QTest::newRow("suffix in upper case") << "Images" << "PNG" << "Images (*.png *.PNG)";
        QTest::newRow("suffix of digits") << "Videos" << "3gp" << "Videos (*.3gp *.3GP)";
    }

    void translatedNameKeepsOnlyTheMadePatterns()
    {
        QFETCH(QString, name);
        QFETCH(QString, suffix);
        QFETCH(QString, entry);
        QCOMPARE(FileFilters::filter(name, {suffix}), entry);
    }
};

QTEST_GUILESS_MAIN(TestFileFilters)
#include "test_file_filters.moc"
