#pragma once

#include <QLoggingCategory>

// Trace lines of effect files and the main window's worker ("hologram.effect"). Tools and tests switch them off by filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcEffect)
