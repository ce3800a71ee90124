#include "cli/TraceFilter.h"

#include <QtGlobal>

namespace {
QtMessageHandler previous = nullptr;

void filter(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    if (previous)
        previous(type, context, message);
}
} // namespace

void TraceFilter::install()
{
    if (qEnvironmentVariableIsSet("HOLOGRAM_CLI_TRACE"))
        return;
    QtMessageHandler old = qInstallMessageHandler(filter);
    if (old != filter)
        previous = old;
}
