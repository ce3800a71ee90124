#pragma once

#include <QLoggingCategory>

// Trace lines of start-up ("hologram.app"). Tools and tests switch them off by filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
