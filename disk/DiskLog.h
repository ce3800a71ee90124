#pragma once

#include <QLoggingCategory>

// Trace lines of removable disks ("hologram.disk"). Tools and tests switch them off by filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcDisk)
