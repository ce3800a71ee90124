#pragma once

#include <QLoggingCategory>

// Trace lines of the message loop ("hologram.loop"). Tools and tests switch them off by filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcLoop)
