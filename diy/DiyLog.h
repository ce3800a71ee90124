#pragma once

#include <QLoggingCategory>

// Trace lines of the drawing editor ("hologram.diy"). Tools and tests switch them off by
// filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcDiy)
