#pragma once

#include <QLoggingCategory>

// Trace lines of pictures, items and their conversion ("hologram.model"). Tools and tests switch them off by filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcModel)
