#pragma once

#include <QLoggingCategory>

// Trace lines of show files ("hologram.show"). Tools and tests switch them off by filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcShow)
