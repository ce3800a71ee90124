#include "ui/dialogs/FileFilters.h"

#include "model/PictureFile.h"

#include <QImageReader>
#include <QMimeDatabase>
#include <QRegularExpression>

QStringList FileFilters::pictureSuffixes()
{
    // The reader tells formats apart by content, so every usual name of a taken format
    // (".jpg", ".jpeg", ".jpe" ...) is offered; the names come from the system's MIME data.
    const QList<QByteArray> decodable = QImageReader::supportedImageFormats();
    const QMimeDatabase mimes;
    QStringList suffixes;
    for (const QByteArray &format : PictureFile::supportedFormats()) {
        if (!decodable.contains(format))
            continue;
        const QString name = QString::fromLatin1(format);
        suffixes << name;
        const QMimeType type =
            mimes.mimeTypeForFile(QStringLiteral("x.") + name, QMimeDatabase::MatchExtension);
        if (!type.isDefault())
            suffixes << type.suffixes();
    }
    suffixes.removeDuplicates();
    return suffixes;
}

QStringList FileFilters::videoSuffixes()
{
    return {QStringLiteral("avi"),  QStringLiteral("mkv"),  QStringLiteral("mp4"),
            QStringLiteral("m4v"),  QStringLiteral("mov"),  QStringLiteral("mpg"),
            QStringLiteral("mpeg"), QStringLiteral("rm"),   QStringLiteral("rmvb"),
            QStringLiteral("webm"), QStringLiteral("wmv"),  QStringLiteral("flv"),
            QStringLiteral("3gp"),  QStringLiteral("ogv"),  QStringLiteral("mts"),
            QStringLiteral("m2ts")};
}

QStringList FileFilters::patterns(const QStringList &suffixes)
{
    QStringList result;
    for (const QString &suffix : suffixes)
        result << QStringLiteral("*.") + suffix.toLower()
               << QStringLiteral("*.") + suffix.toUpper();
    result.removeDuplicates();
    return result;
}

QString FileFilters::filter(const QString &name, const QStringList &suffixes)
{
    static const QRegularExpression ownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString bare = name;
    bare.remove(ownPatterns);
    return QStringLiteral("%1 (%2)").arg(bare.trimmed(), patterns(suffixes).join(u' '));
}

QString FileFilters::allFiles()
{
    return tr("All files") + QStringLiteral(" (*)");
}

QString FileFilters::withAllFiles(const QString &name, const QStringList &suffixes)
{
    return filter(name, suffixes) + QStringLiteral(";;") + allFiles();
}
