#include "cli/TraceFilter.h"

#include <QLoggingCategory>
#include <QtGlobal>

void TraceFilter::install()
{
    if (qEnvironmentVariableIsSet("HOLOGRAM_CLI_TRACE"))
        return;
    // Every library traces through its own category ("hologram.model", ...); Qt's own
    // warnings go the same way, so the one line an error gets stays alone on stderr.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n"
                                                    "*.info=false\n"
                                                    "*.warning=false"));
    // The video decoder logs to stderr by itself: quiet it, unless asked for otherwise.
    if (!qEnvironmentVariableIsSet("OPENCV_FFMPEG_LOGLEVEL"))
        qputenv("OPENCV_FFMPEG_LOGLEVEL", "-8");
}
