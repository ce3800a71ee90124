#include "import/VideoModule.h"

#include "video/VideoBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

struct Loaded
{
    VideoBackend *backend = nullptr;
    QString error;
};

QString programDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists (tests without one) Qt does not know it.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

Loaded load()
{
    Loaded loaded;
    // Kept loaded for the process: decoders made by it may live until the end.
    static QLibrary module;
    QLibrary *library = &module;
    library->setFileName(VideoModule::location());
    if (!library->load()) {
        loaded.error = QStringLiteral("videos cannot be opened: the video module is missing or "
                                      "broken (%1)")
                           .arg(library->errorString());
        return loaded;
    }
    const auto entry = reinterpret_cast<VideoBackendEntry>(
        library->resolve(HD_VIDEO_BACKEND_ENTRY));
    loaded.backend = entry ? entry() : nullptr;
    if (!loaded.backend) {
        loaded.error = QStringLiteral("videos cannot be opened: %1 is not this program's video "
                                      "module")
                           .arg(library->fileName());
    }
    return loaded;
}

} // namespace

QString VideoModule::location()
{
    const QString named = qEnvironmentVariable("HD_VIDEO_MODULE");
    if (!named.isEmpty())
        return named;
    const QDir programs(programDirectory());
#ifdef HD_MODULEDIR_FROM_BINDIR
    // Installed, the module sits in a private library folder rather than beside the programs.
    if (!programs.exists(QStringLiteral("plugins")))
        return programs.filePath(QStringLiteral(HD_MODULEDIR_FROM_BINDIR "/hd_video_opencv"));
#endif
    return programs.filePath(QStringLiteral("plugins/hd_video_opencv"));
}

VideoBackend *VideoModule::backend(QString *error)
{
    static const Loaded loaded = load();
    if (!loaded.backend && error)
        *error = loaded.error;
    return loaded.backend;
}
