#include "ui/main/DroppedFiles.h"

#include "app/AppGlobals.h"
#include "app/InputFileCheck.h"
#include "effect/EffectFileCheck.h"
#include "model/PictureFile.h"
#include "show/ShowFile.h"
#include "ui/dialogs/FileFilters.h"
#include "ui/main/EffectReadFlow.h"

#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QSize>
#include <QUrl>

DroppedFiles::Kind DroppedFiles::classify(const QString &path)
{
    // Directories, FIFOs and devices are never opened: a FIFO would block the window.
    if (path.isEmpty() || !InputFileCheck::problem(path).isEmpty())
        return Unsupported;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String(ShowFile::Suffix) || ShowFile::looksLikeShow(path))
        return Show;
    // Any file of a slotted header's length parses as one, so a ".bin" is asked about its
    // length before a picture reader may mistake its first bytes for a header of its own.
    const bool binName = suffix == QLatin1String("bin");
    if (binName && fitsAnEffectGeometry(path))
        return Effect;
    PictureFile picture(path);
    picture.open();
    // A picture too large or damaged is still one: its import says why it was refused.
    if (PictureFile::supportedFormats().contains(picture.format()))
        return picture.format() == "gif" ? Gif : Picture;
    if (!binName && fitsAnEffectGeometry(path))
        return Effect;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (FileFilters::videoSuffixes().contains(suffix)
        || type.name().startsWith(QLatin1String("video/")))
        return Video;
    return binName ? Effect : Unsupported;
}

bool DroppedFiles::fitsAnEffectGeometry(const QString &path)
{
    const QSize known[] = {QSize(ledCount.load(), lineNumber.load()),
                           QSize(EffectReadFlow::FactoryLedCount, EffectReadFlow::FactoryLineNumber),
                           QSize(kDefaultLedCount, kDefaultLineNumber)};
    for (const QSize geometry : known) {
        if (EffectFileCheck::check(path, geometry.width(), geometry.height()).ok())
            return true;
    }
    return false;
}

QStringList DroppedFiles::localFiles(const QMimeData &data, QStringList *others)
{
    QStringList files;
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url.toLocalFile();
        else if (others && !url.isEmpty())
            *others << url.toDisplayString(QUrl::PreferLocalFile);
    }
    return files;
}

bool DroppedFiles::carriesUrls(const QMimeData *data)
{
    return data && data->hasUrls() && !data->urls().isEmpty();
}
